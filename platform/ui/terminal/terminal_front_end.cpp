#include "ui/terminal/terminal_front_end.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <langinfo.h>

#include "framework/message_api.h"
#include "framework/window_api.h"
#include "kernel/clock.h"
#include "kernel/thread.h"
#include "kernel/version.h"
#include "framework/cursor.h"
#include "framework/resources.h"
#include "ui/terminal/input_actions.h"
#include "ui/terminal/terminal_restore.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::ui::terminal {
namespace {

// Often enough for spinners, progress bars and a resized terminal.
constexpr DWORD kTickMs = 150;
// How long the windows' thread waits for a paint of the ticker under way.
constexpr auto kTickerWait = std::chrono::milliseconds(40);
constexpr DWORD kAnimationFrameMs = 150;
// A busy thread that updates its windows often is shown at most this often.
constexpr DWORD kRefreshMs = 40;
// Below this many rows the key line would take room the windows need.
constexpr int kKeyLineMinRows = 12;
// What a key read while a message box showed was meant for.
const HWND kMessageBoxShown = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(-1));

std::atomic<TerminalFrontEnd*> g_open{nullptr};

bool ShowsWaitCursor() { return vek::framework::IsBusyCursor(GetCursor()); }

// The front end's own words follow the program's.
bool ProgramIsJapanese() { return vek::framework::ProgramLanguage() == LANG_JAPANESE; }

bool Utf8Locale() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// Characters only: numbers and collation stay as the program has them. Without a
// UTF-8 locale in the environment the terminal is still most likely UTF-8.
std::string UseUtf8Characters() {
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  std::string saved = current ? current : "C";
  std::setlocale(LC_CTYPE, "");
  if (!Utf8Locale()) std::setlocale(LC_CTYPE, "C.UTF-8");
  return saved;
}

}  // namespace

std::unique_ptr<TerminalFrontEnd> TerminalFrontEnd::Open() {
  std::unique_ptr<TerminalFrontEnd> frontEnd(new TerminalFrontEnd);
  frontEnd->m_savedLocale = UseUtf8Characters();
  // A program started from another one waits until that one has let the terminal go.
  frontEnd->m_borrowed = vek::shell::BorrowTerminal();
  if (!frontEnd->OpenScreen()) {
    std::setlocale(LC_CTYPE, frontEnd->m_savedLocale.c_str());
    if (frontEnd->m_borrowed) vek::shell::ReturnTerminal();
    frontEnd->m_borrowed = false;
    return nullptr;
  }
  // The thread that opens the terminal shows its windows, until another waits.
  frontEnd->m_uiThread = GetCurrentThreadId();
  g_open = frontEnd.get();
  vek::shell::SetTerminalHolder(&frontEnd->m_lending);
  TerminalFrontEnd* self = frontEnd.get();
  frontEnd->m_ticker = std::make_unique<ScreenTicker>(std::chrono::milliseconds(kTickMs), [self] { self->KeepMoving(); });
  return frontEnd;
}

bool TerminalFrontEnd::OpenScreen() {
  PrepareTerminalRestore();
  if (!m_screen.Open()) {
    DisarmTerminalRestore();
    return false;
  }
  m_watcher = std::make_unique<StdinWatcher>(STDIN_FILENO);
  ArmTerminalRestore(m_screen.ResetSequence(), [] {
    if (TerminalFrontEnd* open = g_open.load()) open->Shutdown();
  });
  m_shown.reset();
  m_repaintAll = true;
  return true;
}

void TerminalFrontEnd::ServeLending() {
  switch (m_lending.Pending()) {
    case TerminalLending::Request::Lend:
      m_dropDown.reset();
      if (m_watcher) m_watcher->Stop();
      m_watcher.reset();
      if (m_screen.IsOpen()) {
        m_screen.Close();
        DisarmTerminalRestore();
      }
      m_lending.Done(true);
      break;
    case TerminalLending::Request::TakeBack:
      OpenScreen();
      m_lending.Done(false);
      break;
    case TerminalLending::Request::None:
      break;
  }
}

TerminalFrontEnd::~TerminalFrontEnd() { Shutdown(); }

void TerminalFrontEnd::Shutdown() {
  if (m_ticker) m_ticker->Stop();
  m_lending.Close();
  vek::shell::SetTerminalHolder(nullptr);
  // At exit another thread may be inside a wait; it lets go within a tick.
  std::unique_lock lock(m_lock, std::defer_lock);
  bool locked = lock.try_lock_for(std::chrono::seconds(1));
  if (vek::framework::CurrentFrontEnd() == this) vek::framework::SetFrontEnd(nullptr);
  if (m_watcher) m_watcher->Stop();
  if (m_screen.IsOpen()) {
    m_screen.Close();
    DisarmTerminalRestore();
    std::setlocale(LC_CTYPE, m_savedLocale.c_str());
  }
  if (m_borrowed) vek::shell::ReturnTerminal();
  m_borrowed = false;
  TerminalFrontEnd* self = this;
  g_open.compare_exchange_strong(self, nullptr);
  if (locked) lock.unlock();
}

void TerminalFrontEnd::ReadTerminal() {
  while (std::optional<TermKey> key = m_screen.ReadKey()) {
    // A resized or garbled screen is painted whole at the next paint, whoever makes it.
    if (key->code == KeyCode::Resize || key->code == KeyCode::Redraw) m_repaintAll = true;
    m_pending.push_back(PendingKey{*key, m_shownActive});
  }
  if (m_watcher) m_watcher->Rearm();
}

void TerminalFrontEnd::WaitForTerminalOrQueue() {
  if (m_watcher && m_watcher->Running()) {
    HANDLE event = m_watcher->Event();
    MsgWaitForMultipleObjects(1, &event, FALSE, kTickMs, QS_ALLINPUT);
  } else {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kTickMs / 3, QS_ALLINPUT);  // poll the keyboard instead
  }
}

void TerminalFrontEnd::RefreshLayout() {
  m_windows = SnapshotThreadWindows(GetCurrentThreadId(), GetFocus());
  LayOut();
}

void TerminalFrontEnd::LayOut() {
  CellPoint size = m_screen.Size();
  int rows = size.y >= kKeyLineMinRows ? size.y - 1 : size.y;
  m_layout = ScreenLayout::Build(m_windows, size.x, rows, m_memory);
  PlaceDropDown();
}

void TerminalFrontEnd::PlaceDropDown() {
  if (!m_dropDown) return;
  const PlacedWindow* combo = m_layout.Find(m_dropDown->Combo());
  const TopLevelPlacement* active = m_layout.Active();
  if (combo == nullptr || !combo->enabled || active == nullptr || m_layout.TopLevels()[combo->topLevel].node != active->node) {
    m_dropDown.reset();  // the combo went away, or something came over it
    return;
  }
  const CellMapping& mapping = m_layout.TopLevels()[combo->topLevel].mapping;
  const RECT& r = combo->node->rect;
  int dropped = mapping.Rows(r.bottom - r.top) - 1;
  m_dropDown->Place(combo->rect, static_cast<int>(combo->node->items.size()), dropped, m_layout.Columns(), m_layout.Rows());
}

void TerminalFrontEnd::Render() {
  if (m_rendering) return;
  m_rendering = true;
  // What was typed or clicked on the screen as it stands goes with it, before the
  // screen changes (a modal dialog that ends while its thread is busy).
  ReadTerminal();
  RefreshLayout();
  m_lastRender = GetTickCount();
  m_rendered = true;
  Paint();
  m_rendering = false;
}

void TerminalFrontEnd::KeepMoving() {
  SetTicking(true);
  {
    // While the windows' thread waits for input it holds the lock and paints them itself.
    std::unique_lock lock(m_lock, std::try_to_lock);
    if (lock.owns_lock() && m_screen.IsOpen() && m_rendered && GetTickCount() - m_lastRender >= kTickMs) {
      ReadTerminal();  // a resize reaches curses here; the keys wait for the windows
      LayOut();
      Paint();
    }
  }
  SetTicking(false);
}

void TerminalFrontEnd::SetTicking(bool ticking) {
  {
    std::lock_guard guard(m_tickLock);
    m_ticking = ticking;
  }
  if (!ticking) m_tickDone.notify_all();
}

bool TerminalFrontEnd::TryLock(std::unique_lock<std::recursive_timed_mutex>& lock) {
  if (lock.try_lock()) return true;
  {
    std::unique_lock tick(m_tickLock);
    m_tickDone.wait_for(tick, kTickerWait, [this] { return !m_ticking; });
  }
  return lock.try_lock();
}

void TerminalFrontEnd::Paint() {
  Overlays overlays;
  overlays.dropDown = m_dropDown ? &*m_dropDown : nullptr;
  for (MessageBoxView* box : m_boxes) {
    box->Place(m_layout.Columns(), m_layout.Rows());
    overlays.boxes.push_back(box);
  }
  m_shownBusy = ShowsWaitCursor();
  const Glyphs& glyphs = m_screen.Unicode() ? Glyphs::Unicode() : Glyphs::Ascii();
  ScreenStyle style;
  style.colours = m_screen.Colours();
  style.keyLine = m_screen.Size().y >= kKeyLineMinRows;
  style.japanese = ProgramIsJapanese();
  style.busy = m_shownBusy;
  Screen screen = PaintScreen(m_layout, glyphs, GetTickCount() / kAnimationFrameMs, overlays, style);
  if (m_repaintAll || !m_shown || !(screen == *m_shown)) {
    m_screen.Show(screen.grid, screen.cursor, m_repaintAll);
    m_shown = std::move(screen);
    m_repaintAll = false;
  }
  const TopLevelPlacement* active = m_layout.Active();
  m_shownActive = !m_boxes.empty() ? kMessageBoxShown : active ? active->node->hwnd : nullptr;
}

void TerminalFrontEnd::Perform(const std::vector<InputAction>& actions) {
  using Kind = InputAction::Kind;
  for (const InputAction& action : actions) {
    // Input for a control brings it back into view on a page scrolled away from it.
    if (action.kind != Kind::ScrollPage && action.kind != Kind::Redraw) m_memory.viewportFocus.clear();
    if (PerformWindowAction(action)) continue;
    const PlacedWindow* combo = m_layout.Find(action.target);
    int count = combo ? static_cast<int>(combo->node->items.size()) : 0;
    switch (action.kind) {
      case Kind::OpenDropDown:
        if (combo && combo->enabled) m_dropDown.emplace(action.target, combo->node->selection, count);
        PlaceDropDown();
        break;
      case Kind::MoveDropDown:
        if (m_dropDown) m_dropDown->MoveTo(static_cast<int>(action.value), count);
        PlaceDropDown();
        break;
      case Kind::CloseDropDown:
        m_dropDown.reset();
        break;
      case Kind::Redraw:
        m_repaintAll = true;
        break;
      case Kind::ScrollColumns:
        m_memory.firstColumn[action.target] += static_cast<int>(action.value);  // the layout keeps it in range
        break;
      case Kind::ScrollPage:
        m_memory.viewport[action.target] += static_cast<int>(action.value);  // the layout keeps it in range
        break;
      default:
        break;
    }
  }
}

void TerminalFrontEnd::DeliverPending() {
  RefreshLayout();
  while (!m_pending.empty()) {
    PendingKey pending = m_pending.front();
    m_pending.pop_front();
    const TermKey& key = pending.key;
    // A click made while another window was on top (a modal dialog, a message box)
    // was not meant for what is there now.
    const TopLevelPlacement* active = m_layout.Active();
    if (key.code == KeyCode::Mouse && pending.shownActive != nullptr &&
        pending.shownActive != (active ? active->node->hwnd : nullptr))
      continue;
    std::vector<InputAction> actions = TranslateKey(key, m_layout, GetFocus(), m_dropDown ? &*m_dropDown : nullptr);
    Perform(actions);
    // A key that may move the focus is handled by the windows before the next one.
    if (!KeepsFocus(actions)) break;
  }
}

void TerminalFrontEnd::Refresh() {
  if (GetCurrentThreadId() != m_uiThread) return;
  std::unique_lock lock(m_lock, std::defer_lock);
  if (!TryLock(lock) || !m_screen.IsOpen()) return;
  // Often at most, but at once when the wait cursor came or went.
  if (m_rendered && GetTickCount() - m_lastRender < kRefreshMs && ShowsWaitCursor() == m_shownBusy) return;
  Render();
}

void TerminalFrontEnd::WaitForInput() {
  m_uiThread = GetCurrentThreadId();
  std::unique_lock lock(m_lock, std::defer_lock);
  if (TryLock(lock)) ServeLending();
  if (!lock.owns_lock() || !m_screen.IsOpen()) {
    // Another thread shows a message box: this one keeps its messages going.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kTickMs, QS_ALLINPUT);
    return;
  }
  ReadTerminal();
  if (m_pending.empty()) {
    Render();
    WaitForTerminalOrQueue();
    ReadTerminal();
  }
  if (!m_pending.empty()) DeliverPending();
}

int TerminalFrontEnd::ShowMessageBox(const framework::MessageBoxRecord& box) {
  std::unique_lock lock(m_lock);
  m_uiThread = GetCurrentThreadId();
  ServeLending();
  if (!m_screen.IsOpen() && !m_lending.IsLent()) return framework::DefaultMessageBoxAnswer(box.type);
  MessageBoxView view(box, ProgramIsJapanese());
  m_boxes.push_back(&view);
  m_dropDown.reset();
  int answer = 0;
  while (answer == 0) {
    // Timers, posted and sent messages keep flowing while the box shows.
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
        quit = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ServeLending();
    if (quit || (!m_screen.IsOpen() && !m_lending.IsLent())) {
      answer = view.QuitAnswer();
      break;
    }
    if (!m_screen.IsOpen()) {  // a program this one started has the terminal: the box waits
      MsgWaitForMultipleObjects(0, nullptr, FALSE, kTickMs, QS_ALLINPUT);
      continue;
    }
    ReadTerminal();
    if (m_pending.empty()) {
      Render();
      WaitForTerminalOrQueue();
      ReadTerminal();
    }
    while (answer == 0 && !m_pending.empty()) {
      TermKey key = m_pending.front().key;
      m_pending.pop_front();
      if (key.code != KeyCode::Resize && key.code != KeyCode::Redraw) answer = view.HandleKey(key);
    }
  }
  std::erase(m_boxes, &view);
  return answer;
}

}  // namespace vek::ui::terminal
