// The port monitor's resources: its dialog templates (English) and pictures,
// compiled into the library. The library registers them with the framework when
// it starts and takes them back before it is unloaded, since the tables live in
// the library. Its strings stay its own (monitor_strings.h): a process that loads
// the monitor, such as the wizard, has string tables of its own with the same ids.
#pragma once

#include <span>
#include <string>

#include "framework/dialog_layout.h"
#include "framework/dialog_template.h"

namespace vek::monitor {

// The tables as the source files define them.
std::span<const vek::framework::DialogLayout> MonitorDialogLayouts();
std::span<const vek::framework::DialogTexts> MonitorDialogTexts();
std::span<const vek::framework::BitmapResource> MonitorPictures();

// The templates composed from the layouts and texts; empty when the texts do not
// fit, and MonitorDialogProblem says why.
std::span<const vek::framework::DialogTemplate> MonitorDialogs();
const std::string& MonitorDialogProblem();

}  // namespace vek::monitor

void RegisterMonitorResources();
void UnregisterMonitorResources();
