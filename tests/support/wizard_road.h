// The wizard's whole road, driven headless as a person would click through it:
// from the welcome page through the search, the choice of a server, the login,
// its wireless and TCP/IP settings and the save, to the printer (chosen, or added
// with the Add Printer wizard), the summary and Finish. Each page's name and what
// became of it is reported as it goes, and before each wait what it waits for.
// Header only, for programs that link wizard_core; the print servers are
// wherever the broadcasts reach.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "support/wizard_sheet_run.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace vek::test {

struct RoadPlan {
  std::string mac;       // the server to choose, "02:4E:57:..."; empty: the first listed
  std::string password;  // the administrator's password
  bool keepSettings = false;  // "No, I don't want to change settings."
  // The TCP/IP page: a static address, when given.
  std::string address, subnetMask, gateway;
  std::string ssid;        // the wireless network's new name, when given
  std::string addPrinter;  // Add New Printer adds a printer of this name; empty: choose...
  std::string printer;     // ...this one of the list (empty: the first)
  bool makeDefault = true;
};

struct RoadStep {
  std::string page;
  std::string outcome;
};

// The pages by their dialog ids, as a person reads their titles.
inline std::string PageName(UINT page) {
  switch (page) {
    case IDD_WIZARD_WELCOME: return "Welcome";
    case IDD_WIZARD_SERVER_LIST: return "Select Print Server";
    case IDD_WIZARD_LOGIN: return "Administrator Login";
    case IDD_WIZARD_WL_BASIC: return "Wireless Settings";
    case IDD_WIZARD_WL_WEP: return "WEP Key";
    case IDD_WIZARD_WL_8021X: return "802.1X";
    case IDD_WIZARD_WL_WPAPSK: return "WPA-PSK";
    case IDD_WIZARD_WL_SECURITY: return "Wireless Security";
    case IDD_WIZARD_TCPIP: return "TCP/IP Settings";
    case IDD_WIZARD_SAVE: return "Save Settings";
    case IDD_WIZARD_PRINTER: return "Select Printer";
    case IDD_WIZARD_SUMMARY: return "Summary";
    case IDD_WIZARD_FINISH: return "Setup Complete";
    default: return "page " + std::to_string(page);
  }
}

class WizardRoad {
 public:
  // The longest a page takes to move on: the login's tries, the save's restart.
  static constexpr DWORD kPageWaitMs = 90000;

  using Report = std::function<void(const RoadStep&)>;
  // Before a wait: the page and what the wizard is doing meanwhile. The page's
  // report, or the next wait, ends it.
  using Waiting = std::function<void(const RoadStep&)>;

  WizardRoad(SheetRun& run, Report report, Waiting waiting = nullptr)
      : m_run(run), m_report(std::move(report)), m_waiting(std::move(waiting)) {}

  // Called with the name of each page as it comes, before anything is done on it,
  // and of the search dialog while it searches: for tests that read the screens.
  void LookAtEachScreen(std::function<void(const std::string&)> look) { m_look = std::move(look); }

  // Drives the sheet to its end; false, with the reason in Error(), when a page
  // stayed or showed an error.
  bool Drive(const RoadPlan& plan) {
    m_messagesSeen = Driver().MessageBoxes().size();
    for (int step = 0; step < 40; step++) {
      const UINT page = m_run.Page();
      if (m_look) m_look(PageName(page));
      std::string outcome;
      bool moved = false;
      switch (page) {
        case IDD_WIZARD_WELCOME: moved = Welcome(&outcome); break;
        case IDD_WIZARD_SERVER_LIST: moved = ServerList(plan, &outcome); break;
        case IDD_WIZARD_LOGIN: moved = Login(plan, &outcome); break;
        case IDD_WIZARD_WL_BASIC: moved = WirelessBasic(plan, &outcome); break;
        case IDD_WIZARD_TCPIP: moved = Tcpip(plan, &outcome); break;
        case IDD_WIZARD_SAVE: moved = Save(&outcome); break;
        case IDD_WIZARD_PRINTER: moved = Printer(plan, &outcome); break;
        case IDD_WIZARD_SUMMARY: moved = Summary(plan, &outcome); break;
        case IDD_WIZARD_FINISH: return Finish();
        default: moved = Next(&outcome, "kept as it was"); break;
      }
      if (!m_said.empty()) outcome = "said \"" + m_said + "\"; " + outcome;
      m_said = m_arrival;
      m_arrival.clear();
      m_report({PageName(page), outcome});
      if (!moved) {
        m_error = PageName(page) + ": " + outcome;
        return false;
      }
    }
    m_error = "the wizard did not reach its end";
    return false;
  }

  const std::string& Error() const { return m_error; }
  const std::vector<std::string>& ServerRows() const { return m_rows; }

 private:
  ui::HeadlessDriver& Driver() { return m_run.driver; }

  // Waits until the wizard's thread is idle, however long its work takes.
  void SettleLong() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (!Driver().Settle() && std::chrono::steady_clock::now() < deadline) {
    }
  }

  // The texts of the message boxes shown since the last call.
  std::string NewMessages() {
    std::string texts;
    const std::vector<framework::MessageBoxRecord> boxes = Driver().MessageBoxes();
    for (std::size_t i = m_messagesSeen; i < boxes.size(); i++) texts += (texts.empty() ? "" : " / ") + boxes[i].text;
    m_messagesSeen = boxes.size();
    return texts;
  }

  void Wait(UINT page, const std::string& what) {
    if (m_waiting) m_waiting({PageName(page), what});
  }

  // Presses Next and waits for the next page (a save takes its while, pumping
  // messages as it goes); false when the page stayed.
  bool Next(std::string* outcome, const std::string& done, const std::string& meanwhile = "opening the next page") {
    const UINT page = m_run.Page();
    const std::size_t shown = Driver().MessageBoxes().size();
    Wait(page, meanwhile);
    Driver().Next();
    ui::HeadlessDriver::WaitFor([&] { return m_run.Page() != page || Driver().MessageBoxes().size() > shown; },
                                kPageWaitMs);
    SettleLong();
    const std::string messages = NewMessages();
    if (m_run.Page() == page) {
      *outcome = messages.empty() ? "the page stayed" : "the wizard said: " + messages;
      return false;
    }
    *outcome = done;
    m_arrival = messages;  // what the next page said when it came
    return true;
  }

  bool Welcome(std::string* outcome) {
    const HWND sheet = m_run.sheet().m_hWnd;
    Wait(IDD_WIZARD_WELCOME, "searching for print servers (11 s)");
    Driver().Next();
    // The search dialog stands over the sheet for the search's 11 s.
    ui::HeadlessDriver::WaitFor([&] { return Driver().ActiveWindow() != sheet; }, 5000);
    if (m_look && ui::HeadlessDriver::WaitFor([&] {
          const HWND dialog = Driver().ActiveWindow();
          return dialog != nullptr && dialog != sheet;
        }, 5000))
      m_look("the search dialog");
    ui::HeadlessDriver::WaitFor([&] { return Driver().ActiveWindow() == sheet; }, 30000);
    SettleLong();
    // The rows show at once; their statuses come within seconds.
    ui::HeadlessDriver::WaitFor(
        [&] {
          m_rows = Driver().Items(IDC_SERVER_LIST);
          for (const std::string& row : m_rows)
            if (row.find("|Checking...|") != std::string::npos) return false;
          return true;
        },
        20000);
    *outcome = "searched the network: " + std::to_string(m_rows.size()) + " print server port(s) found";
    NewMessages();
    return m_run.Page() == IDD_WIZARD_SERVER_LIST;
  }

  bool ServerList(const RoadPlan& plan, std::string* outcome) {
    int row = -1;
    for (std::size_t i = 0; i < m_rows.size() && row < 0; i++)
      if (plan.mac.empty() || m_rows[i].find("|" + plan.mac + "|") != std::string::npos) row = static_cast<int>(i);
    if (row < 0) {
      *outcome = plan.mac.empty() ? "no print server found" : "print server " + plan.mac + " not found";
      return false;
    }
    const std::string chosen = m_rows[static_cast<std::size_t>(row)];
    Driver().Select(IDC_SERVER_LIST, row);
    return Next(outcome, "chose " + chosen.substr(0, chosen.find('|')) + " (" + Column(chosen, 2) + ")");
  }

  bool Login(const RoadPlan& plan, std::string* outcome) {
    if (plan.keepSettings) {
      Driver().Click(IDC_MODIFY_NO);
      return Next(outcome, "kept the print server's settings");
    }
    Driver().Click(IDC_MODIFY_YES);
    SetWindowTextA(Driver().Control(IDC_PASSWORD), "");
    if (!plan.password.empty()) Driver().Type(IDC_PASSWORD, plan.password);
    return Next(outcome,
                WizardSettings::m_SecureConfig ? "logged in (the password went encrypted to the print server)"
                                               : "logged in (the password matched)",
                "checking the password");
  }

  bool WirelessBasic(const RoadPlan& plan, std::string* outcome) {
    std::string done = "kept the wireless settings";
    if (!plan.ssid.empty()) {
      SetWindowTextA(Driver().Control(IDC_SSID), "");
      Driver().Type(IDC_SSID, plan.ssid);
      done = "network name (SSID) set to " + plan.ssid;
    }
    return Next(outcome, done);
  }

  bool Tcpip(const RoadPlan& plan, std::string* outcome) {
    if (plan.address.empty()) return Next(outcome, "kept the TCP/IP settings");
    Driver().Click(IDC_DHCP2);
    for (auto [id, text] : {std::pair{IDC_IP_ADDRESS, plan.address}, {IDC_SUBNET_MASK, plan.subnetMask},
                            {IDC_GATEWAY, plan.gateway}}) {
      if (text.empty()) continue;
      SetWindowTextA(Driver().Control(id), text.c_str());
    }
    Driver().Settle();
    return Next(outcome, "static address " + plan.address + (plan.subnetMask.empty() ? "" : " mask " + plan.subnetMask) +
                             (plan.gateway.empty() ? "" : " gateway " + plan.gateway));
  }

  bool Save(std::string* outcome) {
    std::string settings;
    for (const std::string& row : Driver().Items(IDC_SETTINGS_LIST))
      if (row.find("IP address") != std::string::npos) settings = row.substr(row.find('|') + 1);
    return Next(outcome,
                "saved: the settings went to the print server, which restarted" +
                    (settings.empty() ? std::string() : " at " + settings),
                "saving; the print server restarts (about 20 s)");
  }

  bool Printer(const RoadPlan& plan, std::string* outcome) {
    std::string chosen;
    if (!plan.addPrinter.empty()) {
      const HWND sheet = m_run.sheet().m_hWnd;
      ::setenv("VEK_ADD_PRINTER", plan.addPrinter.c_str(), 1);
      Driver().Click(IDC_ADD_NEW_PRINTER);
      // The guide stands beside the Add Printer wizard until it has ended.
      ui::HeadlessDriver::WaitFor(
          [&] {
            try {
              if (Driver().ActiveWindow() != sheet) return false;
              for (const std::string& row : Driver().Items(IDC_PRINTER_LIST))
                if (row.substr(0, row.find('|')) == plan.addPrinter) return true;
            } catch (const std::exception&) {
            }
            return false;
          },
          30000);
      ::unsetenv("VEK_ADD_PRINTER");
      SettleLong();
      chosen = "added '" + plan.addPrinter + "' with the Add Printer wizard";
    }
    const std::string wanted = !plan.addPrinter.empty() ? plan.addPrinter : plan.printer;
    const std::vector<std::string> rows = Driver().Items(IDC_PRINTER_LIST);
    int row = rows.empty() ? -1 : 0;
    for (std::size_t i = 0; i < rows.size(); i++)
      if (!wanted.empty() && rows[i].substr(0, rows[i].find('|')) == wanted) row = static_cast<int>(i);
    if (row < 0) {
      *outcome = "no printer to choose";
      return false;
    }
    Driver().Select(IDC_PRINTER_LIST, row);
    const std::string name = rows[static_cast<std::size_t>(row)].substr(0, rows[static_cast<std::size_t>(row)].find('|'));
    if (chosen.empty()) chosen = "chose '" + name + "'";
    if (!Next(outcome, chosen,
              "finding the print server, handing its port over"))
      return false;
    *outcome += "; found the print server again, it answered the ping, and port " +
                std::string(WizardSettings::m_PortName) + " was handed over to the monitor";
    return true;
  }

  bool Summary(const RoadPlan& plan, std::string* outcome) {
    std::string shown;
    for (const std::string& row : Driver().Items(IDC_SUMMARY_LIST)) shown += (shown.empty() ? "" : ", ") + row;
    for (char& c : shown)
      if (c == '|') c = ' ';
    if (Driver().Enabled(IDC_SET_DEFAULT_PRINTER) && (Driver().Check(IDC_SET_DEFAULT_PRINTER) == 1) != plan.makeDefault)
      Driver().Click(IDC_SET_DEFAULT_PRINTER);
    return Next(outcome, shown + (plan.makeDefault ? "; bound, and made the default printer" : "; bound"),
                "binding the printer to the port");
  }

  bool Finish() {
    m_report({PageName(IDD_WIZARD_FINISH), "Finish"});
    Wait(IDD_WIZARD_FINISH, "closing once its last search has ended (4 s)");
    Driver().Finish();
    return ui::HeadlessDriver::WaitFor([&] { return m_run.done(); }, 10000) && m_run.result() == ID_WIZFINISH;
  }

  static std::string Column(const std::string& row, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index && start != std::string::npos; i++) {
      start = row.find('|', start);
      if (start != std::string::npos) start++;
    }
    if (start == std::string::npos) return "";
    return row.substr(start, row.find('|', start) - start);
  }

  SheetRun& m_run;
  Report m_report;
  std::function<void(const std::string&)> m_look;
  Waiting m_waiting;
  std::size_t m_messagesSeen = 0;
  std::string m_arrival, m_said;  // the messages a page showed when it came
  std::vector<std::string> m_rows;
  std::string m_error;
};

}  // namespace vek::test
