// The resource tables as the source files define them. Private to the resource
// library; programs go through wizard_resources.h.
#pragma once

#include <span>

#include "framework/dialog_layout.h"
#include "framework/resources.h"

namespace vek::wizard {

std::span<const vek::framework::DialogLayout> DialogLayouts();
std::span<const vek::framework::DialogTexts> EnglishDialogTexts();
std::span<const vek::framework::DialogTexts> JapaneseDialogTexts();
std::span<const vek::framework::StringResource> EnglishStrings();
std::span<const vek::framework::StringResource> JapaneseStrings();
std::span<const vek::framework::BitmapResource> Pictures();

}  // namespace vek::wizard
