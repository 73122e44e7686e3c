// Where the port's datagrams go, and which received datagrams are the device's.
// A socket's destination is whoever sent to it last; the port takes a datagram
// (and the address it came from) only from its own device, so a stray sender can
// neither answer for the device nor redirect the job's data.
#include <cstring>

#include "debug_log.h"
#include "kernel/clock.h"
#include "monitor_globals.h"
#include "netbios_helpers.h"
#include "print_messages.h"
#include "print_port.h"
#include "xipx_socket.h"
#include "xnbf_socket.h"
#include "xudp_socket.h"

namespace {

constexpr DWORD kStrayWindowMs = 1000;
constexpr int kMaxStrays = 64;

}  // namespace

void CPrintPort::AimAtDevice(XSocket* socket) {
  if (auto* udp = dynamic_cast<XUDPSocket*>(socket)) {
    udp->m_Address.sin_family = AF_INET;
    udp->m_Address.sin_port = htons(kDevicePort);
    std::memcpy(&udp->m_Address.sin_addr, m_IPAddress, 4);
  } else if (auto* ipx = dynamic_cast<XIPXSocket*>(socket)) {
    ipx->m_Address.sa_family = AF_IPX;
    std::memcpy(ipx->m_Address.sa_netnum, m_Network, 4);
    std::memcpy(ipx->m_Address.sa_nodenum, m_NodeID, 6);
    ipx->m_Address.sa_socket = htons(kDevicePort);
  } else if (auto* nbf = dynamic_cast<XNBFSocket*>(socket)) {
    nbf->SetRemoteName(m_PSName);
  }
}

void CPrintPort::RestoreDevicePort(XSocket* socket) {
  if (auto* udp = dynamic_cast<XUDPSocket*>(socket)) {
    udp->m_Address.sin_port = htons(kDevicePort);
  } else if (auto* ipx = dynamic_cast<XIPXSocket*>(socket)) {
    ipx->m_Address.sa_socket = htons(kDevicePort);
  }
}

BOOL CPrintPort::IsSenderDevice(XSocket* socket) const {
  if (auto* udp = dynamic_cast<XUDPSocket*>(socket)) return std::memcmp(&udp->m_Address.sin_addr, m_IPAddress, 4) == 0;
  // On IPX the node names the device; its network may be learned from it.
  if (auto* ipx = dynamic_cast<XIPXSocket*>(socket)) return std::memcmp(ipx->m_Address.sa_nodenum, m_NodeID, 6) == 0;
  // On NetBIOS the device answers from the name it is sent to, as it goes on the wire.
  if (auto* nbf = dynamic_cast<XNBFSocket*>(socket)) {
    BYTE sender[NCBNAMSZ];
    BYTE device[NCBNAMSZ];
    NBPadName(sender, nbf->GetSenderName());
    NBPadName(device, m_PSName);
    return std::memcmp(sender, device, NCBNAMSZ) == 0;
  }
  return TRUE;
}

int CPrintPort::ReceiveFromDevice(XSocket* socket, BYTE* buffer, int size, BOOL waitingOnly) {
  DWORD start = GetTickCount();
  for (int strays = 0; strays < kMaxStrays; strays++) {
    sockaddr_in udpBefore{};
    SOCKADDR_IPX ipxBefore{};
    auto* udp = dynamic_cast<XUDPSocket*>(socket);
    auto* ipx = dynamic_cast<XIPXSocket*>(socket);
    if (udp) udpBefore = udp->m_Address;
    if (ipx) ipxBefore = ipx->m_Address;
    int n = socket->Receive(buffer, size);
    if (n <= 0) return n;
    if (IsSenderDevice(socket)) return n;
    if (udp) udp->m_Address = udpBefore;
    if (ipx) ipx->m_Address = ipxBefore;
    theDebugLog.Trace("[%s]::ReceiveFromDevice() Stray Datagram Ignored", m_PortName);
    if (static_cast<DWORD>(GetTickCount() - start) >= kStrayWindowMs) return 0;
    if (waitingOnly && socket->IsEmpty()) return 0;
  }
  return 0;
}
