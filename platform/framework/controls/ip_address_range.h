// What the IP address control tells the user when a field's value is put back
// to the largest a field holds: the value typed and the range, in the user's
// language, in a message box over the control's window.
#pragma once

#include "framework/win_types.h"

namespace vek::framework {

void TellIpFieldRange(HWND control, int typed);

}  // namespace vek::framework
