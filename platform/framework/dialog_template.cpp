#include "framework/dialog_template.h"

#include <map>
#include <mutex>
#include <utility>

#include "kernel/version.h"

namespace vek::framework {
namespace {

struct Resources {
  std::mutex lock;
  std::map<std::pair<UINT, WORD>, const DialogTemplate*> dialogs;
  std::map<UINT, const BitmapResource*> bitmaps;
};

Resources& TheResources() {
  static Resources* resources = new Resources;
  return *resources;
}

}  // namespace

void RegisterDialogTemplates(const DialogTemplate* templates, std::size_t count) {
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  for (std::size_t i = 0; i < count; ++i) r.dialogs[{templates[i].id, templates[i].language}] = &templates[i];
}

void RegisterBitmaps(const BitmapResource* bitmaps, std::size_t count) {
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  for (std::size_t i = 0; i < count; ++i) r.bitmaps[bitmaps[i].id] = &bitmaps[i];
}

void UnregisterDialogTemplates(const DialogTemplate* templates, std::size_t count) {
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  for (std::size_t i = 0; i < count; ++i) {
    auto it = r.dialogs.find({templates[i].id, templates[i].language});
    if (it != r.dialogs.end() && it->second == &templates[i]) r.dialogs.erase(it);
  }
}

void UnregisterBitmaps(const BitmapResource* bitmaps, std::size_t count) {
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  for (std::size_t i = 0; i < count; ++i) {
    auto it = r.bitmaps.find(bitmaps[i].id);
    if (it != r.bitmaps.end() && it->second == &bitmaps[i]) r.bitmaps.erase(it);
  }
}

const DialogTemplate* FindDialogTemplate(UINT id) {
  WORD language = PRIMARYLANGID(GetUserDefaultLangID());
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  auto it = r.dialogs.find({id, language});
  if (it == r.dialogs.end()) it = r.dialogs.find({id, LANG_ENGLISH});
  return it == r.dialogs.end() ? nullptr : it->second;
}

bool HasDialogTemplatesIn(WORD language) {
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  for (const auto& [key, dialog] : r.dialogs)
    if (key.second == language) return true;
  return false;
}

const BitmapResource* FindBitmap(UINT id) {
  Resources& r = TheResources();
  std::lock_guard guard(r.lock);
  auto it = r.bitmaps.find(id);
  return it == r.bitmaps.end() ? nullptr : it->second;
}

}  // namespace vek::framework
