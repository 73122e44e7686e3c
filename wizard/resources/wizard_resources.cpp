#include "wizard/resources/wizard_resources.h"

#include <mutex>

#include "kernel/version.h"
#include "wizard/resources/tables.h"

namespace vek::wizard {

std::span<const vek::framework::DialogTemplate> WizardDialogs(WORD primaryLanguage) {
  if (primaryLanguage == LANG_ENGLISH) return EnglishDialogs();
  if (primaryLanguage == LANG_JAPANESE) return JapaneseDialogs();
  return {};
}

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
      auto dialogs = WizardDialogs(language);
      vek::framework::RegisterDialogTemplates(dialogs.data(), dialogs.size());
      auto strings = WizardStrings(language);
      vek::framework::RegisterStringTable(language, strings.data(), strings.size());
    }
    auto pictures = WizardPictures();
    vek::framework::RegisterBitmaps(pictures.data(), pictures.size());
  });
}
