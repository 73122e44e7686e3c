// The one font of the wizard's pages.
#pragma once

#include "framework/framework.h"

extern CFont g_WizardFont;

// "Arial" (or "MS PGothic" on a Japanese system) sized for the screen's resolution.
void SetupWizardFont();
