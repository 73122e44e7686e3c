// The application object. A program has one, made as a static object; its start
// runs InitInstance and, when that succeeds, the message loop. A library (the port
// monitor) starts and stops its application object from its explicit initialise and
// shutdown calls instead, never from static constructors or destructors.
#pragma once

#include "framework/win_thread.h"

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  int Run() override;

  // The library form: InitInstance once on the first start; ExitInstance once on stop.
  BOOL StartLibrary();
  int StopLibrary();
  bool IsLibraryStarted() const { return m_libraryStarted; }

  // Kept for the programs' start-up; they change nothing on this platform.
  BOOL Enable3dControls() { return TRUE; }
  BOOL Enable3dControlsStatic() { return TRUE; }
  void SetDialogBkColor(DWORD = 0, DWORD = 0) {}

  HCURSOR LoadStandardCursor(LPCSTR name) const;
  HCURSOR LoadCursor(UINT id) const;

  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = 1;
  int m_argc = 0;
  char** m_argv = nullptr;

 private:
  bool m_libraryStarted = false;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxEnableControlContainer();
// Starts Windows Sockets for the application; FALSE when they cannot start.
BOOL AfxSocketInit();

// The program start: runs the application object's InitInstance, then Run (or
// ExitInstance when InitInstance fails), and returns the exit code.
int AfxWinMain(int argc, char** argv);
