// The driver of the headless front end: tests drive the windows of a user-interface
// thread the way a person would and read back what the person would see. Every
// action goes through the shared input path and then waits until the thread has
// handled it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/gdi.h"
#include "framework/message_box.h"
#include "framework/win_types.h"

namespace vek::ui {

class HeadlessDriver {
 public:
  // The window on top: the last made visible, enabled top-level window.
  HWND ActiveWindow() const;
  // A control of the active window by id (pages of a sheet included); the visible
  // one when several share the id, and of those the nearest to the window. Null
  // when there is none.
  HWND Control(int id) const;
  HWND ControlIn(HWND window, int id) const;

  // Actions on controls of the active window.
  void Click(int id);
  void Type(int id, const std::string& text);
  void Paste(int id, const std::string& text);
  void Key(WPARAM virtualKey, bool shift = false);  // to the window with the focus
  void Select(int id, int index);
  void Spin(int id, int delta);
  void Back();
  void Next();
  void Finish();
  void Cancel();

  // What the person sees.
  std::string Text(int id) const;
  bool Enabled(int id) const;
  bool Visible(int id) const;
  int Check(int id) const;
  int Selection(int id) const;  // combo item, selected list row, or tab
  std::vector<std::string> Items(int id) const;  // combo items, or list rows as "col0|col1|..."
  int ProgressPosition(int id) const;
  std::string ActiveCaption() const;
  std::vector<framework::DrawCommand> Drawing(HWND window) const;
  // Paints the window now (on its own thread) and returns what it drew.
  std::vector<framework::DrawCommand> Paint(HWND window) const;

  void AnswerNextMessageBox(int answer) const;
  std::vector<framework::MessageBoxRecord> MessageBoxes() const;

  // Waits until the active window's thread is idle.
  bool Settle() const;
  static bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

 private:
  HWND Require(int id) const;
  HWND RequireIn(HWND window, int id) const;
  // Does action to the control of the active window and waits until that
  // window's thread has handled it.
  void Act(int id, const std::function<void(HWND)>& action);
};

}  // namespace vek::ui
