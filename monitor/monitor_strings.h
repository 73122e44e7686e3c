// The monitor's own texts (its string table).
#pragma once

#include <string>

#include "kernel/types.h"

constexpr UINT IDS_SOCKETS_FAILED = 101;
// The port dialog's: tab names, column headings, titles and messages.
constexpr UINT IDS_TAB_IPX = 102;
constexpr UINT IDS_TAB_TCPIP = 103;
constexpr UINT IDS_TAB_NETBEUI = 104;
constexpr UINT IDS_COLUMN_NODE = 105;
constexpr UINT IDS_COLUMN_IP_ADDRESS = 106;
constexpr UINT IDS_COLUMN_VERSION = 107;
constexpr UINT IDS_COLUMN_PID = 108;
constexpr UINT IDS_COLUMN_DEVICE_NAME = 109;
constexpr UINT IDS_ADD_PORT = 110;
constexpr UINT IDS_CONFIGURE_PORT = 111;
constexpr UINT IDS_INVALID_PORT_NAME = 112;
constexpr UINT IDS_PORT_EXISTS = 113;
constexpr UINT IDS_PORT_IN_USE = 116;
constexpr UINT IDS_PORT_NOT_SAVED = 117;
constexpr UINT IDS_NO_SERVER_ANSWERED = 118;
constexpr UINT IDS_NO_SERVER_ANSWERED_IP = 119;
constexpr UINT IDS_PORTS_NOT_LISTED = 120;  // the ports could not be listed to check a new name
constexpr UINT IDS_SEARCH_NO_SOCKET = 121;  // the search's socket could not be made
// A port's status while its job waits on the device.
constexpr UINT IDS_STATUS_DEVICE_ERROR = 150;
constexpr UINT IDS_STATUS_BUSY = 151;
constexpr UINT IDS_STATUS_NO_DATA = 152;

// The text as the wide calls take it.
std::u16string MonitorString(UINT id);
