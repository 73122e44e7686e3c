#include "protocol/shared_settings.h"

namespace WizardSettings {

std::atomic<BYTE> m_SearchDone{0};
int m_Transports = PS_TRANSPORTS_UDP;
std::atomic<int> m_ServerFound{0};
BYTE m_ServerNodeID[6] = {};
BYTE m_ServerIPAddress[4] = {};
std::vector<BYTE> m_LocatedReply;
BYTE m_LocatedAddress[4] = {};
BYTE m_DeviceKey[256] = {};

}  // namespace WizardSettings
