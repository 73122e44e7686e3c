// Calls every getter and setter of a record, reading each result, so that a reply
// of any shape is taken through all of the record's field bounds.
#pragma once

#include <cstring>
#include <string>

#include "protocol/print_server.h"

namespace vek::test {

inline unsigned SweepAccessors(CPrintServer& ps) {
  unsigned sum = 0;
  auto text = [&sum](LPCSTR t) { sum += static_cast<unsigned>(std::strlen(t)); };
  auto bytes = [&sum](const BYTE* p, int n) {
    if (p)
      for (int i = 0; i < n; i++) sum += p[i];
  };
  sum += static_cast<unsigned>(ps.IsExtended() + ps.HasWireless() + ps.HasWirelessOption() + ps.HasGRates() +
                               ps.Has8021X() + ps.HasWPAPSK() + ps.HasWPA2PSK() + ps.HasTxMode() +
                               ps.HasSecureConfig());
  sum += ps.GetCapabilities().m_Bits;
  sum += ps.GetFirmwareMajor() + ps.GetFirmwareMinor() + ps.GetModelCode();
  sum += static_cast<unsigned>(ps.GetPortCount() + ps.HasIPSettings() + ps.HasDHCPSwitch() + ps.GetDHCP());
  text(ps.GetVersionText());
  text(ps.GetNodeIDText());
  text(ps.GetName());
  text(ps.GetPassword());
  text(ps.GetPortTypes());
  bytes(ps.GetIPAddress(), 4);
  bytes(ps.GetSubnetMask(), 4);
  bytes(ps.GetGateway(), 4);
  int modulusLength = 0;
  bytes(ps.GetRSAModulus(&modulusLength), modulusLength);
  sum += static_cast<unsigned>(ps.GetCommType() + ps.GetDomain() + ps.GetChannel() + ps.GetTxRate() +
                               ps.GetAuthType() + ps.GetWEPMode() + ps.GetWEPKeyIndex() + ps.GetWEPKeyFormat() +
                               ps.GetLoginMode() + ps.GetWirelessOption() + ps.GetTxRateG() + ps.Get8021XMethod() +
                               ps.GetTxMode() + ps.GetEncryption());
  text(ps.GetSSID());
  text(ps.Get8021XUser());
  text(ps.Get8021XPassword());
  text(ps.GetWPAPSK());
  for (int slot = 0; slot < 4; slot++) bytes(ps.GetWEPKey64Slot(slot), 5);
  bytes(ps.GetWEPKey128(), 13);

  const std::string longText(100, 'x');
  ps.SetName(longText.c_str());
  ps.SetPassword(longText.c_str());
  ps.SetDHCP(1);
  ps.SetCommType(9);
  ps.SetSSID(longText.c_str());
  ps.SetChannel(6);
  ps.SetTxRate(1);
  ps.SetAuthType(2);
  ps.SetWEPMode(2);
  ps.SetWEPKeyIndex(3);
  ps.SetWEPKeyFormat(1);
  ps.SetWirelessOption(1);
  ps.SetTxRateG(7);
  ps.Set8021XMethod(2);
  ps.Set8021XUser(longText.c_str());
  ps.Set8021XPassword(longText.c_str());
  ps.SetWPAPSK(longText.c_str());
  ps.SetTxMode(1);
  ps.SetEncryption(1);
  text(ps.GetPortTypes());
  text(ps.GetSSID());
  return sum;
}

}  // namespace vek::test
