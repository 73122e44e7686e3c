// One run of the port dialog for the spooler's AddPort or ConfigurePort. Runs are
// serialised: a second caller waits until the first dialog closes, so two never
// share the search's list and socket, nor unregister the address control's
// window class under each other.
#pragma once

#include "framework/win_types.h"

class CPrintPort;

// Add Port when port is null, else Configure Port on it (the caller holds it).
// The dialog's result: IDOK when a port was added or changed, IDCANCEL, or -1
// with the error set when the dialog cannot run (ERROR_BUSY: this thread runs
// one already).
INT_PTR RunPortDialog(HWND owner, CPrintPort* port);
