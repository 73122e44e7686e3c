#include "framework/property_sheet.h"

#include "framework/controls/button_control.h"
#include "framework/dialog_template.h"
#include "framework/gdi.h"
#include "framework/message_box.h"
#include "kernel/version.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId), m_captionId(captionId) {}

BOOL CPropertyPage::OnSetActive() {
  if (m_bFirstSetActive) m_bFirstSetActive = FALSE;  // OnInitDialog has just filled the controls
  else UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
void CPropertyPage::OnOK() {}  // the sheet's buttons decide
void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(BOOL changed) {
  m_modified = changed;
  if (m_pSheet && m_pSheet->m_hWnd) m_pSheet->SendMessage(PSM_CHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose() {
  if (m_pSheet && m_pSheet->m_hWnd) m_pSheet->SendMessage(PSM_CANCELTOCLOSE, 0, 0);
}

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() = default;

CPropertySheet::CPropertySheet(LPCSTR caption, CWnd* parent, UINT startPage)
    : m_caption(caption ? caption : ""), m_pParentWnd(parent) {
  m_psh.nStartPage = startPage;
}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  page->m_pSheet = this;
  m_pages.push_back(page);
}

void CPropertySheet::SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }

void CPropertySheet::SetWizardButtons(DWORD flags) { PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags)); }

BOOL CPropertySheet::PressButton(int button) { return PostMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_active); }

BOOL CPropertySheet::SetActivePage(int index) {
  if (!GetPage(index)) return FALSE;
  if (m_hWnd) ShowPage(index);
  else m_psh.nStartPage = static_cast<UINT>(index);
  return TRUE;
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

void CPropertySheet::CreateButtons(const RECT& pageArea) {
  bool japanese = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE;
  struct ButtonText {
    int id;
    const char* english;
    const char* japanese;
    int slot;
  } looks[] = {{ID_WIZBACK, "< Back", "< \xe6\x88\xbb\xe3\x82\x8b(&B)", 0},  // the shortcuts they show work
               {ID_WIZNEXT, "Next >", "\xe6\xac\xa1\xe3\x81\xb8(&N) >", 1},
               {ID_WIZFINISH, "Finish", "\xe5\xae\x8c\xe4\xba\x86", 1},
               {IDCANCEL, "Cancel", "\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab", 2}};
  const int width = 75, height = 23, gap = 8;
  int top = pageArea.bottom + gap;
  int right = pageArea.right - gap;
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  for (const ButtonText& look : looks) {
    int left = right - (3 - look.slot) * (width + gap) + gap;
    DWORD style = WS_CHILD | WS_TABSTOP | (look.id == ID_WIZFINISH ? 0 : WS_VISIBLE) |
                  (look.id == ID_WIZNEXT ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND button = CreateWindowExA(0, WC_BUTTON, japanese ? look.japanese : look.english, style, left, top, width,
                                  height, m_hWnd, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(look.id)),
                                  nullptr, nullptr);
    ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

void CPropertySheet::ApplyWizardButtons(DWORD flags) {
  m_wizardButtons = flags;
  ::EnableWindow(Button(ID_WIZBACK), (flags & PSWIZB_BACK) ? TRUE : FALSE);
  bool finish = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
  ::ShowWindow(Button(ID_WIZNEXT), finish ? SW_HIDE : SW_SHOW);
  ::ShowWindow(Button(ID_WIZFINISH), finish ? SW_SHOW : SW_HIDE);
  ::EnableWindow(Button(ID_WIZNEXT), (flags & PSWIZB_NEXT) ? TRUE : FALSE);
  ::EnableWindow(Button(ID_WIZFINISH), (flags & PSWIZB_FINISH) ? TRUE : FALSE);
  ::SendMessageA(Button(ID_WIZNEXT), BM_SETSTYLE, finish ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
  ::SendMessageA(Button(ID_WIZFINISH), BM_SETSTYLE, finish ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  // A focus left on a window gone or disabled (a page without a stop, Next
  // turned into Finish) goes to the default button.
  HWND focus = ::GetFocus();
  HWND byDefault = Button(finish ? ID_WIZFINISH : ID_WIZNEXT);
  if ((focus == nullptr || !::IsWindowVisible(focus) || !::IsWindowEnabled(focus)) && ::IsWindowEnabled(byDefault) &&
      ::IsWindowVisible(byDefault))
    ::SetFocus(byDefault);
}

void CPropertySheet::ShowPage(int index) {
  CPropertyPage* page = GetPage(index);
  if (page == nullptr) return;
  if (!page->m_hWnd) {
    // The first showing builds the page, which runs its OnInitDialog.
    page->m_bFirstSetActive = TRUE;
    if (!page->CreateFromTemplate(page->m_nIDTemplate, m_hWnd, true)) return;
  }
  if (CPropertyPage* old = GetActivePage(); old && old != page && old->m_hWnd) old->ShowWindow(SW_HIDE);
  m_active = index;
  // A wizard's title bar shows the caption of the page shown, as the platform's do.
  if (m_psh.dwFlags & PSH_WIZARD) {
    const auto* resource = vek::framework::FindDialogTemplate(page->m_nIDTemplate);
    if (resource && resource->caption && *resource->caption) ::SetWindowTextA(m_hWnd, resource->caption);
  }
  page->ShowWindow(SW_SHOW);
  page->OnSetActive();
  // The focus stays on the sheet's buttons. Left on the page hidden (or on a
  // control the page's settings disabled), it goes to the first stop of the page
  // shown; on a radio button of this page that its settings have just unchecked,
  // to the checked one.
  HWND focus = ::GetFocus();
  if (focus == nullptr || !::IsWindowVisible(focus) || !::IsWindowEnabled(focus)) {
    if (HWND first = ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE)) ::SetFocus(vek::framework::CheckedRadioOf(first));
  } else if (::GetParent(focus) == page->m_hWnd && vek::framework::CheckedRadioOf(focus) != focus) {
    ::SetFocus(vek::framework::CheckedRadioOf(focus));
  }
}

void CPropertySheet::Navigate(LRESULT answer, int direction) {
  int target = -1;
  if (answer == 0) {
    target = m_active + direction;
  } else if (answer != -1) {
    for (int i = 0; i < GetPageCount(); ++i)
      if (static_cast<LRESULT>(m_pages[static_cast<std::size_t>(i)]->m_nIDTemplate) == answer) target = i;
  }
  if (target < 0 || target >= GetPageCount() || target == m_active) return;  // the page stays
  if (!GetActivePage()->OnKillActive()) return;
  ShowPage(target);
}

void CPropertySheet::End(INT_PTR result) {
  m_result = result;
  m_ended = true;
  PostMessage(WM_NULL);  // wakes the modal loop
}

void CPropertySheet::OnButton(int id) {
  CPropertyPage* page = GetActivePage();
  if (page == nullptr || m_ended) return;
  switch (id) {
    case ID_WIZNEXT:
      Navigate(page->OnWizardNext(), +1);
      break;
    case ID_WIZBACK:
      Navigate(page->OnWizardBack(), -1);
      break;
    case ID_WIZFINISH:
      if (page->OnWizardFinish()) End(ID_WIZFINISH);
      break;
    case IDCANCEL:
      if (page->OnQueryCancel()) End(IDCANCEL);
      break;
    default:
      break;
  }
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PSM_SETWIZBUTTONS:
      ApplyWizardButtons(static_cast<DWORD>(lParam));
      return 0;
    case PSM_PRESSBUTTON: {
      static const int ids[] = {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDOK, ID_PSAPPLY, IDCANCEL};
      if (wParam < std::size(ids)) OnButton(ids[wParam]);
      return 0;
    }
    case PSM_CANCELTOCLOSE: {
      // What is done cannot be cancelled any more: the sheet's Cancel now closes it.
      bool japanese = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE;
      ::SetWindowTextA(Button(IDCANCEL), japanese ? "\xe9\x96\x89\xe3\x81\x98\xe3\x82\x8b" : "Close");
      return 0;
    }
    case PSM_CHANGED:
      return 0;
    case DM_GETDEFID:
      return MAKELONG(static_cast<WORD>(::IsWindowVisible(Button(ID_WIZFINISH)) ? ID_WIZFINISH : ID_WIZNEXT), 0x534B);
    case WM_CLOSE:
      OnButton(IDCANCEL);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0 && ::GetParent(reinterpret_cast<HWND>(lParam)) == m_hWnd) {
        int id = LOWORD(wParam);
        if (id == ID_WIZBACK || id == ID_WIZNEXT || id == ID_WIZFINISH || id == IDCANCEL) {
          OnButton(id);
          return 0;
        }
      }
      break;
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

INT_PTR CPropertySheet::DoModal() {
  if (m_pages.empty()) return -1;
  // The page area takes the size of the largest page.
  RECT area{0, 0, 0, 0};
  for (CPropertyPage* page : m_pages) {
    if (const auto* resource = vek::framework::FindDialogTemplate(page->m_nIDTemplate)) {
      RECT r = vek::framework::DialogUnitsToPixels(0, 0, resource->cx, resource->cy);
      area.right = std::max(area.right, r.right);
      area.bottom = std::max(area.bottom, r.bottom);
    }
  }
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  bool reenable = owner && ::IsWindowEnabled(owner);
  if (reenable) ::EnableWindow(owner, FALSE);
  m_ended = false;
  m_result = IDCANCEL;
  RECT frame{0, 0, area.right, area.bottom + 23 + 16};
  INT_PTR result = -1;
  if (CreateEx(0, WC_DIALOG, m_caption.GetString(), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, frame,
               m_pParentWnd, 0)) {
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CreateButtons(area);
    SendMessage(WM_INITDIALOG, 0, 0);
    ApplyWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    ShowPage(std::min(static_cast<int>(m_psh.nStartPage), GetPageCount() - 1));
    ShowWindow(SW_SHOW);
    result = vek::framework::RunModalLoop(m_hWnd, m_ended) ? m_result : -1;
    DestroyWindow();
  }
  for (CPropertyPage* page : m_pages) page->m_bFirstSetActive = TRUE;
  m_active = -1;
  if (reenable) ::EnableWindow(owner, TRUE);
  return result;
}
