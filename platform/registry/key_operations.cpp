#include "registry/key_operations.h"

#include "kernel/errors.h"
#include "registry/key_handles.h"
#include "registry/key_path.h"
#include "registry/schema.h"
#include "registry/store_session.h"
#include "registry/subkey_values.h"
#include "registry/text_form.h"

namespace vek::registry {

namespace {

// What a handle names, found without touching the store.
struct HandleTarget {
  OpenKey key;
  bool predefined = false;
};

LONG FindTarget(HKEY handle, HandleTarget* target) {
  if (handle == HKEY_LOCAL_MACHINE || handle == HKEY_CURRENT_USER) {
    target->key.id = handle == HKEY_LOCAL_MACHINE ? kLocalMachineId : kCurrentUserId;
    target->predefined = true;
    return ERROR_SUCCESS;
  }
  if (handle == HKEY_CLASSES_ROOT || handle == HKEY_USERS) return ERROR_BADKEY;
  return FindKeyHandle(handle, &target->key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// The target's row in the open store. A handle from another machine root is no
// handle here; one whose key was deleted stays open but reaches nothing.
LONG Resolve(KeyStore& store, const HandleTarget& target, KeyRow* row) {
  if (!target.predefined && target.key.generation != store.generation())
    return ERROR_INVALID_HANDLE;
  LONG error = store.Key(target.key.id, row);
  if (error == ERROR_KEY_DELETED && target.predefined) return ERROR_REGISTRY_CORRUPT;
  return error;
}

LONG Walk(KeyStore& store, std::int64_t from, const std::vector<std::string_view>& levels,
          std::int64_t* id) {
  *id = from;
  for (std::string_view level : levels) {
    if (LONG error = store.FindChild(*id, level, id)) return error;
  }
  return ERROR_SUCCESS;
}

// Runs work on the key a handle names, inside one transaction.
LONG OnKey(HKEY handle, Access access, const std::function<LONG(KeyStore&, const KeyRow&)>& work) {
  HandleTarget target;
  if (LONG error = FindTarget(handle, &target)) return error;
  return RunTransaction(access, [&](KeyStore& store) -> LONG {
    KeyRow row;
    if (LONG error = Resolve(store, target, &row)) return error;
    return work(store, row);
  });
}

}  // namespace

LONG OpenKeyPath(HKEY parent, std::string_view path, HKEY* result) {
  std::vector<std::string_view> levels;
  if (LONG error = SplitKeyPath(path, &levels)) return error;
  OpenKey opened;
  LONG error = OnKey(parent, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    opened.generation = store.generation();
    return Walk(store, row.id, levels, &opened.id);
  });
  if (error == ERROR_SUCCESS) *result = AddKeyHandle(opened);
  return error;
}

LONG CreateKeyPath(HKEY parent, std::string_view path, std::string_view className, HKEY* result,
                   DWORD* disposition) {
  std::vector<std::string_view> levels;
  if (LONG error = SplitKeyPath(path, &levels)) return error;
  OpenKey opened;
  DWORD found = REG_OPENED_EXISTING_KEY;
  LONG error = OnKey(parent, Access::Write, [&](KeyStore& store, const KeyRow& row) -> LONG {
    opened.generation = store.generation();
    opened.id = row.id;
    found = REG_OPENED_EXISTING_KEY;
    for (std::size_t i = 0; i < levels.size(); ++i) {
      LONG step = store.FindChild(opened.id, levels[i], &opened.id);
      if (step == ERROR_FILE_NOT_FOUND) {
        bool last = i + 1 == levels.size();
        step =
            store.AddChild(opened.id, levels[i], last ? className : std::string_view(), &opened.id);
        found = REG_CREATED_NEW_KEY;
      }
      if (step != ERROR_SUCCESS) return step;
    }
    return ERROR_SUCCESS;
  });
  // In a database that is only read, a key that is there still opens.
  if (error == ERROR_CANTWRITE && OpenKeyPath(parent, path, result) == ERROR_SUCCESS) {
    if (disposition != nullptr) *disposition = REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  }
  if (error != ERROR_SUCCESS) return error;
  *result = AddKeyHandle(opened);
  if (disposition != nullptr) *disposition = found;
  return ERROR_SUCCESS;
}

LONG CloseKeyHandle(HKEY key) {
  HandleTarget target;
  if (LONG error = FindTarget(key, &target)) return error;
  if (target.predefined) return ERROR_SUCCESS;
  return RemoveKeyHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG DeleteKeyPath(HKEY parent, std::string_view path) {
  std::vector<std::string_view> levels;
  if (LONG error = SplitKeyPath(path, &levels)) return error;
  return OnKey(parent, Access::Write, [&](KeyStore& store, const KeyRow& row) -> LONG {
    std::int64_t id = 0;
    if (LONG error = Walk(store, row.id, levels, &id)) return error;
    KeyRow doomed;
    if (LONG error = store.Key(id, &doomed)) return error;
    bool hasChildren = false;
    if (LONG error = store.HasChildren(id, &hasChildren)) return error;
    if (doomed.parent == 0 || hasChildren) return ERROR_ACCESS_DENIED;
    return store.RemoveKey(id);
  });
}

LONG ReadValue(HKEY key, std::string_view name, ValueRow* value) {
  return OnKey(key, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.Value(row.id, name, value);
  });
}

LONG WriteValue(HKEY key, std::string_view name, DWORD type, std::span<const BYTE> data) {
  return OnKey(key, Access::Write, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.PutValue(row.id, name, type, data);
  });
}

LONG DeleteValueNamed(HKEY key, std::string_view name) {
  return OnKey(key, Access::Write, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.RemoveValue(row.id, name);
  });
}

LONG ReadSubKeyAt(HKEY key, DWORD index, KeyRow* subKey) {
  return OnKey(key, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.ChildAt(row.id, index, subKey);
  });
}

LONG ReadValueAt(HKEY key, DWORD index, ValueRow* value) {
  return OnKey(key, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.ValueAt(row.id, index, value);
  });
}

LONG ReadKeyContents(HKEY key, KeyContents* contents) {
  return OnKey(key, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    contents->key = row;
    if (LONG error = store.Children(row.id, &contents->subKeys)) return error;
    return store.Values(row.id, &contents->values);
  });
}

namespace {

void ToNarrow(std::vector<ValueRow>* values) {
  for (ValueRow& value : *values) value.data = TextForm<char>::DataOut(value.type, std::move(value.data));
}

}  // namespace

LONG ReadSubKeyValues(HKEY key, std::span<const std::string_view> names,
                      std::vector<SubKeyValues>* subKeys, const ValueExclusion* except) {
  subKeys->clear();
  LONG error = OnKey(key, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.ChildrenWithValues(row.id, names, except, subKeys);
  });
  if (error != ERROR_SUCCESS) subKeys->clear();
  for (SubKeyValues& subKey : *subKeys) ToNarrow(&subKey.values);
  return error;
}

LONG ReadKeyValues(HKEY key, std::vector<ValueRow>* values) {
  values->clear();
  LONG error = OnKey(key, Access::Read, [&](KeyStore& store, const KeyRow& row) -> LONG {
    return store.Values(row.id, values);
  });
  if (error != ERROR_SUCCESS) values->clear();
  ToNarrow(values);
  return error;
}

}  // namespace vek::registry
