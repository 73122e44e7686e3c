// The fields of the wizard's settings that the protocol code itself reads and
// writes: the discovery threads (search state, the chosen server's MAC and the
// address it was found at again) and the secured exchange (the device's key).
// The wizard's settings header includes this one, so pages and threads share the
// same objects.
//
// The search flags cross threads: a discovery thread sets them while the starting
// dialog or page polls them, so they are atomics. The thread writes
// m_ServerIPAddress and the located reply before it sets m_ServerFound, and the
// starter reads them only after it has seen m_SearchDone (or m_ServerFound) set.
#pragma once

#include <atomic>
#include <vector>

#include "kernel/types.h"

namespace WizardSettings {

// Selection and run state.
extern std::atomic<BYTE> m_SearchDone;  // 1 while no discovery thread runs
extern int m_Transports;                // bit 1 (2): UDP is available
extern std::atomic<int> m_ServerFound;  // the locate thread found the chosen server again
extern BYTE m_ServerNodeID[6];

// TCP/IP.
extern BYTE m_ServerIPAddress[4];

// The chosen server's information reply to the last re-location and the address
// it came from, written with m_ServerIPAddress; empty while the last re-location
// has not found it.
extern std::vector<BYTE> m_LocatedReply;
extern BYTE m_LocatedAddress[4];

// The device's RSA public modulus, big-endian (only with the secured exchange).
extern BYTE m_DeviceKey[256];

}  // namespace WizardSettings

// m_Transports bit of UDP.
constexpr int PS_TRANSPORTS_UDP = 2;
