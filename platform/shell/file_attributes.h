// File tests by a path as the system's code writes it (see path_mapping.h).
#pragma once

#include "kernel/types.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// A file's attributes: a folder is FILE_ATTRIBUTE_DIRECTORY, a file ARCHIVE (and
// READONLY when it cannot be written), a name that starts with a dot is HIDDEN, and
// anything that is neither a file nor a folder (a device, a pipe) is SYSTEM. Missing:
// INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND when
// its folder is missing too.
DWORD GetFileAttributesA(LPCSTR path);
