#include "framework/resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "framework/cstring.h"
#include "framework/dialog_template.h"
#include "kernel/strings.h"
#include "kernel/version.h"

namespace vek::framework {
namespace {

struct Tables {
  std::mutex lock;
  std::map<WORD, std::vector<std::pair<const StringResource*, std::size_t>>> byLanguage;
};

Tables& AllTables() {
  static Tables* tables = new Tables;
  return *tables;
}

bool FindIn(Tables& tables, WORD language, UINT id, std::string* text) {
  auto it = tables.byLanguage.find(language);
  if (it == tables.byLanguage.end()) return false;
  for (auto [entries, count] : it->second)
    for (std::size_t i = 0; i < count; ++i)
      if (entries[i].id == id) {
        *text = entries[i].text;
        return true;
      }
  return false;
}

}  // namespace

void RegisterStringTable(WORD primaryLanguage, const StringResource* entries, std::size_t count) {
  Tables& tables = AllTables();
  std::lock_guard guard(tables.lock);
  tables.byLanguage[primaryLanguage].emplace_back(entries, count);
}

bool FindString(UINT id, std::string* text) {
  Tables& tables = AllTables();
  std::lock_guard guard(tables.lock);
  return FindIn(tables, PRIMARYLANGID(GetUserDefaultLangID()), id, text) || FindIn(tables, LANG_ENGLISH, id, text);
}

WORD ProgramLanguage() {
  WORD user = PRIMARYLANGID(GetUserDefaultLangID());
  if (HasDialogTemplatesIn(user)) return user;
  Tables& tables = AllTables();
  std::lock_guard guard(tables.lock);
  return tables.byLanguage.count(user) ? user : LANG_ENGLISH;
}

}  // namespace vek::framework

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax) {
  std::string text;
  if (buffer == nullptr || bufferMax <= 0 || !vek::framework::FindString(id, &text)) return 0;
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferMax - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int bufferMax) {
  std::string text;
  if (buffer == nullptr || bufferMax <= 0 || !vek::framework::FindString(id, &text)) return 0;
  std::u16string wide = vek::ToWide(text);
  std::size_t n = std::min(wide.size(), static_cast<std::size_t>(bufferMax - 1));
  std::memcpy(buffer, wide.data(), n * sizeof(char16_t));
  buffer[n] = 0;
  return static_cast<int>(n);
}

template <typename Char>
BOOL CStringT<Char>::LoadString(UINT id) {
  std::string text;
  if (!vek::framework::FindString(id, &text)) return FALSE;
  *this = text.c_str();
  return TRUE;
}

template class CStringT<char>;
template class CStringT<char16_t>;
