#include "wizard/wizard_font.h"

CFont g_WizardFont;

void SetupWizardFont() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  const char* face = PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE ? "MS PGothic" : "Arial";
  int height = dpi == 96 ? -12 : -(dpi * 12 / 96);
  g_WizardFont.DeleteObject();
  g_WizardFont.CreateFont(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                          CLIP_TT_ALWAYS, DEFAULT_QUALITY, 0, face);
  ReleaseDC(nullptr, screen);
}
