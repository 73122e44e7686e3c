#include "framework/controls/ip_address_range.h"

#include <string>

#include "framework/message_box.h"
#include "framework/window_api.h"
#include "kernel/version.h"

namespace vek::framework {

void TellIpFieldRange(HWND control, int typed) {
  const bool japanese = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE;
  const std::string value = std::to_string(typed);
  const std::string text =
      japanese ? value + " \xE3\x81\xAF\xE7\x84\xA1\xE5\x8A\xB9\xE3\x81\xAA\xE5\x80\xA4\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82"
                         "\xE3\x81\x93\xE3\x81\xAE\xE3\x83\x95\xE3\x82\xA3\xE3\x83\xBC\xE3\x83\xAB\xE3\x83\x89\xE3\x81\xAB"
                         "\xE3\x81\xAF 0 \xE3\x81\x8B\xE3\x82\x89 255 \xE3\x81\xBE\xE3\x81\xA7\xE3\x81\xAE\xE5\x80\xA4"
                         "\xE3\x82\x92\xE6\x8C\x87\xE5\xAE\x9A\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x8F\xE3\x81\xA0\xE3\x81\x95"
                         "\xE3\x81\x84\xE3\x80\x82"
               : value + " is not a valid entry. Please specify a value between 0 and 255 for this field.";
  HWND owner = GetParent(control);
  MessageBoxA(owner ? owner : control, text.c_str(), "Error", MB_ICONEXCLAMATION);
}

}  // namespace vek::framework
