// The monitor's process-wide state. The library's start (CDriverApp) makes the
// events and the lock; the initialisers fill the registry values and the ports.
#pragma once

#include <atomic>

#include "framework/cstring.h"
#include "framework/ptr_list.h"
#include "kernel/sync.h"
#include "kernel/types.h"
#include "registry/registry.h"

// Transport bits of "Protocols" and of the probes.
constexpr WORD PROTOCOL_IPX = 0x1;
constexpr WORD PROTOCOL_UDP = 0x2;
constexpr WORD PROTOCOL_NETBEUI = 0x4;
constexpr WORD PROTOCOL_ALL = PROTOCOL_IPX | PROTOCOL_UDP | PROTOCOL_NETBEUI;

// A port's transport in memory (m_PacketType).
constexpr int PACKET_TYPE_IPX = 0;
constexpr int PACKET_TYPE_UDP = 1;
constexpr int PACKET_TYPE_NETBEUI = 2;

extern CPtrList g_PortList;    // CPrintPort*, owned
extern CPtrList g_PSInfoList;  // the port dialog's search results
extern CRITICAL_SECTION g_PortLock;
extern HANDLE g_hShutdownEvent;
extern HANDLE g_hPowerStopEvent;
extern int g_ActiveJobs;  // under g_PortLock
extern BOOL g_bWinNT;
extern BOOL g_bWinNT3;
extern BOOL g_bWinNT5x;
extern HKEY g_hMonitorKey;
extern CStringW g_MonitorName;
extern CStringW g_MonitorDisplayName;
extern std::atomic<DWORD> g_Settings;
extern std::atomic<WORD> g_Protocols;
extern std::atomic<WORD> g_SupportedProtocols;
// The NetBIOS LANAs LoadNetBEUI found, in registry order (at most 5 are taken), and
// the index in g_LanaTable of the primary LANA, -1 until the first receive elects it.
constexpr int kMaxLanas = 6;
extern int g_LanaTable[kMaxLanas];
extern int g_LanaCount;
extern std::atomic<int> g_PrimaryLana;
// The port dialog's NetBEUI search socket, kept between searches; the library's
// stop closes and deletes it.
class XNBFSocket;
extern XNBFSocket* g_pNBFSearchSocket;
// Every CPrintPort ever made takes the next number; never reused within a load.
extern std::atomic<int> g_NextPortHandle;
