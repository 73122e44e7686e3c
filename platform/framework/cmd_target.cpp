#include "framework/cmd_target.h"

#include "framework/cursor.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const vek::framework::MessageMap* CCmdTarget::GetThisMessageMap() {
  static const vek::framework::MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr}};
  static const vek::framework::MessageMap map = {nullptr, &entries[0]};
  return &map;
}

const vek::framework::MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const vek::framework::MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
  bool byControl = message == WM_COMMAND || message == WM_NOTIFY;
  for (const vek::framework::MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const auto* entry = map->entries; entry->message != 0; ++entry) {
      if (entry->message != message) continue;
      if (byControl && (entry->code != code || id < entry->firstId || id > entry->lastId)) continue;
      return entry;
    }
  }
  return nullptr;
}

bool CCmdTarget::DispatchMapped(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* entry = FindMessageEntry(message, code, id);
  if (!entry) return false;
  LRESULT value = entry->invoke(this, wParam, lParam);
  if (result) *result = value;
  return true;
}

void CCmdTarget::BeginWaitCursor() { vek::framework::BeginWaitCursor(); }
void CCmdTarget::EndWaitCursor() { vek::framework::EndWaitCursor(); }
void CCmdTarget::RestoreWaitCursor() { vek::framework::RestoreWaitCursor(); }
