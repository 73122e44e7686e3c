#include "resources/monitor_resources.h"

#include <mutex>

#include "debug_log.h"
#include "kernel/version.h"

namespace vek::monitor {
namespace {

using vek::framework::ComposedDialogs;

const ComposedDialogs& Composed() {
  static const ComposedDialogs english(LANG_ENGLISH, MonitorDialogLayouts(), MonitorDialogTexts());
  return english;
}

std::mutex g_registrationLock;
bool g_registered = false;

}  // namespace

std::span<const vek::framework::DialogTemplate> MonitorDialogs() { return Composed().templates(); }
const std::string& MonitorDialogProblem() { return Composed().problem(); }

}  // namespace vek::monitor

void RegisterMonitorResources() {
  using namespace vek::monitor;
  std::lock_guard guard(g_registrationLock);
  if (g_registered) return;
  if (!MonitorDialogProblem().empty())
    theDebugLog.Trace("RegisterMonitorResources() %s", MonitorDialogProblem().c_str());
  auto dialogs = MonitorDialogs();
  vek::framework::RegisterDialogTemplates(dialogs.data(), dialogs.size());
  auto pictures = MonitorPictures();
  vek::framework::RegisterBitmaps(pictures.data(), pictures.size());
  g_registered = true;
}

void UnregisterMonitorResources() {
  using namespace vek::monitor;
  std::lock_guard guard(g_registrationLock);
  if (!g_registered) return;
  auto dialogs = MonitorDialogs();
  vek::framework::UnregisterDialogTemplates(dialogs.data(), dialogs.size());
  auto pictures = MonitorPictures();
  vek::framework::UnregisterBitmaps(pictures.data(), pictures.size());
  g_registered = false;
}
