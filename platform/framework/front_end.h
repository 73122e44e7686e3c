// The front end that shows the windows of the user-interface thread and brings in
// the user's input. Modal loops and message boxes go through it. Without one
// (headless), a modal loop simply waits for messages.
#pragma once

#include "framework/message_box.h"
#include "framework/win_types.h"

namespace vek::framework {

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Called by a modal loop when its queue is empty: show the windows, then wait for
  // queue input or for the user (and turn what the user does into messages).
  virtual void WaitForInput() = 0;
  // Shows a message box and runs until it is answered.
  virtual int ShowMessageBox(const MessageBoxRecord& box) = 0;
  // Shows the windows as they are now, without waiting: the thread that runs the
  // modal loop is busy (a search that blocks it) and updated a window meanwhile.
  virtual void Refresh() {}
};

void SetFrontEnd(FrontEnd* frontEnd);
FrontEnd* CurrentFrontEnd();

// The wait of a modal loop: through the front end when there is one.
void WaitForModalInput();
// UpdateWindow's word to the front end that the windows changed.
void RefreshFrontEnd();

}  // namespace vek::framework
