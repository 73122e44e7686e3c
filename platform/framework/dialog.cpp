#include "framework/dialog.h"

#include <algorithm>
#include <vector>

#include "framework/control_defs.h"
#include "framework/controls/button_control.h"
#include "framework/ddx.h"
#include "framework/front_end.h"
#include "framework/gdi.h"
#include "framework/window_class.h"
#include "kernel/errors.h"
#include "kernel/thread.h"
#include "kernel/lasterror.h"

namespace vek::framework {

RECT DialogUnitsToPixels(short x, short y, short cx, short cy) {
  int left = x * kDialogBaseX / 4, top = y * kDialogBaseY / 8;
  return RECT{left, top, left + cx * kDialogBaseX / 4, top + cy * kDialogBaseY / 8};
}

namespace {

constexpr WORD DC_HASDEFID = 0x534B;

// The built-in handling of the dialog class.
class DialogBehaviour : public WindowBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        return TRUE;
      case DM_GETDEFID: {
        if (m_defId) return MAKELONG(static_cast<WORD>(m_defId), DC_HASDEFID);
        HWND found = nullptr;
        for (HWND child : DescendantWindows(window)) {
          char name[16] = {};
          GetClassNameA(child, name, sizeof name);
          if (std::string_view(name) == WC_BUTTON && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            found = child;
            break;
          }
        }
        return found ? MAKELONG(static_cast<WORD>(GetDlgCtrlID(found)), DC_HASDEFID) : 0;
      }
      case DM_SETDEFID:
        m_defId = static_cast<UINT>(wParam);
        return TRUE;
      case WM_CLOSE:
        SendMessageA(window, WM_COMMAND, MAKELONG(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
        return 0;
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
      default:
        return WindowBehaviour::Handle(window, message, wParam, lParam);
    }
  }

 private:
  UINT m_defId = 0;
};

bool IsClass(HWND window, const char* className) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return vek::CompareNoCase(name, className) == 0;
}

bool IsDescendant(HWND window, HWND ancestor) {
  for (HWND w = window; w; w = GetParent(w))
    if (w == ancestor) return true;
  return false;
}

// The controls Tab moves through, in creation order, nested pages included: a
// page's controls come before the controls of the dialog that holds it (a
// sheet's Back, Next and Cancel after the page shown).
std::vector<HWND> TabStops(HWND dialog) {
  std::vector<HWND> stops;
  auto take = [&](HWND window) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    if ((style & WS_TABSTOP) && IsWindowVisible(window) && IsWindowEnabled(window) && !IsClass(window, WC_DIALOG))
      stops.push_back(window);
  };
  std::vector<HWND> own;
  for (HWND child : ChildWindows(dialog)) {
    if (!IsClass(child, WC_DIALOG)) {
      own.push_back(child);
      continue;
    }
    for (HWND inner : TabStops(child)) stops.push_back(inner);
  }
  for (HWND child : own) {
    take(child);
    for (HWND inner : DescendantWindows(child)) take(inner);
  }
  return stops;
}

void FocusControl(HWND control) {
  SetFocus(control);
  if (IsClass(control, WC_EDIT)) SendMessageA(control, EM_SETSEL, 0, -1);
}

// The stop after (or before) a control; a control inside a stop (a field of a
// control made of several) counts as that stop. Null without stops.
HWND NextTabStop(HWND dialog, HWND control, bool backwards) {
  std::vector<HWND> stops = TabStops(dialog);
  if (stops.empty()) return nullptr;
  std::size_t at = stops.size();
  for (std::size_t i = 0; i < stops.size(); ++i)
    if (control && IsDescendant(control, stops[i])) at = i;
  // A radio button without a stop of its own (one the arrow keys moved to) goes
  // from its group's stop.
  if (at == stops.size() && control && IsRadioButton(control))
    for (HWND member : ControlGroup(control)) {
      auto stop = std::find(stops.begin(), stops.end(), member);
      if (stop == stops.end()) continue;
      at = static_cast<std::size_t>(stop - stops.begin());
      break;
    }
  if (at == stops.size()) return backwards ? stops.back() : stops.front();
  return stops[(backwards ? at + stops.size() - 1 : at + 1) % stops.size()];
}

bool InGroupOf(HWND control, HWND member) {
  if (control == nullptr || member == nullptr) return false;
  std::vector<HWND> group = ControlGroup(member);
  return std::find(group.begin(), group.end(), control) != group.end();
}

void MoveFocus(HWND dialog, bool backwards) {
  HWND from = GetFocus();
  HWND next = NextTabStop(dialog, from, backwards);
  if (next == nullptr) return;
  // Between the stops of one group as they come; into a group at its checked button.
  FocusControl(InGroupOf(next, from) ? next : CheckedRadioOf(next));
}

// Arrow keys move the check within a group of radio buttons.
bool MoveInRadioGroup(HWND button, bool forward) {
  std::vector<HWND> radios;
  for (HWND control : ControlGroup(button))
    if (IsRadioButton(control) && IsWindowEnabled(control) && IsWindowVisible(control)) radios.push_back(control);
  auto at = std::find(radios.begin(), radios.end(), button);
  if (at == radios.end() || radios.size() < 2) return false;
  std::size_t index = static_cast<std::size_t>(at - radios.begin());
  HWND next = radios[(index + (forward ? 1 : radios.size() - 1)) % radios.size()];
  SetFocus(next);
  SendMessageA(next, BM_CLICK, 0, 0);
  return true;
}

}  // namespace

void RegisterDialogClass() {
  RegisterWindowClass(WC_DIALOG, [] { return std::make_unique<DialogBehaviour>(); });
}

}  // namespace vek::framework

using namespace vek::framework;

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
  if (msg == nullptr || !IsDescendant(msg->hwnd, dialog)) return FALSE;
  if (msg->message == WM_CHAR && (msg->wParam == VK_TAB || msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
    return TRUE;
  if (msg->message != WM_KEYDOWN) return FALSE;
  HWND focus = GetFocus();
  switch (msg->wParam) {
    case VK_TAB:
      MoveFocus(dialog, msg->lParam == 1);
      return TRUE;
    case VK_RETURN: {
      // A focused button takes Enter; one disabled while it had the focus leaves
      // Enter to the default button.
      if (focus && IsPushButton(focus) && IsDescendant(focus, dialog) && IsWindowEnabled(focus)) {
        SendMessageA(focus, BM_CLICK, 0, 0);
        return TRUE;
      }
      LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
      int id = HIWORD(static_cast<std::uintptr_t>(def)) == 0x534B ? LOWORD(static_cast<std::uintptr_t>(def)) : IDOK;
      HWND button = GetDlgItem(dialog, id);
      if (button && (!IsWindowEnabled(button) || !IsWindowVisible(button))) return TRUE;
      SendMessageA(dialog, WM_COMMAND, MAKELONG(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return TRUE;
    }
    case VK_ESCAPE: {
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      if (cancel && !IsWindowEnabled(cancel)) return TRUE;  // a disabled Cancel also stops Esc
      SendMessageA(dialog, WM_COMMAND, MAKELONG(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return TRUE;
    }
    case VK_UP:
    case VK_LEFT:
    case VK_DOWN:
    case VK_RIGHT:
      if (focus && IsRadioButton(focus))
        return MoveInRadioGroup(focus, msg->wParam == VK_DOWN || msg->wParam == VK_RIGHT) ? TRUE : FALSE;
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL IsDialogMessageW(HWND dialog, MSG* msg) { return IsDialogMessageA(dialog, msg); }

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  return NextTabStop(dialog, control, previous != FALSE);
}

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_MESSAGE(VEK_UM_CLOSESONESCAPE, HandleClosesOnEscape)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

LRESULT CDialog::HandleClosesOnEscape(WPARAM, LPARAM) { return TRUE; }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange exchange(this, saveAndValidate);
  DoDataExchange(&exchange);
  return exchange.Failed() ? FALSE : TRUE;
}

BOOL CDialog::CreateFromTemplate(UINT templateId, HWND parent, bool child) {
  const DialogTemplate* resource = FindDialogTemplate(templateId);
  if (resource == nullptr) {
    SetLastError(1814);  // the resource is not in the tables
    return FALSE;
  }
  m_nIDTemplate = templateId;
  DWORD style = resource->style;
  if (child) style = (style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE)) | WS_CHILD;
  RECT rect = DialogUnitsToPixels(resource->x, resource->y, resource->cx, resource->cy);
  if (child) rect = RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  if (!CWnd::CreateEx(resource->exStyle, WC_DIALOG, resource->caption, style & ~WS_VISIBLE, rect,
                     CWnd::FromHandle(parent), 0))
    return FALSE;
  HWND window = m_hWnd;
  int dpi = ::GetDeviceCaps(nullptr, LOGPIXELSY);
  HFONT font = CreateFontA(-(resource->fontSize * dpi / 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0,
                           resource->fontName ? resource->fontName : "System");
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  HWND firstStop = nullptr;
  std::vector<HWND> stops;  // the controls with a tab stop, in order
  for (std::size_t i = 0; i < resource->itemCount; ++i) {
    const DialogItemTemplate& item = resource->items[i];
    RECT r = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
    HWND control = CreateWindowExA(item.exStyle, item.className, item.text, item.style | WS_CHILD, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, window,
                                   reinterpret_cast<HMENU>(static_cast<std::intptr_t>(item.id)), nullptr, nullptr);
    if (control == nullptr) continue;  // an unknown control class leaves a gap, not a broken dialog
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (item.imageId) {
      HBITMAP bitmap = LoadBitmapA(nullptr, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(item.imageId)));
      ::SendMessageA(control, vek::CompareNoCase(item.className, WC_STATIC) == 0 ? STM_SETIMAGE : BM_SETIMAGE,
                     IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
    if (item.style & WS_TABSTOP) stops.push_back(control);
    if (!firstStop && (item.style & WS_TABSTOP) && !(item.style & WS_DISABLED)) firstStop = control;
  }
  if (::SendMessageA(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstStop), 0) && firstStop) {
    // The first stop as the dialog stands now (not shown yet): its
    // initialisation may have disabled or hidden the template's first.
    auto takesFocus = [](HWND control) {
      return ::IsWindowEnabled(control) && (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
    };
    auto now = std::find_if(stops.begin(), stops.end(), takesFocus);
    if (!takesFocus(firstStop) && now != stops.end()) firstStop = *now;
    // A disabled control never has the focus: with no stop left to take it, a
    // dialog of its own has it itself (a page leaves it to its sheet).
    if (takesFocus(firstStop)) FocusControl(CheckedRadioOf(firstStop));
    else if (!child) ::SetFocus(window);
  }
  return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_pParentWnd = parent;
  if (!CreateFromTemplate(templateId, parent ? parent->m_hWnd : nullptr, false)) return FALSE;
  ShowWindow(SW_SHOW);
  return TRUE;
}

namespace {

// A modal dialog made without a parent belongs to the thread's active window, as
// on the platform: the last visible, enabled top-level window of the thread.
HWND ActiveWindowOfThread() {
  struct Search {
    DWORD thread;
    HWND found;
  } search{GetCurrentThreadId(), nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetWindowThreadProcessId(window, nullptr) == s->thread && IsWindowVisible(window) &&
            IsWindowEnabled(window))
          s->found = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

INT_PTR CDialog::DoModal() {
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : ActiveWindowOfThread();
  // The window a modal dialog holds still is the top-level one its parent lies
  // in (a page's sheet, with its buttons), as the platform does.
  HWND frozen = owner;
  while (frozen && (::GetWindowLongA(frozen, GWL_STYLE) & WS_CHILD) && ::GetParent(frozen)) frozen = ::GetParent(frozen);
  bool reenable = frozen && ::IsWindowEnabled(frozen);
  HWND focusBefore = ::GetFocus();
  if (reenable) ::EnableWindow(frozen, FALSE);
  m_modal = true;
  m_endModal = false;
  m_modalResult = -1;
  INT_PTR result = -1;
  // The window below takes over before the dialog goes, so that there is always
  // a window on top: one that looks for it meanwhile finds it, not none.
  const bool created = CreateFromTemplate(m_nIDTemplate, owner, false);
  if (created) {
    if (!m_endModal) ShowWindow(SW_SHOW);
    result = vek::framework::RunModalLoop(m_hWnd, m_endModal) ? m_modalResult : -1;
  }
  if (reenable) ::EnableWindow(frozen, TRUE);
  if (created) DestroyWindow();
  m_modal = false;
  // The window below comes back to the top with the focus where it had it, unless
  // the dialog's code put it somewhere that takes it.
  HWND focus = ::GetFocus();
  bool focusTaken = focus && ::IsWindowVisible(focus) && ::IsWindowEnabled(focus);
  if (!focusTaken && focusBefore && ::IsWindow(focusBefore) && ::IsWindowVisible(focusBefore) &&
      ::IsWindowEnabled(focusBefore))
    ::SetFocus(focusBefore);
  return result;
}

bool vek::framework::RunModalLoop(HWND dialog, const bool& ended) {
  while (!ended) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitForModalInput();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends too
      return false;
    }
    bool done = false;
    for (HWND w = msg.hwnd; w && !done; w = GetParent(w))
      if (CWnd* wnd = CWnd::FromHandlePermanent(w)) done = wnd->PreTranslateMessage(&msg);
    if (!done && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) done = true;
    if (!done) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

void CDialog::EndDialog(int result) {
  m_modalResult = result;
  m_endModal = true;
  if (m_hWnd) {
    ShowWindow(SW_HIDE);
    PostMessage(WM_NULL);  // wakes the modal loop
  }
}

void CDialog::NextDlgCtrl() const { MoveFocus(m_hWnd, false); }
void CDialog::PrevDlgCtrl() const { MoveFocus(m_hWnd, true); }
void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) FocusControl(control->m_hWnd);
}

BOOL CDialog::CheckRadioButton(int first, int last, int checked) {
  for (int id = first; id <= last; ++id)
    if (HWND button = ::GetDlgItem(m_hWnd, id)) ::SendMessageA(button, BM_SETCHECK, id == checked, 0);
  return TRUE;
}

int CDialog::GetCheckedRadioButton(int first, int last) {
  for (int id = first; id <= last; ++id)
    if (HWND button = ::GetDlgItem(m_hWnd, id); button && ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
      return id;
  return 0;
}

void CDialog::CheckDlgButton(int id, UINT check) {
  if (HWND button = ::GetDlgItem(m_hWnd, id)) ::SendMessageA(button, BM_SETCHECK, check, 0);
}

UINT CDialog::IsDlgButtonChecked(int id) const {
  HWND button = ::GetDlgItem(m_hWnd, id);
  return button ? static_cast<UINT>(::SendMessageA(button, BM_GETCHECK, 0, 0)) : 0;
}

void CDialog::SetDefID(UINT id) { ::SendMessageA(m_hWnd, DM_SETDEFID, id, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
