// The transport probes: each sets its bit in g_SupportedProtocols when the
// administrator enabled the transport ("Protocols") and a socket of it opens.
#pragma once

#include "kernel/types.h"

BOOL LoadIPX();
BOOL LoadUDP();
// IPX, then UDP/IP; NetBEUI joins with its socket.
void ProbeTransports();
