#include "startmenu/busy_cursor.h"

#include "startmenu/local_machine.h"

HCURSOR LoadBusyCursor() {
  HCURSOR busy = LoadCursorFromFileA("images\\hourglas.ani");
  return busy ? busy : LoadCursorA(nullptr, IDC_WAIT);
}

void ReleaseDelay() {
  for (int pass = 0; pass < 60000; ++pass) DoEventsOnce(0);
}
