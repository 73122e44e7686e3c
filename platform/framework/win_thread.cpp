#include "framework/win_thread.h"

#include "framework/message_api.h"
#include "framework/message_queue.h"
#include "framework/wnd.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "kernel/thread.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinThread, CCmdTarget)
END_MESSAGE_MAP()

namespace {
thread_local CWinThread* t_thread = nullptr;
}

namespace vek::framework {
void SetCurrentThreadObject(CWinThread* thread) { t_thread = thread; }
}  // namespace vek::framework

CWinThread* AfxGetThread() { return t_thread; }

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID parameter) : m_pThreadParams(parameter), m_pfnThreadProc(proc) {}

CWinThread::~CWinThread() {
  if (m_hThread) CloseHandle(m_hThread);
  if (t_thread == this) t_thread = nullptr;
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize, LPSECURITY_ATTRIBUTES attributes) {
  // Created suspended, so the thread's queue exists before anyone can post to it.
  DWORD id = 0;
  HANDLE thread = ::CreateThread(attributes, stackSize, ThreadEntry, this, CREATE_SUSPENDED, &id);
  if (thread == nullptr) return FALSE;
  m_hThread = thread;
  m_nThreadID = id;
  vek::framework::MakeQueueForThread(id);
  if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(thread);
  return TRUE;
}

DWORD CWinThread::ThreadEntry(LPVOID self) {
  auto* thread = static_cast<CWinThread*>(self);
  t_thread = thread;
  vek::framework::CurrentQueue();
  int code;
  if (thread->m_pfnThreadProc) {
    code = static_cast<int>(thread->m_pfnThreadProc(thread->m_pThreadParams));
  } else if (!thread->InitInstance()) {
    code = thread->ExitInstance();  // the thread still says goodbye
  } else {
    code = thread->Run();
  }
  t_thread = nullptr;
  if (thread->m_bAutoDelete) thread->Delete();
  return static_cast<DWORD>(code);
}

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

// Priorities are advice to the scheduler; one it refuses changes nothing.
BOOL CWinThread::SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }

int CWinThread::GetThreadPriority() { return ::GetThreadPriority(m_hThread); }

BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinThread::OnIdle(LONG count) { return count < 1 ? TRUE : FALSE; }

BOOL CWinThread::IsIdleMessage(MSG* msg) { return msg->message != WM_PAINT; }

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == nullptr) {
    return DispatchMapped(msg->message, 0, 0, msg->wParam, msg->lParam, nullptr) ? TRUE : FALSE;
  }
  // Windows from the target up to its top-level parent may take the message first.
  for (HWND window = msg->hwnd; window; window = ::GetParent(window)) {
    CWnd* wnd = CWnd::FromHandlePermanent(window);
    if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
  }
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

int CWinThread::Run() {
  bool idle = true;
  LONG idleCount = 0;
  MSG peek{};
  for (;;) {
    while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = true;
        idleCount = 0;
      }
    } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void CWinThread::Delete() { delete this; }

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }

CWinThread* AfxBeginThread(const CRuntimeClass* threadClass, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES attributes) {
  CObject* object = threadClass ? threadClass->CreateObject() : nullptr;
  auto* thread = dynamic_cast<CWinThread*>(object);
  if (thread == nullptr) {
    delete object;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, attributes)) {
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(priority);
  if (!(createFlags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID parameter, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES attributes) {
  auto* thread = new CWinThread(proc, parameter);
  if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, attributes)) {
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(priority);
  if (!(createFlags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}
