// The terminal front end: shows the window stack of the thread that runs the modal
// loop (or a message box) and turns keys and clicks into input through the shared
// input path. Between two waits it reads the windows afresh, paints the screen into
// cells and lets curses send what changed.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "framework/front_end.h"
#include "ui/terminal/curses_screen.h"
#include "ui/terminal/drop_down.h"
#include "ui/terminal/key_translator.h"
#include "ui/terminal/message_box_view.h"
#include "ui/terminal/screen_layout.h"
#include "ui/terminal/screen_painter.h"
#include "ui/terminal/stdin_watcher.h"
#include "ui/terminal/terminal_lending.h"

namespace vek::ui::terminal {

class TerminalFrontEnd : public framework::FrontEnd {
 public:
  // Takes over the process's terminal; null when there is none.
  static std::unique_ptr<TerminalFrontEnd> Open();
  ~TerminalFrontEnd() override;

  void WaitForInput() override;
  int ShowMessageBox(const framework::MessageBoxRecord& box) override;
  // Between waits: paints the windows as they are, on the thread that waits.
  void Refresh() override;
  // Gives the terminal back; later calls do nothing.
  void Shutdown();

 private:
  TerminalFrontEnd() = default;
  void ReadTerminal();
  void WaitForTerminalOrQueue();
  void RefreshLayout();
  void PlaceDropDown();
  void Render();
  void DeliverPending();
  void Perform(const std::vector<InputAction>& actions);
  // Lends the terminal to a program this one started, or takes it back, when asked.
  void ServeLending();
  bool OpenScreen();

  std::recursive_timed_mutex m_lock;  // one thread at a time drives the terminal
  CursesScreen m_screen;
  std::unique_ptr<StdinWatcher> m_watcher;
  // A key as read, with the window that took input on the screen shown then: a
  // click is meant for what the person saw.
  struct PendingKey {
    TermKey key;
    HWND shownActive = nullptr;
  };
  std::deque<PendingKey> m_pending;
  HWND m_shownActive = nullptr;  // of the last paint; a message box has a mark of its own
  ViewMemory m_memory;
  ScreenLayout m_layout;
  std::optional<DropDown> m_dropDown;
  std::vector<MessageBoxView*> m_boxes;
  std::optional<Screen> m_shown;
  bool m_repaintAll = true;
  std::string m_savedLocale;
  TerminalLending m_lending;
  bool m_borrowed = false;  // from the program that started this one
  DWORD m_uiThread = 0;    // the thread whose windows show
  DWORD m_lastRender = 0;  // tick count of the last paint
  bool m_rendered = false;
  bool m_rendering = false;  // a window updated while its state is read waits for the next paint
  bool m_shownBusy = false;  // the last paint showed the wait cursor's note
};

}  // namespace vek::ui::terminal
