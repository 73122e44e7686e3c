// The transport probes: each sets its bit in g_SupportedProtocols when the
// administrator enabled the transport ("Protocols") and a socket of it opens.
#pragma once

#include "kernel/types.h"

BOOL LoadIPX();
BOOL LoadUDP();
// Also finds the LANAs (g_LanaTable) and resets them.
BOOL LoadNetBEUI();
// IPX, then UDP/IP, then NetBEUI.
void ProbeTransports();
