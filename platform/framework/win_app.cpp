#include "framework/win_app.h"

#include <string>

#include "framework/cursor.h"
#include "framework/front_end.h"
#include "framework/message_queue.h"
#include "framework/wnd.h"
#include "kernel/program_end.h"
#include "kernel/thread.h"
#include "net/winsock.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_app = nullptr;
std::string g_commandLine;
}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) {
  m_bAutoDelete = FALSE;  // a static object
  if (g_app == nullptr) g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

// The application's loop also shows its windows through the front end, when there is one.
int CWinApp::Run() {
  if (!vek::framework::CurrentFrontEnd()) return CWinThread::Run();
  MSG msg;
  for (;;) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      vek::framework::WaitForModalInput();
      continue;
    }
    if (!PumpMessage()) return ExitInstance();
  }
}

BOOL CWinApp::StartLibrary() {
  if (m_libraryStarted) return TRUE;
  m_nThreadID = GetCurrentThreadId();
  if (!InitInstance()) {
    ExitInstance();
    return FALSE;
  }
  m_libraryStarted = true;
  return TRUE;
}

int CWinApp::StopLibrary() {
  if (!m_libraryStarted) return 0;
  m_libraryStarted = false;
  return ExitInstance();
}

HCURSOR CWinApp::LoadStandardCursor(LPCSTR name) const { return LoadCursorA(nullptr, name); }

HCURSOR CWinApp::LoadCursor(UINT id) const {
  return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)));
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() {
  CWinThread* thread = AfxGetThread();
  if (thread && thread->m_pMainWnd) return thread->m_pMainWnd;
  return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : nullptr; }
HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }
void AfxEnableControlContainer() {}

BOOL AfxSocketInit() {
  WSADATA data{};
  return WSAStartup(MAKEWORD(1, 1), &data) == 0 ? TRUE : FALSE;
}

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  app->m_argc = argc;
  app->m_argv = argv;
  app->m_pszExeName = argc > 0 ? argv[0] : "";
  g_commandLine.clear();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) g_commandLine += ' ';
    g_commandLine += argv[i];
  }
  app->m_lpCmdLine = g_commandLine.data();
  app->m_nThreadID = GetCurrentThreadId();
  vek::framework::SetCurrentThreadObject(app);
  vek::framework::CurrentQueue();
  int code;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    code = app->ExitInstance();
  } else {
    code = app->Run();
  }
  vek::framework::SetCurrentThreadObject(nullptr);
  vek::RunProgramEnd();
  return code;
}
