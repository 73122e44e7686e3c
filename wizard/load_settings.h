// LoadSettings: the server list's Next. Copies the chosen row's print server into
// the wizard's settings, from its record in g_PrintServerList, and tells which
// page follows.
#pragma once

#include "framework/framework.h"

class CPrintServer;
class WizardPage;

// The list's columns, in order.
constexpr int SERVER_COLUMN_NAME = 0;
constexpr int SERVER_COLUMN_IP = 1;
constexpr int SERVER_COLUMN_MAC = 2;
constexpr int SERVER_COLUMN_PORT = 3;
constexpr int SERVER_COLUMN_STATUS = 4;
constexpr int SERVER_COLUMN_VERSION = 5;

// Reads the first selected row of list (the server list of page): its port,
// its MAC and so its record. Returns the login page (160), the printer page
// (139) for a server whose stored reply says so, or the server list (131, to
// stay) with "You must select a print server." when no row is chosen or the
// row's server is no longer in the list.
LRESULT LoadSettings(CListCtrl& list, WizardPage& page);

// The device fields of the settings back to their state before any server was
// chosen; the user's own answers (TCP/IP, login, printer) stay.
void ResetDeviceSettings();

// From the record ps (NULL for none) into the settings: its address and, for a
// wireless server, its wireless state and capabilities. The login page (160),
// or the printer page (139) when the stored reply's command word is 0x0184.
LRESULT LoadServerSettings(CPrintServer* ps);

// The device's printer-port number in a Port column text: its digit alone ("2")
// or after the port's type letter ("P2", "U3"); 0 when the text holds none.
int PortIDFromColumn(LPCSTR text);
