#include "framework/message_box.h"

#include <deque>
#include <mutex>

#include "framework/resources.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
#include "kernel/strings.h"

namespace vek::framework {
namespace {

struct State {
  std::mutex lock;
  MessageBoxHandler handler;
  std::deque<int> answers;
  std::vector<MessageBoxRecord> log;
};

State& TheState() {
  static State* state = new State;
  return *state;
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard guard(TheState().lock);
  TheState().handler = std::move(handler);
}

void QueueMessageBoxAnswer(int answer) {
  std::lock_guard guard(TheState().lock);
  TheState().answers.push_back(answer);
}

std::vector<MessageBoxRecord> MessageBoxLog() {
  std::lock_guard guard(TheState().lock);
  return TheState().log;
}

void ClearMessageBoxLog() {
  std::lock_guard guard(TheState().lock);
  TheState().log.clear();
}

int DefaultMessageBoxAnswer(UINT type) {
  static const int buttons[][3] = {{IDOK, IDOK, IDOK},         {IDOK, IDCANCEL, IDCANCEL},
                                   {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
                                   {IDYES, IDNO, IDNO},         {IDRETRY, IDCANCEL, IDCANCEL}};
  UINT kind = type & MB_TYPEMASK;
  if (kind > 5) kind = 0;
  UINT which = (type >> 8) & 0x3;
  return buttons[kind][which > 2 ? 0 : which];
}

int ShowMessageBox(HWND owner, std::string text, std::string caption, UINT type) {
  MessageBoxRecord box{owner, std::move(text), std::move(caption), type, 0};
  MessageBoxHandler handler;
  {
    std::lock_guard guard(TheState().lock);
    State& state = TheState();
    if (!state.answers.empty()) {
      box.answer = state.answers.front();
      state.answers.pop_front();
    }
    handler = state.handler;
  }
  // The handler may run a modal loop: no lock is held across it.
  if (box.answer == 0) box.answer = handler ? handler(box) : DefaultMessageBoxAnswer(type);
  std::lock_guard guard(TheState().lock);
  TheState().log.push_back(box);
  return box.answer;
}

}  // namespace vek::framework

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return vek::framework::ShowMessageBox(owner, text ? text : "", caption ? caption : "Error", type);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  return vek::framework::ShowMessageBox(owner, text ? vek::ToNarrow(text) : "",
                                        caption ? vek::ToNarrow(caption) : "Error", type);
}

namespace {
std::string AppCaption() {
  CWinApp* app = AfxGetApp();
  return app && app->m_pszAppName ? app->m_pszAppName : "Error";
}
HWND MainWindow() {
  CWinApp* app = AfxGetApp();
  return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}
}  // namespace

int AfxMessageBox(LPCSTR text, UINT type, UINT) {
  return vek::framework::ShowMessageBox(MainWindow(), text ? text : "", AppCaption(), type);
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT) {
  return vek::framework::ShowMessageBox(MainWindow(), text ? vek::ToNarrow(text) : "", AppCaption(), type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
  std::string text;
  vek::framework::FindString(promptId, &text);
  return AfxMessageBox(text.c_str(), type, helpId);
}
