// After a save: whether the chosen server, found again once it has restarted,
// reports the settings it was sent. A device that took the configuration but did
// not restart goes on running, and reporting, the settings it had.
#pragma once

#include "kernel/types.h"

class CPrintServer;

// saved: the record as it was sent; reply and length: the server's information
// reply to the re-location. Compared: DHCP on or off where the record has the
// switch; with DHCP off the address, subnet mask and gateway; and the SSID when
// the wireless settings were sent (wireless). FALSE for a reply that does not
// read as well.
BOOL SettingsInForce(CPrintServer& saved, const BYTE* reply, int length, BOOL wireless);
