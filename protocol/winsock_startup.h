// Socket start-up of the wizard: Windows Sockets 1.1, never cleaned up.
#pragma once

#include "kernel/types.h"

BOOL StartupWinsock();
