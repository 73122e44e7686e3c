// The Windows language id of a POSIX locale name ("de_CH.UTF-8" is 2055, Swiss
// German): the user's language of a program started with that locale.
#pragma once

#include <string_view>

#include "kernel/types.h"

namespace vek {

// English (United States) for "C", "POSIX", an empty name and languages without an
// id here; a language known without its territory takes its main country's id.
LANGID LanguageOfLocale(std::string_view locale);

}  // namespace vek
