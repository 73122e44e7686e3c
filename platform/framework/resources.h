// Compiled-in resources, picked by the user's language: string tables for now.
#pragma once

#include <cstddef>
#include <string>

#include "kernel/types.h"

namespace vek::framework {

struct StringResource {
  UINT id;
  const char* text;  // UTF-8
};

// Registers a program's string table for one language (primary language id).
// The tables must live as long as the process (static arrays).
void RegisterStringTable(WORD primaryLanguage, const StringResource* entries, std::size_t count);
// The text of a string resource in the user's language, else in English.
bool FindString(UINT id, std::string* text);
// The language the program shows itself in (primary language id): the user's when
// it has dialogs or strings in it, else English.
WORD ProgramLanguage();

}  // namespace vek::framework

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
