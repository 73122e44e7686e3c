// The start menu's own texts, and the agreement text of the agreement page.
#pragma once

#include <string>

#include "kernel/types.h"
#include "startmenu/startmenu_ids.h"

// The compiled-in dialogs, pictures and texts, registered once.
void RegisterStartMenuResources();

std::string StartMenuText(UINT id);
// "The program ... cannot be started." with what the error means.
std::string CannotStartText(const std::string& program, DWORD error);
// The maker's agreement, as the agreement page shows it.
std::string LicenseAgreementText();
