#include "wizard/settings_in_force.h"

#include <cstring>

#include "protocol/print_server.h"

namespace {

// A field the record does not have was not sent; one it has must be reported
// as sent.
BOOL SameAddress(const BYTE* sent, const BYTE* reported) {
  if (sent == NULL) return TRUE;
  return reported != NULL && std::memcmp(sent, reported, 4) == 0;
}

}  // namespace

BOOL SettingsInForce(CPrintServer& saved, const BYTE* reply, int length, BOOL wireless) {
  CPrintServer reported;
  if (reply == NULL || length <= 0 || !reported.ParseReply(reply, length)) return FALSE;
  if (saved.HasDHCPSwitch() && (!reported.HasDHCPSwitch() || reported.GetDHCP() != saved.GetDHCP())) return FALSE;
  if (!saved.GetDHCP() && (!SameAddress(saved.GetIPAddress(), reported.GetIPAddress()) ||
                           !SameAddress(saved.GetSubnetMask(), reported.GetSubnetMask()) ||
                           !SameAddress(saved.GetGateway(), reported.GetGateway())))
    return FALSE;
  if (wireless && std::strcmp(saved.GetSSID(), reported.GetSSID()) != 0) return FALSE;
  return TRUE;
}
