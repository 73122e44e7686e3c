// Performs the window actions of the key translation through the shared input path
// (the drop-down and redraw actions belong to the front end).
#pragma once

#include "ui/terminal/key_translator.h"

namespace vek::ui::terminal {

// False for the front end's own actions, which it must perform itself.
bool PerformWindowAction(const InputAction& action);

}  // namespace vek::ui::terminal
