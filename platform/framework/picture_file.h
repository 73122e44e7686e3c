// Pictures loaded from files at run time, as a form loads the pictures of its
// buttons from the CD: GIF files, found by a path as the system's code writes it.
// A loaded picture is a bitmap like a compiled-in one: it paints with BitBlt, and
// a character-cell front end shows the picture's comment in its place.
#pragma once

#include "framework/gdi.h"

// The picture of a file; the caller deletes the bitmap (DeleteObject). Null when
// there is none: ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND, or ERROR_INVALID_DATA
// for a file that is no sound GIF.
HBITMAP LoadPicture(LPCSTR path);
