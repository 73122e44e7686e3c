// The setup wizard's resources: dialog templates and string tables in English and
// Japanese, and its pictures. The program registers them once at start-up; the
// framework then picks each template and string by the user's language and falls
// back to English. The ids are in resource_ids.h.
#pragma once

#include <span>
#include <string>

#include "framework/dialog_template.h"
#include "framework/resources.h"
#include "kernel/types.h"
#include "wizard/resources/resource_ids.h"

// Registers every template, string table and picture of the wizard with the
// framework. Safe to call more than once and from several threads: the tables are
// registered only the first time.
void RegisterWizardResources();

namespace vek::wizard {

// The tables themselves, for tests and tools. An unknown language gives an empty
// table. Each language's templates are composed once from the one layout of each
// dialog and that language's texts; when the texts do not fit, the table is empty
// and WizardDialogProblem says why.
std::span<const vek::framework::DialogTemplate> WizardDialogs(WORD primaryLanguage);
const std::string& WizardDialogProblem(WORD primaryLanguage);
std::span<const vek::framework::StringResource> WizardStrings(WORD primaryLanguage);
std::span<const vek::framework::BitmapResource> WizardPictures();

// The search animation (IDR_SEARCH_ANIMATION) is one bitmap holding its frames as a
// strip of squares, left to right: frame k is the square of side `height` at
// x = k * height, so a clip has width / height frames. An animation control plays
// them in a loop, one every kSearchAnimationFrameMs, starting with frame 0 when the
// clip is opened (ACS_AUTOPLAY). The top-left pixel of every frame is its
// background colour, the dialogs' face colour; a transparent control
// (ACS_TRANSPARENT) may leave pixels of that colour undrawn.
inline constexpr int kSearchAnimationFrames = 8;
inline constexpr int kSearchAnimationFrameSize = 48;
inline constexpr int kSearchAnimationFrameMs = 125;

}  // namespace vek::wizard
