// The platform's Add Printer wizard: a printer on a local port of this machine's
// spooler, in five pages: welcome, local or network printer, the port, the model
// and the name, and whether to print a test page.
#pragma once

#include <string>

#include "framework/framework.h"

namespace vek::spooler {

// What the pages gather; the last page adds the printer from it.
struct NewPrinter {
  std::string port = "LPT1:";
  std::string driver;
  std::string name;
  bool testPage = false;
  bool added = false;
};

class CAddPrinterPage : public CPropertyPage {
 public:
  CAddPrinterPage(UINT templateId, NewPrinter& printer, DWORD buttons)
      : CPropertyPage(templateId), m_printer(printer), m_buttons(buttons) {}
  BOOL OnSetActive() override;

 protected:
  NewPrinter& m_printer;

 private:
  DWORD m_buttons;
};

class CLocalPrinterPage : public CAddPrinterPage {
 public:
  explicit CLocalPrinterPage(NewPrinter& printer);
  BOOL OnInitDialog() override;
};

class CPrinterPortPage : public CAddPrinterPage {
 public:
  explicit CPrinterPortPage(NewPrinter& printer);
  BOOL OnInitDialog() override;
  LRESULT OnWizardNext() override;

 private:
  DWORD m_listError = 0;  // why the ports could not be listed
};

class CPrinterModelPage : public CAddPrinterPage {
 public:
  explicit CPrinterModelPage(NewPrinter& printer);
  BOOL OnInitDialog() override;
  LRESULT OnWizardNext() override;

 protected:
  void OnModelChange();
  DECLARE_MESSAGE_MAP()

 private:
  std::string m_suggested;  // the name given for the model chosen, until the user types one
};

class CTestPagePage : public CAddPrinterPage {
 public:
  explicit CTestPagePage(NewPrinter& printer);
  BOOL OnInitDialog() override;
  BOOL OnWizardFinish() override;
};

// Adds the printer to the spooler (and prints its test page when asked); FALSE
// with a text for the user.
BOOL AddNewPrinter(const NewPrinter& printer, std::string* problem);

// The wizard's dialogs, in English and Japanese.
void RegisterAddPrinterResources();

// The drivers offered: generic ones, for printers that take the document as it is.
inline constexpr const char* kGenericDrivers[] = {"Generic / Text Only", "Generic PostScript Printer",
                                                  "Generic PCL Laser Printer"};

}  // namespace vek::spooler
