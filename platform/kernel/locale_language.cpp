#include "kernel/locale_language.h"

#include <cctype>
#include <string>

namespace vek {
namespace {

struct Language {
  const char* code;  // ISO 639
  WORD primary;
  WORD sub;  // of the main country
};

struct Territory {
  const char* code;  // language_TERRITORY
  WORD sub;
};

constexpr Language kLanguages[] = {
    {"ar", 0x01, 1}, {"bg", 0x02, 1}, {"ca", 0x03, 1}, {"zh", 0x04, 2}, {"cs", 0x05, 1}, {"da", 0x06, 1},
    {"de", 0x07, 1}, {"el", 0x08, 1}, {"en", 0x09, 1}, {"es", 0x0A, 1}, {"fi", 0x0B, 1}, {"fr", 0x0C, 1},
    {"he", 0x0D, 1}, {"hu", 0x0E, 1}, {"is", 0x0F, 1}, {"it", 0x10, 1}, {"ja", 0x11, 1}, {"ko", 0x12, 1},
    {"nl", 0x13, 1}, {"nb", 0x14, 1}, {"no", 0x14, 1}, {"pl", 0x15, 1}, {"pt", 0x16, 1}, {"ro", 0x18, 1},
    {"ru", 0x19, 1}, {"hr", 0x1A, 1}, {"sk", 0x1B, 1}, {"sq", 0x1C, 1}, {"sv", 0x1D, 1}, {"th", 0x1E, 1},
    {"tr", 0x1F, 1}, {"id", 0x21, 1}, {"uk", 0x22, 1}, {"sl", 0x24, 1}, {"et", 0x25, 1}, {"lv", 0x26, 1},
    {"lt", 0x27, 1}, {"vi", 0x2A, 1},
};

// The countries whose language id is not the main country's.
constexpr Territory kTerritories[] = {
    {"de_CH", 2},  {"de_AT", 3},  {"de_LU", 4},  {"de_LI", 5},
    {"fr_BE", 2},  {"fr_CA", 3},  {"fr_CH", 4},  {"fr_LU", 5},  {"fr_MC", 6},
    {"it_CH", 2},
    {"es_MX", 2},  {"es_GT", 4},  {"es_CR", 5},  {"es_PA", 6},  {"es_DO", 7},  {"es_VE", 8},  {"es_CO", 9},
    {"es_PE", 10}, {"es_AR", 11}, {"es_EC", 12}, {"es_CL", 13}, {"es_UY", 14}, {"es_PY", 15}, {"es_BO", 16},
    {"es_SV", 17}, {"es_HN", 18}, {"es_NI", 19}, {"es_PR", 20},
    {"en_GB", 2},  {"en_AU", 3},  {"en_CA", 4},  {"en_NZ", 5},  {"en_IE", 6},  {"en_ZA", 7},
    {"pt_BR", 1},  {"pt_PT", 2},  {"zh_TW", 1},  {"zh_CN", 2},  {"zh_HK", 3},  {"zh_SG", 4},
    {"nl_BE", 2},  {"sv_FI", 2},
};

constexpr LANGID kEnglishUs = 0x0409;

}  // namespace

LANGID LanguageOfLocale(std::string_view locale) {
  // "language[_TERRITORY][.codeset][@modifier]"
  std::size_t end = locale.find_first_of(".@");
  std::string_view name = locale.substr(0, end);
  std::size_t underscore = name.find('_');
  std::string language(name.substr(0, underscore));
  for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string territory = underscore == std::string_view::npos ? "" : std::string(name.substr(underscore + 1));
  for (char& c : territory) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const Language& known : kLanguages) {
    if (language != known.code) continue;
    WORD sub = known.sub;
    std::string full = language + "_" + territory;
    for (const Territory& place : kTerritories)
      if (full == place.code) sub = place.sub;
    return static_cast<LANGID>((sub << 10) | known.primary);
  }
  return kEnglishUs;
}

}  // namespace vek
