// The save's write-back: what the user chose on the pages goes into the chosen
// server's record through its setters, so that the record's copy of the
// information reply is the configuration the device is sent.
#pragma once

#include "kernel/types.h"

class CPrintServer;

// Writes WizardSettings into ps: the wireless settings (for a wireless server),
// then the address, subnet mask and gateway typed on the TCP/IP page, and the
// DHCP switch where the record has one. Fields the record does not have are
// left alone. WizardSettings itself is not changed.
void WriteBackSettings(CPrintServer& ps);
