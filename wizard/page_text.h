// Texts the wizard's pages show: strings of the wizard's table, and addresses
// in their dotted form.
#pragma once

#include "framework/cstring.h"
#include "kernel/types.h"

// The string of the table in the user's language; empty for an id it lacks.
CStringA LoadText(UINT stringId);
// The four bytes as "%d.%d.%d.%d", the first byte first.
CStringA DottedAddress(const BYTE* address);
