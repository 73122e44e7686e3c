// The monitor's own texts (its string table).
#pragma once

#include <string>

#include "kernel/types.h"

constexpr UINT IDS_SOCKETS_FAILED = 101;
constexpr UINT IDS_PORT_IN_USE = 116;

// The text as the wide calls take it.
std::u16string MonitorString(UINT id);
