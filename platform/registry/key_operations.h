// The registry's operations on open handles, shared by the narrow and wide forms.
// Names and paths are UTF-8, data is as stored; each call is one transaction.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "registry/key_store.h"
#include "registry/registry.h"

namespace vek::registry {

LONG OpenKeyPath(HKEY parent, std::string_view path, HKEY* result);
// Creates every missing level; className is given to the last level if it is new.
LONG CreateKeyPath(HKEY parent, std::string_view path, std::string_view className, HKEY* result,
                   DWORD* disposition);
LONG CloseKeyHandle(HKEY key);
// Refuses a key that has subkeys with ERROR_ACCESS_DENIED; an empty path deletes the key itself.
LONG DeleteKeyPath(HKEY parent, std::string_view path);

LONG ReadValue(HKEY key, std::string_view name, ValueRow* value);
LONG WriteValue(HKEY key, std::string_view name, DWORD type, std::span<const BYTE> data);
LONG DeleteValueNamed(HKEY key, std::string_view name);

// By index in name order; ERROR_NO_MORE_ITEMS past the last.
LONG ReadSubKeyAt(HKEY key, DWORD index, KeyRow* subKey);
LONG ReadValueAt(HKEY key, DWORD index, ValueRow* value);

struct KeyContents {
  KeyRow key;
  std::vector<KeyRow> subKeys;
  std::vector<ValueRow> values;
};
LONG ReadKeyContents(HKEY key, KeyContents* contents);

}  // namespace vek::registry
