// The port dialog's network search: six requests over the selected tab's
// transport, the answers collected for 7.8 s, one record and one row per printer
// port of every print server that answers. It blocks the dialog's thread.
#include <cstdio>
#include <cstring>

#include "debug_log.h"
#include "framework/cursor.h"
#include "framework/message_box.h"
#include "kernel/clock.h"
#include "kernel/memory.h"
#include "monitor_globals.h"
#include "monitor_strings.h"
#include "net/winsock.h"
#include "port_dlg.h"
#include "print_port.h"
#include "ps_info.h"
#include "search_reply.h"
#include "search_requests.h"
#include "xipx_socket.h"
#include "xnbf_socket.h"
#include "xudp_socket.h"

namespace {

constexpr DWORD kSearchMs = 7800;
constexpr int kSearchBufferSize = 1500;
constexpr int kSearchReceiveSize = 1450;
constexpr WORD kDevicePort = 0x5050;  // UDP port 20560, IPX socket 0x5050
constexpr int kIPXPacketType = 90;

DWORD ElapsedSinceStart(DWORD start) {
  DWORD now = GetTickCount();
  return now < start ? 0 : now - start;
}

// The kept NetBEUI search socket; one whose creation failed is made again.
XNBFSocket* NetBEUISearchSocket() {
  if (g_pNBFSearchSocket && !g_pNBFSearchSocket->m_bCreated) {
    delete g_pNBFSearchSocket;
    g_pNBFSearchSocket = nullptr;
  }
  if (g_pNBFSearchSocket == nullptr) {
    g_pNBFSearchSocket = new XNBFSocket(kSearchNCBs);
    g_pNBFSearchSocket->Create(0);
  }
  return g_pNBFSearchSocket;
}

// Sends one request. Every receive replaces the socket's destination with the
// last sender, so the whole destination is written again before each request.
void SendRequest(int protocol, XSocket* socket, const BYTE* request, const char* directedTarget) {
  switch (protocol) {
    case PACKET_TYPE_IPX: {
      auto* ipx = static_cast<XIPXSocket*>(socket);
      ipx->m_Address.sa_family = AF_IPX;
      std::memset(ipx->m_Address.sa_netnum, 0xFF, sizeof ipx->m_Address.sa_netnum);
      std::memset(ipx->m_Address.sa_nodenum, 0xFF, sizeof ipx->m_Address.sa_nodenum);
      ipx->m_Address.sa_socket = htons(kDevicePort);
      ipx->SendToAllNetworks(request, kSearchRequestLength);
      break;
    }
    case PACKET_TYPE_UDP: {
      auto* udp = static_cast<XUDPSocket*>(socket);
      std::memset(&udp->m_Address, 0, sizeof udp->m_Address);
      udp->m_Address.sin_family = AF_INET;
      udp->m_Address.sin_port = htons(kDevicePort);
      udp->m_Address.sin_addr.s_addr = htonl(INADDR_BROADCAST);
      udp->Send(request, kSearchRequestLength);
      if (directedTarget[0]) {
        udp->m_Address.sin_addr.s_addr = inet_addr(directedTarget);
        udp->Send(request, kSearchRequestLength);
      }
      break;
    }
    case PACKET_TYPE_NETBEUI: {
      auto* nbf = static_cast<XNBFSocket*>(socket);
      nbf->SetRemoteName(kNBSearchName);
      nbf->Send(request, kSearchRequestLength);
      break;
    }
    default:
      break;
  }
}

}  // namespace

BOOL CPortDLG::IsKnownNode(const BYTE node[6]) {
  for (POSITION position = g_PSInfoList.GetHeadPosition(); position;) {
    auto* record = static_cast<CPSInfo*>(g_PSInfoList.GetNext(position));
    if (std::memcmp(record->m_NodeID, node, 6) == 0) return TRUE;
  }
  return FALSE;
}

void CPortDLG::TakeSearchReply(const BYTE* datagram, int length, int requestsSent, XSocket* socket) {
  SearchReply reply;
  if (!ReadSearchReply(datagram, static_cast<std::size_t>(length), m_Protocol, requestsSent, &reply)) return;
  // A server answers several requests: its first answer lists it.
  if (IsKnownNode(reply.nodeId)) return;
  for (int port = 1; port <= reply.ports; ++port) {
    auto* record = new CPSInfo;
    record->m_Model = reply.model;
    record->m_PacketType = m_Protocol;
    std::memcpy(record->m_Name, reply.name, sizeof record->m_Name);
    std::memcpy(record->m_NodeID, reply.nodeId, 6);
    std::memcpy(record->m_Version, reply.version, 2);
    record->m_PortID = static_cast<BYTE>(port);
    record->m_bLate = reply.late ? 1 : 0;
    if (m_Protocol == PACKET_TYPE_IPX) {
      std::memcpy(record->m_Network, static_cast<XIPXSocket*>(socket)->m_Address.sa_netnum, 4);
    } else if (m_Protocol == PACKET_TYPE_UDP) {
      std::memcpy(record->m_IPAddress, reply.ipAddress, 4);
    } else if (m_Protocol == PACKET_TYPE_NETBEUI) {
      const char* sender = static_cast<XNBFSocket*>(socket)->GetSenderName();
      std::memcpy(record->m_PSName, sender, strnlen(sender, kPSNameLength));
    }
    if (reply.keepsCopy) {
      HGLOBAL block = GlobalAlloc(GPTR, static_cast<SIZE_T>(length));
      record->m_pReply = static_cast<BYTE*>(block ? GlobalLock(block) : nullptr);
      if (record->m_pReply) {
        std::memcpy(record->m_pReply, datagram, static_cast<std::size_t>(length));
        record->m_ReplyLength = length;
      }
    }
    g_PSInfoList.AddTail(record);
    InsertServerItem(record);
  }
}

void CPortDLG::OnRefresh() {
  // A transport that does not work has nothing to search with (Refresh is off there).
  const bool known = m_Protocol == PACKET_TYPE_IPX || m_Protocol == PACKET_TYPE_UDP || m_Protocol == PACKET_TYPE_NETBEUI;
  if (known && !TransportWorks(m_Protocol)) return;
  vek::framework::BeginWaitCursor();
  EnableControls({IDC_PORT_NAME, IDC_TIMEOUT, IDC_TIMEOUT_SPIN, IDOK}, FALSE);
  ClearPSInfoList();

  XSocket* socket = nullptr;
  bool kept = false;
  char directedTarget[16] = "";
  switch (m_Protocol) {
    case PACKET_TYPE_IPX:
      socket = new XIPXSocket;
      socket->Create(kIPXPacketType);
      break;
    case PACKET_TYPE_UDP:
      // An address control with a bad field keeps the search from running.
      if (!UpdateData(TRUE)) {
        vek::framework::EndWaitCursor();
        return;
      }
      socket = new XUDPSocket;
      socket->Create(kIPXPacketType);
      if (m_IPAddress[0] || m_IPAddress[1] || m_IPAddress[2] || m_IPAddress[3])
        std::snprintf(directedTarget, sizeof directedTarget, "%d.%d.%d.%d", m_IPAddress[0], m_IPAddress[1],
                      m_IPAddress[2], m_IPAddress[3]);
      break;
    case PACKET_TYPE_NETBEUI:
      socket = NetBEUISearchSocket();
      kept = true;
      break;
    default:
      vek::framework::EndWaitCursor();
      theDebugLog.Trace("CPortDLG::OnRefresh() Protocol Error !");
      return;
  }

  if (!socket->m_bCreated) {
    // Without a socket every receive returns at once: the search ends here, and says why.
    if (!kept) delete socket;
    vek::framework::EndWaitCursor();
    theDebugLog.Trace("CPortDLG::OnRefresh() = [No Socket]");
    ShowError(IDS_SEARCH_NO_SOCKET, TransportName().c_str());
    ShowEmptyList();
    return;
  }
  socket->EnableBroadcast(TRUE);
  const DWORD start = GetTickCount();
  BYTE buffer[kSearchBufferSize];
  int sent = 0;
  while (ElapsedSinceStart(start) < kSearchMs) {
    if (sent < kSearchRequests) {
      std::memset(buffer, 0, sizeof buffer);
      BuildSearchRequest(m_Protocol, sent, buffer);
      SendRequest(m_Protocol, socket, buffer, directedTarget);
      ++sent;
    }
    // The time counts inside the receives too: answers that keep coming cannot
    // hold the dialog beyond the search.
    while (ElapsedSinceStart(start) < kSearchMs) {
      std::memset(buffer, 0, sizeof buffer);
      int received = socket->Receive(buffer, kSearchReceiveSize);
      if (received <= 0) break;
      TakeSearchReply(buffer, received, sent, socket);
    }
  }
  if (!kept) {
    socket->Close();
    delete socket;
  }
  vek::framework::EndWaitCursor();
  m_List.SetFocus();

  if (m_List.GetItemCount() > 0) {
    EnableControls({IDC_PORT_GROUP, IDC_PORT_NAME_LABEL, IDC_TIMEOUT_LABEL, IDC_SECONDS_LABEL, IDC_TIMEOUT,
                    IDC_TIMEOUT_SPIN},
                   TRUE);
    if (!m_bConfigure) {
      EnableControls({IDC_PORT_NAME, IDOK}, TRUE);
      m_List.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    } else if (m_pPort) {
      // The configured port's own server and printer port, when it answered.
      int row = 0;
      for (POSITION position = g_PSInfoList.GetHeadPosition(); position; ++row) {
        auto* record = static_cast<CPSInfo*>(g_PSInfoList.GetNext(position));
        if (std::memcmp(record->m_NodeID, m_pPort->m_NodeID, 6) == 0 &&
            static_cast<signed char>(record->m_PortID) == m_pPort->m_PortID) {
          m_List.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
          m_List.EnsureVisible(row, FALSE);
          break;
        }
      }
    }
  } else {
    ShowEmptyList();
    SayNoServerAnswered();
  }
}

void CPortDLG::ShowEmptyList() {
  EnableControls({IDOK, IDC_PORT_GROUP, IDC_PORT_NAME_LABEL, IDC_TIMEOUT_LABEL, IDC_SECONDS_LABEL, IDC_PORT_NAME},
                 FALSE);
  EnableControls({IDC_TIMEOUT, IDC_TIMEOUT_SPIN}, m_bConfigure ? TRUE : FALSE);
}

std::u16string CPortDLG::TransportName() const {
  for (const ProtocolEntry& entry : m_ProtocolTable)
    if (entry.transport == m_Protocol) return MonitorString(static_cast<UINT>(entry.stringId));
  return MonitorString(IDS_TAB_TCPIP);
}

// An empty list alone does not tell a search that found nothing from one not run.
void CPortDLG::SayNoServerAnswered() {
  CStringW text;
  text.Format(MonitorString(m_Protocol == PACKET_TYPE_UDP ? IDS_NO_SERVER_ANSWERED_IP : IDS_NO_SERVER_ANSWERED).c_str(),
              TransportName().c_str());
  MessageBox(text.GetString(), m_Title.GetString(), MB_ICONINFORMATION);
}
