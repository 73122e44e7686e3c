// The maker's agreement for the software on the CD, as the agreement page shows it.
#include "startmenu/start_menu_texts.h"

std::string LicenseAgreementText() {
  const std::string q = "\"";
  const std::string nl = "\n";
  return "Please read this agreement carefully before you install the software." + nl + nl +
         "1. Tarvex grants you the right to install and use the software on this CD (the " + q + "Software" + q +
         ") on computers that print through Tarvex print servers. The Software stays the property of Tarvex and "
         "its suppliers." + nl +
         "2. You may make one copy of the Software for backup. You may not sell, rent or lend the Software, nor "
         "change, translate or take it apart, except as the law allows." + nl +
         "3. The Software is provided " + q + "as is" + q +
         ". Tarvex does not warrant that it is free of errors or that it suits a particular purpose. Tarvex is not "
         "liable for lost data, lost profits or other damages that come from its use, as far as the law allows." +
         nl +
         "4. This agreement ends when you break one of its terms; you then remove the Software and all copies of "
         "it." + nl + nl +
         "Choose " + q + "I accept" + q + " to accept this agreement and install the Software, or " + q +
         "I do not accept" + q + " to return to the menu.";
}
