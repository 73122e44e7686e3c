// What a system error code means, in words: the one place every program of the
// system takes them from, as the original platform's message table gives them.
// A message shows the words with the code after them, so a person reads what
// happened and a report still carries the number.
#pragma once

#include <string>

#include "kernel/types.h"
#include "kernel/version.h"

namespace vek {

// The words for the code, to stand inside a sentence ("the disk is full"), in
// English or Japanese (LANG_JAPANESE; any other language reads English). A code
// without words of its own reads as an unexpected error.
std::string ErrorWords(DWORD code, WORD primaryLanguage = LANG_ENGLISH);
// The words with the code after them: "the disk is full (error 112)".
std::string ErrorText(DWORD code, WORD primaryLanguage = LANG_ENGLISH);
// Whether the code has words of its own.
bool HasErrorWords(DWORD code);

}  // namespace vek
