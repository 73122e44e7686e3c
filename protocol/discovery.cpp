#include "protocol/discovery.h"

#include <atomic>
#include <cstring>

#include "protocol/capabilities.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/print_server_list.h"
#include "protocol/shared_settings.h"
#include "protocol/trace.h"

namespace {

// Search request command words: operation 0x24 asks for the multi-part reply,
// 0x04 for the single one; the high byte is the flag.
constexpr WORD kSearchMultiFlagged = 0x0124;
constexpr WORD kSearchSingleFlagged = 0x0104;
constexpr WORD kSearchMulti = 0x0024;
constexpr WORD kSearchSingle = 0x0004;

DWORD BroadcastAddress() { return INADDR_BROADCAST; }
// Sent as the searches always have; a send the system refuses changes nothing.
DWORD OtherAddress() { return inet_addr("0.0.0.1"); }

std::atomic<int> g_LiveDiscoveryThreads{0};

}  // namespace

// CUDPDiscoveryThread --------------------------------------------------------------

IMPLEMENT_DYNAMIC(CUDPDiscoveryThread, CWinThread)

BEGIN_MESSAGE_MAP(CUDPDiscoveryThread, CWinThread)
END_MESSAGE_MAP()

CUDPDiscoveryThread::CUDPDiscoveryThread()
    : m_pOwner(NULL), m_StartTick(0), m_LastSendTick(0), m_Round(0), m_Received(PS_MAX_DATAGRAM_LENGTH) {
  g_LiveDiscoveryThreads++;
}

CUDPDiscoveryThread::~CUDPDiscoveryThread() { g_LiveDiscoveryThreads--; }

int CUDPDiscoveryThread::LiveCount() { return g_LiveDiscoveryThreads; }

void CUDPDiscoveryThread::StartSearch(LPCSTR trace) {
  m_Socket.Trace(trace);
  // A socket that cannot be had leaves the thread running its time out, finding
  // nothing.
  m_Socket.Create(0);
  m_Socket.EnableBroadcast(TRUE);
  m_StartTick = GetTickCount();
  m_LastSendTick = m_StartTick - 1000;
  WizardSettings::m_SearchDone = 0;
}

void CUDPDiscoveryThread::EndSearch(LPCSTR trace) {
  m_Socket.Trace(trace);
  m_Socket.Close();
  // The last thing this thread does with shared state: the starter may read the
  // list from here on.
  WizardSettings::m_SearchDone = 1;
}

void CUDPDiscoveryThread::SendSearch(DWORD destination, WORD command) {
  m_Socket.m_Address.sin_family = AF_INET;
  m_Socket.m_Address.sin_port = htons(PS_PORT);
  m_Socket.m_Address.sin_addr.s_addr = destination;
  BYTE request[PS_BUFFER_LENGTH];
  const int length = PSBuildPlainRequest(request, 0, command);
  if (LOBYTE(command) == PSCMD_SEARCH_MULTI) request[6] = 1;
  m_Socket.Send(reinterpret_cast<const char*>(request), length, 0);
}

void CUDPDiscoveryThread::Drain() {
  while (!m_Socket.IsEmpty()) {
    const int n = m_Socket.Receive(reinterpret_cast<char*>(m_Received.data()), static_cast<int>(m_Received.size()),
                                   XSOCKET_WAIT);
    if (n > 0) OnDatagram(m_Received.data(), n);
  }
}

CUDPDiscoveryThread* BeginDiscoveryThread(const CRuntimeClass* threadClass, CWnd* owner) {
  if (!(WizardSettings::m_Transports & PS_TRANSPORTS_UDP)) return NULL;
  if (threadClass == NULL || !threadClass->IsDerivedFrom(RUNTIME_CLASS(CUDPDiscoveryThread))) return NULL;
  auto* thread = static_cast<CUDPDiscoveryThread*>(
      AfxBeginThread(threadClass, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
  if (thread == NULL) return NULL;
  thread->m_pOwner = owner;
  WizardSettings::m_SearchDone = 0;
  thread->ResumeThread();
  return thread;
}

// CUDPSearchPSThread ---------------------------------------------------------------

IMPLEMENT_DYNCREATE(CUDPSearchPSThread, CUDPDiscoveryThread)

BEGIN_MESSAGE_MAP(CUDPSearchPSThread, CUDPDiscoveryThread)
END_MESSAGE_MAP()

CUDPSearchPSThread::CUDPSearchPSThread() = default;
CUDPSearchPSThread::~CUDPSearchPSThread() = default;

BOOL CUDPSearchPSThread::InitInstance() {
  StartSearch("CUDPSearchPSThread::InitInstance()");
  return TRUE;
}

int CUDPSearchPSThread::ExitInstance() {
  EndSearch("CUDPSearchPSThread::ExitInstance()");
  return CWinThread::ExitInstance();
}

BOOL CUDPSearchPSThread::OnIdle(LONG /*count*/) {
  const DWORD now = GetTickCount();
  if (now - m_StartTick > PS_SEARCH_BUDGET || now < m_StartTick) {
    PostQuitMessage(0);
    return FALSE;
  }
  if (now - m_LastSendTick > PS_REQUEST_CYCLE) {
    // Destinations run broadcast, broadcast, "0.0.0.1", "0.0.0.1", and again.
    const DWORD destination = m_Round % 4 < 2 ? BroadcastAddress() : OtherAddress();
    const int r = m_Round;
    if (r == 0 || r == 2) SendSearch(destination, kSearchMultiFlagged);
    else if (r == 1 || r == 3) SendSearch(destination, kSearchSingleFlagged);
    else if (r >= 5) SendSearch(destination, r % 2 == 0 ? kSearchMulti : kSearchSingle);
    // Cycle 4 sends nothing but still counts.
    m_Round++;
    m_LastSendTick = now;
  }
  Sleep(PS_SEARCH_PAUSE);
  Drain();
  Sleep(PS_SEARCH_PAUSE);
  return TRUE;
}

void CUDPSearchPSThread::HandleReply(const BYTE* buffer, int length) {
  if (PSIsReplyCode(buffer, length, PSReplyCode(PSCMD_SEARCH_MULTI))) {
    const BYTE* reply = NULL;
    int replyLength = 0;
    if (m_Joiner.AddPart(buffer, length, &reply, &replyLength) == PS_PART_COMPLETE) {
      // The joined reply must be the device's own: a part of another device's
      // reply cannot have slipped in.
      if (replyLength >= PS_IDENTITY_OFFSET + 6 && std::memcmp(reply + PS_IDENTITY_OFFSET, buffer + 10, 6) == 0)
        TakeReply(reply, replyLength, FALSE);
    }
    return;
  }
  if (PSIsReplyCode(buffer, length, PSReplyCode(PSCMD_SEARCH))) {
    // A device with the security capability is taken from its multi-part reply.
    if (PSCapabilities::FromReply(buffer, length).IsSet(PSCAP_SECURITY)) return;
    TakeReply(buffer, length, TRUE);
    return;
  }
  DebugTrace("PrintServer.m_NodeID : %s\r\n", "unknow");
}

void CUDPSearchPSThread::TakeReply(const BYTE* reply, int length, BOOL update) {
  CPrintServer probe;
  if (!probe.ParseReply(reply, length)) return;
  CPrintServer* known = g_PrintServerList.FindPrintServer(probe.m_NodeID);
  if (known != NULL) {
    known->m_Transport |= PS_TRANSPORT_UDP;
  } else if (PSHasMakerPrefix(probe.m_NodeID)) {
    auto* server = new CPrintServer;
    server->m_Transport |= PS_TRANSPORT_UDP;
    std::memcpy(server->m_NodeID, probe.m_NodeID, sizeof(server->m_NodeID));
    if (m_Round > PS_LATE_ROUND) std::memset(server->m_IPAddress, 0xFF, sizeof(server->m_IPAddress));
    else std::memcpy(server->m_IPAddress, &m_Socket.m_FromAddress.sin_addr.s_addr, sizeof(server->m_IPAddress));
    server->ParseReply(reply, length);
    g_PrintServerList.AddTail(server);

    if (m_pOwner != NULL) {
      CStringA text;
      text.LoadString(IDS_FOUND_PREFIX);
      text += server->GetName();
      if (CWnd* status = m_pOwner->GetDlgItem(PS_SEARCH_STATUS_ID)) status->SetWindowText(text);
      if (update) m_pOwner->UpdateWindow();
    }
  }
  probe.Reset();
}

// CUDPSearchPSThread1 --------------------------------------------------------------

IMPLEMENT_DYNCREATE(CUDPSearchPSThread1, CUDPDiscoveryThread)

BEGIN_MESSAGE_MAP(CUDPSearchPSThread1, CUDPDiscoveryThread)
END_MESSAGE_MAP()

CUDPSearchPSThread1::CUDPSearchPSThread1() {
  WizardSettings::m_ServerFound = 0;
  WizardSettings::m_LocatedReply.clear();
}
CUDPSearchPSThread1::~CUDPSearchPSThread1() = default;

BOOL CUDPSearchPSThread1::InitInstance() {
  StartSearch("CUDPSearchPSThread1::InitInstance()");
  return TRUE;
}

int CUDPSearchPSThread1::ExitInstance() {
  EndSearch("CUDPSearchPSThread1::ExitInstance()");
  return CWinThread::ExitInstance();
}

BOOL CUDPSearchPSThread1::OnIdle(LONG /*count*/) {
  const DWORD now = GetTickCount();
  if (now - m_StartTick > PS_LOCATE_BUDGET || now < m_StartTick) {
    PostQuitMessage(0);
    return FALSE;
  }
  if (now - m_LastSendTick > PS_REQUEST_CYCLE) {
    const DWORD destination = m_Round % 2 == 0 ? BroadcastAddress() : OtherAddress();
    SendSearch(destination, kSearchSingleFlagged);
    SendSearch(destination, kSearchSingle);
    m_Round++;
    m_LastSendTick = now;
  }
  Sleep(PS_LOCATE_PAUSE);
  Drain();
  return TRUE;
}

void CUDPSearchPSThread1::HandleReply(const BYTE* buffer, int length) {
  if (!PSIsReplyCode(buffer, length, PSReplyCode(PSCMD_SEARCH))) {
    DebugTrace("PrintServer.m_NodeID : %s\r\n", "unknow");
    return;
  }
  CPrintServer probe;
  probe.ParseReply(buffer, length);
  if (probe.m_Generation == 0 || WizardSettings::m_ServerFound != 0) return;
  if (std::memcmp(probe.m_NodeID, WizardSettings::m_ServerNodeID, sizeof(probe.m_NodeID)) != 0) return;
  const BYTE* address = probe.GetIPAddress();
  if (address == NULL) return;
  std::memcpy(WizardSettings::m_ServerIPAddress, address, sizeof(WizardSettings::m_ServerIPAddress));
  // What it reports, and where it answers from: the page that saved settings
  // checks they are in force, and sends to the device's own address.
  WizardSettings::m_LocatedReply.assign(buffer, buffer + length);
  std::memcpy(WizardSettings::m_LocatedAddress, &m_Socket.m_FromAddress.sin_addr.s_addr,
              sizeof(WizardSettings::m_LocatedAddress));
  // Set after the address, so a reader that sees the flag sees the address.
  WizardSettings::m_ServerFound = 1;
  probe.Reset();
}
