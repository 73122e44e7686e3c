// The resource tables of each language, as the source files define them.
// Private to the resource library; programs go through wizard_resources.h.
#pragma once

#include <span>

#include "framework/dialog_template.h"
#include "framework/resources.h"

namespace vek::wizard {

std::span<const vek::framework::DialogTemplate> EnglishDialogs();
std::span<const vek::framework::DialogTemplate> JapaneseDialogs();
std::span<const vek::framework::StringResource> EnglishStrings();
std::span<const vek::framework::StringResource> JapaneseStrings();
std::span<const vek::framework::BitmapResource> Pictures();

}  // namespace vek::wizard
