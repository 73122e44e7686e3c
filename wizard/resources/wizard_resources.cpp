#include "wizard/resources/wizard_resources.h"

#include <cstdio>
#include <mutex>

#include "kernel/version.h"
#include "wizard/resources/tables.h"

namespace vek::wizard {
namespace {

using vek::framework::ComposedDialogs;

const ComposedDialogs& Composed(WORD primaryLanguage) {
  static const ComposedDialogs english(LANG_ENGLISH, DialogLayouts(), EnglishDialogTexts());
  static const ComposedDialogs japanese(LANG_JAPANESE, DialogLayouts(), JapaneseDialogTexts());
  return primaryLanguage == LANG_JAPANESE ? japanese : english;
}

}  // namespace

std::span<const vek::framework::DialogTemplate> WizardDialogs(WORD primaryLanguage) {
  if (primaryLanguage != LANG_ENGLISH && primaryLanguage != LANG_JAPANESE) return {};
  return Composed(primaryLanguage).templates();
}

const std::string& WizardDialogProblem(WORD primaryLanguage) { return Composed(primaryLanguage).problem(); }

std::span<const vek::framework::StringResource> WizardStrings(WORD primaryLanguage) {
  if (primaryLanguage == LANG_ENGLISH) return EnglishStrings();
  if (primaryLanguage == LANG_JAPANESE) return JapaneseStrings();
  return {};
}

std::span<const vek::framework::BitmapResource> WizardPictures() { return Pictures(); }

}  // namespace vek::wizard

void RegisterWizardResources() {
  // The framework keeps every table it is given, so a second registration would
  // only add duplicates.
  static std::once_flag once;
  std::call_once(once, [] {
    using namespace vek::wizard;
    for (WORD language : {LANG_ENGLISH, LANG_JAPANESE}) {
      // Texts that do not fit a layout are a fault of the program itself.
      if (!WizardDialogProblem(language).empty())
        std::fprintf(stderr, "VEKWizard: %s\n", WizardDialogProblem(language).c_str());
      auto dialogs = WizardDialogs(language);
      vek::framework::RegisterDialogTemplates(dialogs.data(), dialogs.size());
      auto strings = WizardStrings(language);
      vek::framework::RegisterStringTable(language, strings.data(), strings.size());
    }
    auto pictures = WizardPictures();
    vek::framework::RegisterBitmaps(pictures.data(), pictures.size());
  });
}
