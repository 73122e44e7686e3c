// The terminal front end: shows the window stack of the thread that runs the modal
// loop (or a message box) and turns keys and clicks into input through the shared
// input path. Between two waits it reads the windows afresh, paints the screen into
// cells and lets curses send what changed. While that thread is too busy to do so
// (a long piece of work in a handler), a ticker paints the windows as they were
// last read, so animations and the busy spinner go on turning and a resized
// terminal is laid out again at once.
#pragma once

#include <condition_variable>
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
#include "ui/terminal/screen_ticker.h"
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
  // Reads the windows, and lays them out.
  void RefreshLayout();
  // Lays out the windows as last read, at the terminal's size now.
  void LayOut();
  void PlaceDropDown();
  // Reads the windows and paints them.
  void Render();
  // Paints the layout with what lies over it.
  void Paint();
  // On the ticker's thread: the windows as last read, when their own thread has
  // not painted them for a while.
  void KeepMoving();
  void SetTicking(bool ticking);
  // Takes the lock if it is free or once a paint of the ticker under way is done;
  // false while another thread holds it (a message box of its own).
  bool TryLock(std::unique_lock<std::recursive_timed_mutex>& lock);
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
  std::vector<WindowNode> m_windows;  // as last read
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
  DWORD m_lastRender = 0;  // tick count of the last paint of the windows read afresh
  bool m_rendered = false;
  bool m_rendering = false;  // a window updated while its state is read waits for the next paint
  bool m_shownBusy = false;  // the last paint showed the wait cursor's note
  std::mutex m_tickLock;  // guards m_ticking
  std::condition_variable m_tickDone;
  bool m_ticking = false;  // the ticker is at a paint
  std::unique_ptr<ScreenTicker> m_ticker;  // last: it goes before what it paints
};

}  // namespace vek::ui::terminal
