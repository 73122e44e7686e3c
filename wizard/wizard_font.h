// The wizard's process-wide objects besides its settings: the one font of the pages,
// the monitor's key name and the Add Printer guide's place.
#pragma once

#include "framework/framework.h"

extern CFont g_WizardFont;
extern CStringA g_MonitorKeyName;
extern CRect g_AddPrinterRect;

// "Arial" (or "MS PGothic" on a Japanese system) sized for the screen's resolution.
void SetupWizardFont();
