// The state of the "Spooler" service as the spooler's own calls see it.
#pragma once

#include "kernel/types.h"

namespace vek::spooler {

// Running unless the store says the service was stopped.
bool SpoolerRunning();
// Moves at every start of the service; monitors loaded under another value reload.
DWORD SpoolerGeneration();
// FALSE with RPC_S_SERVER_UNAVAILABLE when the service is stopped, with the
// store's error when its database cannot be used (registry/store_check.h), else TRUE.
BOOL CheckRunning();

}  // namespace vek::spooler
