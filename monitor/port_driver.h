// The monitor's start-up read of its registry key: its values and its ports.
#pragma once

#include "kernel/types.h"

// Opens (creates) the key, reads its values, loads the saved ports not loaded yet.
BOOL InitializePortDriver(LPCWSTR registryPath);
// "Settings" and "Protocols" again; a failed read keeps the previous value.
void ReadMonitorValues(const char* settingsFailure);

constexpr const char16_t* kDefaultMonitorDisplayName = u"Network Print Monitor";
