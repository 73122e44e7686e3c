// CWinThread: a thread with its own message queue and the framework's idle loop.
// Run calls OnIdle with a rising count while the queue is empty and waits for
// messages once OnIdle returns FALSE; WM_QUIT ends Run through ExitInstance, and an
// auto-deleting thread object deletes itself at its end.
#pragma once

#include "framework/cmd_target.h"
#include "framework/win_types.h"

class CWnd;

using AFX_THREADPROC = UINT (*)(LPVOID parameter);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)

 public:
  CWinThread();
  explicit CWinThread(AFX_THREADPROC proc, LPVOID parameter);
  ~CWinThread() override;
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES attributes = nullptr);
  DWORD ResumeThread();
  BOOL SetThreadPriority(int priority);
  int GetThreadPriority();
  BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
  operator HANDLE() const { return m_hThread; }

  virtual BOOL InitInstance();
  virtual int ExitInstance();
  virtual int Run();
  virtual BOOL OnIdle(LONG count);
  virtual BOOL PreTranslateMessage(MSG* msg);
  virtual BOOL PumpMessage();
  virtual BOOL IsIdleMessage(MSG* msg);
  virtual void Delete();
  virtual CWnd* GetMainWnd();

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = TRUE;
  CWnd* m_pMainWnd = nullptr;
  LPVOID m_pThreadParams = nullptr;
  AFX_THREADPROC m_pfnThreadProc = nullptr;

 protected:
  MSG m_msgCur{};

  DECLARE_MESSAGE_MAP()

 private:
  static DWORD ThreadEntry(LPVOID self);
};

// Makes a thread from a creatable class (a user-interface thread) or from a function
// (a worker thread). With CREATE_SUSPENDED the thread waits for ResumeThread.
CWinThread* AfxBeginThread(const CRuntimeClass* threadClass, int priority = 0, UINT stackSize = 0,
                           DWORD createFlags = 0, LPSECURITY_ATTRIBUTES attributes = nullptr);
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID parameter, int priority = 0, UINT stackSize = 0,
                           DWORD createFlags = 0, LPSECURITY_ATTRIBUTES attributes = nullptr);
// The framework thread object of the calling thread (the application on the main thread).
CWinThread* AfxGetThread();

namespace vek::framework {
// Binds the calling thread to its framework object (the application's start does this).
void SetCurrentThreadObject(CWinThread* thread);
}
