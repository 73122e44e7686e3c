// The captions, fonts and texts of the monitor's dialogs. The monitor's
// resources are English.
#include <iterator>

#include "framework/message_box.h"
#include "resources/monitor_resources.h"
#include "resources/resource_ids.h"

namespace vek::monitor {
namespace {

using vek::framework::DialogTexts;
using vek::framework::ItemText;

constexpr const char* kFont = "Tahoma";
constexpr WORD kFontSize = 8;

constexpr ItemText kPortTexts[] = {
    {IDC_SEARCH_ADDRESS_LABEL, "IP Address : "},
    {IDC_REFRESH, "Refresh"},
    {IDC_PORT_GROUP, "Port Information"},
    {IDC_PORT_NAME_LABEL, "Port name : "},
    {IDC_TIMEOUT_LABEL, "Transmission timeout : "},
    {IDC_SECONDS_LABEL, "( seconds )"},
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
    {IDC_CONFIGURE, "Configure"},
    {IDC_ABOUT, "About"},
};

constexpr ItemText kAboutTexts[] = {
    {IDOK, "OK"},
    {IDC_ABOUT_TEXT, "\n\nVersion "},
};

constexpr DialogTexts kTexts[] = {
    {IDD_PORT, "Add Port", kFont, kFontSize, kPortTexts, std::size(kPortTexts)},
    {IDD_ABOUT, "About", kFont, kFontSize, kAboutTexts, std::size(kAboutTexts)},
};

}  // namespace

std::span<const DialogTexts> MonitorDialogTexts() { return kTexts; }

}  // namespace vek::monitor
