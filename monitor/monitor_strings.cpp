#include "monitor_strings.h"

#include <iterator>

#include "framework/resources.h"
#include "kernel/strings.h"

namespace {

const vek::framework::StringResource kStrings[] = {
    {IDS_SOCKETS_FAILED, "Windows sockets initialization failed."},
    {102, "IPX"},
    {103, "TCP/IP"},
    {104, "NetBEUI"},
    {105, "Node"},
    {106, "IP Address"},
    {107, "Version"},
    {108, "PID"},
    {109, "Device Name"},
    {110, "Add Port"},
    {111, "Configure Port"},
    {112, "Invalidate port name."},
    {113, "Port '%s' already exists."},
    {IDS_PORT_IN_USE, "Port is in used now."},
    {IDS_PORT_NOT_SAVED, "Port '%s' could not be saved: %s."},
    {IDS_NO_SERVER_ANSWERED,
     "No print server answered the search on %s. Check that the print server is switched on and connected to "
     "this network, then press Refresh."},
    {IDS_NO_SERVER_ANSWERED_IP,
     "No print server answered the search on %s. Check that the print server is switched on and connected to "
     "this network, then press Refresh; a print server on another network answers when its IP address is typed "
     "in IP Address."},
    {IDS_PORTS_NOT_LISTED, "The ports of this computer cannot be listed, so port '%s' cannot be added."},
    {IDS_SEARCH_NO_SOCKET, "The search cannot run: no %s socket can be opened on this computer."},
    {IDS_STATUS_DEVICE_ERROR, "Device error"},
    {IDS_STATUS_BUSY, "Busy"},
    {IDS_STATUS_NO_DATA, "Not taking data"},
};

}  // namespace

std::u16string MonitorString(UINT id) {
  for (const auto& entry : kStrings)
    if (entry.id == id) return vek::ToWide(entry.text);
  return {};
}
