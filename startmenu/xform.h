// XForm: a window of the start menu as its forms behave. A form is loaded (its
// window made, hidden, and its load event run) and shown without being modal; it
// is unloaded by its own code, never by Enter or Esc; and the program ends when the
// last loaded form is unloaded. The mouse events of its picture boxes and buttons
// arrive with the button, the shift keys and the point in twips, relative to the
// control; a push button clicked by a person reports the release of the left button
// in its middle. A form shown over another takes the focus from it; when it is
// unloaded, the form below gets its focus back.
#pragma once

#include "framework/framework.h"

class XForm : public CDialog {
 public:
  explicit XForm(UINT templateId);
  ~XForm() override;

  BOOL Load();
  BOOL Show();
  void Unload();
  bool IsLoaded() const { return m_hWnd != nullptr; }

  // The forms loaded now, in the whole program.
  static int LoadedForms();
  static int PixelsToTwips(int pixels);

  // The control's mouse events (twips); a picture box also says when the pointer
  // has gone elsewhere.
  virtual void MouseDown(int id, int button, int shift, int x, int y);
  virtual void MouseMove(int id, int button, int shift, int x, int y);
  virtual void MouseUp(int id, int button, int shift, int x, int y);
  virtual void PointerLeft(int id);

 protected:
  virtual void Form_Load() {}
  // A picture from the forms' own pictures or from a file; null clears it.
  void SetPicture(int id, HBITMAP picture);

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void OnOK() override {}
  void OnCancel() override {}
  void PostNcDestroy() override;
  // Esc never closes a form.
  LRESULT HandleClosesOnEscape(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  bool Holds(HWND window) const;
  void RestoreFocus();

  bool m_loading = false;
  bool m_unloadWhenLoaded = false;
  HWND m_savedFocus = nullptr;
};
