// The busy cursor of the CD ("images\hourglas.ani"), loaded afresh each time it is
// needed, as the menu has always done. When the file cannot be loaded (a damaged
// or incomplete CD) the system's wait cursor stands in, and the menu goes on.
#pragma once

#include "framework/framework.h"

HCURSOR LoadBusyCursor();

// The release delay: 60000 passes of letting the windows handle their events, so the
// released picture shows before the button acts.
void ReleaseDelay();
