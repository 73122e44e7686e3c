#include "startmenu/xform.h"

#include <algorithm>
#include <vector>

#include "startmenu/xpicture_box.h"

namespace {
// The loaded forms of the program, the one shown last at the end; one user-interface thread.
std::vector<XForm*> g_forms;

bool IsPictureBox(HWND window) {
  char name[64] = {};
  return window && GetClassNameA(window, name, sizeof name) > 0 && vek::CompareNoCase(name, kPictureBoxClass) == 0;
}

bool IsPushButton(HWND window) {
  char name[64] = {};
  if (!window || GetClassNameA(window, name, sizeof name) == 0 || vek::CompareNoCase(name, WC_BUTTON) != 0) return false;
  DWORD type = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}
}  // namespace

BEGIN_MESSAGE_MAP(XForm, CDialog)
  ON_MESSAGE(vek::framework::VEK_UM_CLOSESONESCAPE, HandleClosesOnEscape)
END_MESSAGE_MAP()

XForm::XForm(UINT templateId) : CDialog(templateId) {}

XForm::~XForm() {
  if (m_hWnd) DestroyWindow();
}

int XForm::LoadedForms() { return static_cast<int>(g_forms.size()); }

int XForm::PixelsToTwips(int pixels) {
  int dpi = GetDeviceCaps(nullptr, LOGPIXELSX);
  return pixels * 1440 / (dpi > 0 ? dpi : 96);
}

BOOL XForm::Load() {
  if (m_hWnd) return TRUE;
  m_loading = true;
  m_unloadWhenLoaded = false;
  g_forms.push_back(this);  // counted before the load event, which may load other forms and unload this one
  BOOL made = CreateFromTemplate(m_nIDTemplate, nullptr, false);
  m_loading = false;
  if (!made) {
    std::erase(g_forms, this);
    if (g_forms.empty()) PostQuitMessage(0);
    return FALSE;
  }
  if (m_unloadWhenLoaded) {
    Unload();
    return FALSE;
  }
  return TRUE;
}

bool XForm::Holds(HWND window) const {
  for (; window; window = ::GetParent(window))
    if (window == m_hWnd) return true;
  return false;
}

BOOL XForm::Show() {
  HWND focus = ::GetFocus();
  for (XForm* form : g_forms)
    if (form != this && form->Holds(focus)) form->m_savedFocus = focus;
  if (!Load()) return FALSE;
  std::erase(g_forms, this);
  g_forms.push_back(this);
  ShowWindow(SW_SHOW);
  return TRUE;
}

void XForm::RestoreFocus() {
  HWND focus = m_savedFocus && Holds(m_savedFocus) ? m_savedFocus : nullptr;
  m_savedFocus = nullptr;
  if (focus) ::SetFocus(focus);
}

void XForm::Unload() {
  if (!m_hWnd) return;
  if (m_loading) {
    m_unloadWhenLoaded = true;  // its window is still being made
    return;
  }
  bool hadFocus = Holds(::GetFocus());
  DestroyWindow();
  if (hadFocus && !g_forms.empty()) g_forms.back()->RestoreFocus();
}

LRESULT XForm::HandleClosesOnEscape(WPARAM, LPARAM) { return FALSE; }

void XForm::PostNcDestroy() {
  CDialog::PostNcDestroy();
  auto at = std::find(g_forms.begin(), g_forms.end(), this);
  if (at == g_forms.end()) return;
  g_forms.erase(at);
  if (g_forms.empty()) PostQuitMessage(0);
}

void XForm::SetPicture(int id, HBITMAP picture) {
  HWND control = ::GetDlgItem(m_hWnd, id);
  if (control) ::SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  else if (picture) DeleteObject(picture);
}

BOOL XForm::OnInitDialog() {
  CDialog::OnInitDialog();
  Form_Load();
  return TRUE;
}

void XForm::MouseDown(int, int, int, int, int) {}
void XForm::MouseMove(int, int, int, int, int) {}
void XForm::MouseUp(int, int, int, int, int) {}
void XForm::PointerLeft(int) {}

BOOL XForm::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* notice = reinterpret_cast<NMPICTUREMOUSE*>(lParam);
  if (notice && IsPictureBox(notice->hdr.hwndFrom)) {
    int id = static_cast<int>(notice->hdr.idFrom);
    int x = PixelsToTwips(notice->point.x), y = PixelsToTwips(notice->point.y);
    switch (notice->hdr.code) {
      case XPBN_MOUSEDOWN: MouseDown(id, notice->button, notice->shift, x, y); return TRUE;
      case XPBN_MOUSEMOVE: MouseMove(id, notice->button, notice->shift, x, y); return TRUE;
      case XPBN_MOUSEUP: MouseUp(id, notice->button, notice->shift, x, y); return TRUE;
      case XPBN_POINTERLEFT: PointerLeft(id); return TRUE;
      default: break;
    }
  }
  return CDialog::OnNotify(wParam, lParam, result);
}

BOOL XForm::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND control = reinterpret_cast<HWND>(lParam);
  if (HIWORD(wParam) == BN_CLICKED && IsPushButton(control)) {
    RECT client{};
    ::GetClientRect(control, &client);
    MouseUp(LOWORD(wParam), 1, 0, PixelsToTwips(client.right / 2), PixelsToTwips(client.bottom / 2));
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

BOOL XForm::PreTranslateMessage(MSG* msg) {
  // Enter on a picture box is its click, not the form's default button.
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && IsPictureBox(::GetFocus())) return FALSE;
  return IsDialogMessageA(m_hWnd, msg);
}
