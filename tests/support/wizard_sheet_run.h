// The wizard's sheet run as the program runs it, on a user-interface thread of its
// own, for tests that drive its pages headless and read what they show. Header
// only: vek_test_support does not depend on the wizard.
#pragma once

#include <atomic>
#include <thread>

#include "ui/headless_driver.h"
#include "wizard/resources/wizard_resources.h"
#include "wizard/wizard_font.h"
#include "wizard/wizard_sheet.h"

namespace vek::test {

// Runs the sheet on a user-interface thread of its own, from the page at index
// startPage of its order (the welcome page by default).
class SheetRun {
 public:
  explicit SheetRun(UINT startPage = 0) {
    RegisterWizardResources();
    SetupWizardFont();
    m_thread = std::thread([this, startPage] {
      auto* sheet = new cwizardbegin("test", nullptr, startPage);
      sheet->SetWizardMode();
      m_sheet = sheet;
      m_result = sheet->DoModal();
      m_done = true;
    });
    vek::ui::HeadlessDriver::WaitFor([this] {
      cwizardbegin* sheet = m_sheet;
      return sheet && sheet->GetActiveIndex() >= 0 && driver.ActiveWindow() != nullptr;
    });
    m_window = driver.ActiveWindow();
    driver.Settle();
  }
  ~SheetRun() {
    // Cancelled through the sheet itself, and again until it has ended: a dialog
    // over it (a search) holds it until the dialog is done.
    for (int i = 0; i < 600 && !m_done; i++) {
      ::PostMessageA(m_window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      vek::ui::HeadlessDriver::WaitFor([this] { return m_done.load(); }, 100);
    }
    m_thread.join();
    delete m_sheet.load();
  }
  UINT Page() const {
    CPropertyPage* page = m_sheet.load()->GetActivePage();
    return page ? page->m_nIDTemplate : 0;
  }
  cwizardbegin& sheet() { return *m_sheet; }
  bool done() const { return m_done; }
  INT_PTR result() const { return m_result; }
  vek::ui::HeadlessDriver driver;

 private:
  std::thread m_thread;
  std::atomic<cwizardbegin*> m_sheet{nullptr};
  HWND m_window = nullptr;  // the sheet's
  std::atomic<bool> m_done{false};
  std::atomic<INT_PTR> m_result{0};
};

}  // namespace vek::test
