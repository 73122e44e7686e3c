#include "wizard/page_text.h"

CStringA LoadText(UINT stringId) {
  CStringA text;
  if (stringId != 0) text.LoadString(stringId);
  return text;
}

CStringA DottedAddress(const BYTE* address) {
  CStringA text;
  text.Format("%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
  return text;
}
