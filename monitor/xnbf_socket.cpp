#include "xnbf_socket.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>

#include "debug_log.h"
#include "kernel/clock.h"
#include "kernel/memory.h"
#include "kernel/sync.h"
#include "net/winsock.h"
#include "netbios_helpers.h"

namespace {

constexpr int kLocalNameLength = 15;
constexpr int kCancelFillerSize = 128;
// How long CancelListen gives its own datagrams to complete the receives.
constexpr DWORD kCancelListenMs = 250;
constexpr DWORD kReleaseStepMs = 100;
constexpr int kReleaseRounds = 50;

// Earlier in arming order, across the counter's wrap.
bool ArmedBefore(DWORD a, DWORD b) { return static_cast<LONG>(a - b) < 0; }

// The C library's generator starts alike in every process: unseeded, monitors
// in two processes (or on two machines) draw the same names at the same tick,
// and NetBIOS refuses the second of them. Seeded once, from the system.
void SeedNameDraws() {
  static std::once_flag once;
  std::call_once(once, [] { std::srand(std::random_device{}()); });
}

int LanaIndexOf(int lana) {
  for (int i = 0; i < g_LanaCount; i++)
    if (g_LanaTable[i] == lana) return i;
  return -1;
}

}  // namespace

XNBFSocket::XNBFSocket(int ncbs)
    : m_NCB{},
      m_hEvent{},
      m_pRecvBuffer{},
      m_LocalName{},
      m_RemoteName{},
      m_SenderName{},
      m_LanaCount(0),
      m_NCBCount(std::clamp(ncbs, kMinNCBs, kMaxNCBs)),
      m_Lana{},
      m_bRegistered{},
      m_NameNumber{},
      m_bListening(FALSE),
      m_SendLanaCount(0),
      m_SendLana{},
      m_ListenLanaCount(0),
      m_ListenLana{},
      m_hBufferBlock(nullptr),
      m_ArmOrder{},
      m_NextArm(0) {
  MakeLocalName();
}

XNBFSocket::~XNBFSocket() = default;

void XNBFSocket::MakeLocalName() {
  SeedNameDraws();
  std::memset(m_LocalName, 0, sizeof m_LocalName);
  for (int i = 0; i < kLocalNameLength; i++) {
    BYTE candidate = 0;
    do {
      candidate = static_cast<BYTE>(static_cast<BYTE>(GetTickCount()) - static_cast<BYTE>(std::rand()));
    } while (candidate < 0x20 || candidate > 0x7E || candidate == '*');
    m_LocalName[i] = static_cast<char>(candidate);
  }
}

int XNBFSocket::ActiveSlots(int* slots) const {
  int count = 0;
  int primary = g_PrimaryLana.load();
  for (int slot = 0; slot < m_LanaCount; slot++) {
    if (!m_bRegistered[slot]) continue;
    if (primary >= 0 && m_Lana[slot] != g_LanaTable[primary]) continue;
    slots[count++] = slot;
  }
  return count;
}

BOOL XNBFSocket::IsPending(int slot, int index) {
  return std::atomic_ref<UCHAR>(m_NCB[slot][index].ncb_cmd_cplt).load(std::memory_order_acquire) == NRC_PENDING;
}

BOOL XNBFSocket::RegisterName() {
  int primary = g_PrimaryLana.load();
  if (primary < 0) {
    m_LanaCount = std::min(g_LanaCount, kMaxLanas);
    for (int slot = 0; slot < m_LanaCount; slot++) m_Lana[slot] = g_LanaTable[slot];
  } else {
    m_LanaCount = 1;
    m_Lana[0] = g_LanaTable[primary];
  }
  BOOL any = FALSE;
  for (int slot = 0; slot < m_LanaCount; slot++) {
    m_bRegistered[slot] = FALSE;
    NCB ncb{};
    ncb.ncb_command = NCBADDNAME;
    ncb.ncb_lana_num = static_cast<UCHAR>(m_Lana[slot]);
    NBPadName(ncb.ncb_name, m_LocalName);
    UCHAR code = Netbios(&ncb);
    if (code == NRC_GOODRET) {
      theDebugLog.Trace("XNBFSocket[%d]::RegisterName() LANA %d Register Name OK !", m_ID, m_Lana[slot]);
      m_NameNumber[slot] = ncb.ncb_num;
      m_bRegistered[slot] = TRUE;
      any = TRUE;
    } else {
      theDebugLog.Trace("XNBFSocket[%d]::RegisterName() = %s", m_ID, NBReturnCodeName(code));
      NBAdapterStatus(m_Lana[slot]);
    }
  }
  return any;
}

void XNBFSocket::UnregisterName() {
  for (int slot = 0; slot < m_LanaCount; slot++) {
    if (!m_bRegistered[slot]) continue;
    NCB ncb{};
    ncb.ncb_command = NCBDELNAME;
    ncb.ncb_lana_num = static_cast<UCHAR>(m_Lana[slot]);
    NBPadName(ncb.ncb_name, m_LocalName);
    UCHAR code = Netbios(&ncb);
    if (code != NRC_GOODRET) theDebugLog.Trace("XNBFSocket[%d]::UnregisterName() = %s", m_ID, NBReturnCodeName(code));
  }
}

BOOL XNBFSocket::Create(int /*type*/) {
  if (m_bCreated) return TRUE;
  BOOL ok = RegisterName();
  for (int slot = 0; ok && slot < m_LanaCount; slot++) {
    // Five per slot, whatever the receive count.
    for (int index = 0; ok && index < kMaxNCBs; index++) {
      m_hEvent[slot][index] = CreateEventW(nullptr, TRUE, FALSE, nullptr);
      if (m_hEvent[slot][index] == nullptr) ok = FALSE;
    }
  }
  if (ok) {
    const SIZE_T bytes = static_cast<SIZE_T>(m_LanaCount) * m_NCBCount * kNBDatagramSize;
    m_hBufferBlock = GlobalAlloc(GHND, bytes);
    BYTE* base = m_hBufferBlock ? static_cast<BYTE*>(GlobalLock(m_hBufferBlock)) : nullptr;
    if (base == nullptr) {
      ok = FALSE;
    } else {
      for (int slot = 0; slot < m_LanaCount; slot++)
        for (int index = 0; index < m_NCBCount; index++)
          m_pRecvBuffer[slot][index] = base + (static_cast<SIZE_T>(slot) * m_NCBCount + index) * kNBDatagramSize;
    }
  }
  if (ok) {
    m_bCreated = TRUE;
    Listen();
    return TRUE;
  }
  theDebugLog.Trace("XNBFSocket[%d]::Create() Create Socket Error !", m_ID);
  // Nothing was armed yet: the name goes again, then what was made.
  UnregisterName();
  for (BOOL& registered : m_bRegistered) registered = FALSE;
  CloseEvents();
  FreeBuffers();
  m_bCreated = FALSE;
  return FALSE;
}

BOOL XNBFSocket::SetAsyncReceive(int slot, int index) {
  if (!m_bCreated || slot < 0 || slot >= m_LanaCount || !m_bRegistered[slot]) return FALSE;
  if (index < 0 || index >= m_NCBCount) return FALSE;
  // Still armed: it is NetBIOS's until it completes.
  if (IsPending(slot, index)) return TRUE;
  NCB& ncb = m_NCB[slot][index];
  std::memset(&ncb, 0, sizeof ncb);
  ResetEvent(m_hEvent[slot][index]);
  ncb.ncb_command = NCBDGRECV | ASYNCH;
  ncb.ncb_lana_num = static_cast<UCHAR>(m_Lana[slot]);
  ncb.ncb_num = static_cast<UCHAR>(m_NameNumber[slot]);
  ncb.ncb_buffer = m_pRecvBuffer[slot][index];
  ncb.ncb_length = kNBDatagramSize;
  ncb.ncb_event = m_hEvent[slot][index];
  m_ArmOrder[slot][index] = ++m_NextArm;
  UCHAR code = Netbios(&ncb);
  if (code == NRC_GOODRET || code == NRC_PENDING) return TRUE;
  theDebugLog.Trace("XNBFSocket[%d]::SetAsyncReceive() = %s", m_ID, NBReturnCodeName(code));
  ResetEvent(m_hEvent[slot][index]);
  return FALSE;
}

BOOL XNBFSocket::Listen() {
  if (!m_bCreated) {
    theDebugLog.Trace("XNBFSocket[%d] Never Created", m_ID);
    return TRUE;
  }
  if (m_bListening) CancelListen();
  m_ListenLanaCount = ActiveSlots(m_ListenLana);
  BOOL ok = TRUE;
  for (int i = 0; i < m_ListenLanaCount; i++)
    for (int index = 0; index < m_NCBCount; index++)
      if (!SetAsyncReceive(m_ListenLana[i], index)) ok = FALSE;
  m_bListening = TRUE;
  return ok;
}

BOOL XNBFSocket::CancelListen() {
  if (!m_bCreated) {
    theDebugLog.Trace("XNBFSocket[%d] Never Created", m_ID);
    return TRUE;
  }
  if (!m_bListening) {
    theDebugLog.Trace("XNBFSocket[%d] Never Listen", m_ID);
    return TRUE;
  }
  m_ListenLanaCount = ActiveSlots(m_ListenLana);
  // Datagrams to our own name complete the pending receives.
  BYTE filler[kCancelFillerSize];
  std::memset(filler, '0', sizeof filler);
  BOOL ok = TRUE;
  HANDLE events[kMaxLanas * kMaxNCBs];
  DWORD count = 0;
  for (int i = 0; i < m_ListenLanaCount; i++) {
    int slot = m_ListenLana[i];
    for (int n = 0; n < m_NCBCount; n++) {
      NCB ncb{};
      ncb.ncb_command = NCBDGSEND;
      ncb.ncb_lana_num = static_cast<UCHAR>(m_Lana[slot]);
      ncb.ncb_num = static_cast<UCHAR>(m_NameNumber[slot]);
      ncb.ncb_buffer = filler;
      ncb.ncb_length = sizeof filler;
      NBPadName(ncb.ncb_callname, m_LocalName);
      UCHAR code = Netbios(&ncb);
      if (code != NRC_GOODRET) {
        theDebugLog.Trace("XNBFSocket[%d]::CancelListen() = %s", m_ID, NBReturnCodeName(code));
        ok = FALSE;
      }
    }
    for (int index = 0; index < m_NCBCount; index++)
      if (IsPending(slot, index)) events[count++] = m_hEvent[slot][index];
  }
  // Our own datagrams complete them at once; a receive they missed is cancelled by Close.
  if (count > 0) WaitForMultipleObjects(count, events, TRUE, kCancelListenMs);
  for (int i = 0; i < m_ListenLanaCount; i++)
    for (int index = 0; index < kMaxNCBs; index++) ResetEvent(m_hEvent[m_ListenLana[i]][index]);
  m_bListening = FALSE;
  return ok;
}

BOOL XNBFSocket::ReleasePendingReceives() {
  BOOL released = TRUE;
  for (int slot = 0; slot < m_LanaCount; slot++) {
    for (int index = 0; index < m_NCBCount; index++) {
      for (int round = 0; IsPending(slot, index); round++) {
        if (round == kReleaseRounds) {
          released = FALSE;
          break;
        }
        NCB cancel{};
        cancel.ncb_command = NCBCANCEL;
        cancel.ncb_lana_num = static_cast<UCHAR>(m_Lana[slot]);
        cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&m_NCB[slot][index]);
        UCHAR code = Netbios(&cancel);
        // Cancelled, or completing right now: either way NetBIOS lets go of it.
        if (code != NRC_GOODRET && code != NRC_CANOCCR)
          theDebugLog.Trace("XNBFSocket[%d]::CancelListen() = %s", m_ID, NBReturnCodeName(code));
        if (IsPending(slot, index)) WaitForSingleObject(m_hEvent[slot][index], kReleaseStepMs);
      }
    }
  }
  return released;
}

void XNBFSocket::CloseEvents() {
  for (auto& slot : m_hEvent) {
    for (HANDLE& event : slot) {
      if (event) {
        ResetEvent(event);
        CloseHandle(event);
      }
      event = nullptr;
    }
  }
}

void XNBFSocket::FreeBuffers() {
  if (m_hBufferBlock) {
    GlobalUnlock(m_hBufferBlock);
    GlobalFree(m_hBufferBlock);
  }
  m_hBufferBlock = nullptr;
  for (auto& slot : m_pRecvBuffer)
    for (BYTE*& buffer : slot) buffer = nullptr;
}

BOOL XNBFSocket::Close() {
  if (!m_bCreated) return FALSE;
  CancelListen();
  UnregisterName();
  // Receives still armed on LANAs that lost the election, or missed by our own
  // datagrams, would be written after their buffers are gone.
  if (ReleasePendingReceives()) {
    CloseEvents();
    FreeBuffers();
  } else {
    // NetBIOS keeps a receive it will not give back: its buffer and event stay
    // allocated rather than be written after they are freed.
    theDebugLog.Trace("XNBFSocket[%d]::CancelListen() = %s", m_ID, NBReturnCodeName(NRC_PENDING));
  }
  m_bCreated = FALSE;
  m_bListening = FALSE;
  return TRUE;
}

BOOL XNBFSocket::IsEmpty() {
  if (!m_bCreated) return TRUE;
  int slots[kMaxLanas];
  int count = ActiveSlots(slots);
  for (int i = 0; i < count; i++)
    for (int index = 0; index < m_NCBCount; index++)
      if (WaitForSingleObject(m_hEvent[slots[i]][index], 0) == WAIT_OBJECT_0) return FALSE;
  return TRUE;
}

BOOL XNBFSocket::EnableBroadcast(BOOL /*on*/) { return TRUE; }

void XNBFSocket::SetRemoteName(const char* name) {
  std::memset(m_RemoteName, 0, sizeof m_RemoteName);
  if (name) std::memcpy(m_RemoteName, name, strnlen(name, kNBNameLength));
}

void XNBFSocket::ClearBuffers() {
  if (!m_bCreated) return;
  for (int slot = 0; slot < m_LanaCount; slot++)
    for (int index = 0; index < m_NCBCount; index++)
      if (!IsPending(slot, index)) std::memset(m_pRecvBuffer[slot][index], 0, kNBDatagramSize);
}

int XNBFSocket::Send(const BYTE* data, int length) {
  if (!m_bCreated) {
    theDebugLog.Trace("XNBFSocket[%d] Never Created", m_ID);
    return 0;
  }
  m_SendLanaCount = ActiveSlots(m_SendLana);
  if (length < 0 || length > 0xFFFF || (length > 0 && data == nullptr)) return SOCKET_ERROR;
  int sent = 0;
  for (int i = 0; i < m_SendLanaCount; i++) {
    int slot = m_SendLana[i];
    NCB ncb{};
    ncb.ncb_command = NCBDGSEND;
    ncb.ncb_lana_num = static_cast<UCHAR>(m_Lana[slot]);
    ncb.ncb_num = static_cast<UCHAR>(m_NameNumber[slot]);
    ncb.ncb_buffer = const_cast<BYTE*>(data);
    ncb.ncb_length = static_cast<WORD>(length);
    NBPadName(ncb.ncb_callname, m_RemoteName);
    UCHAR code = Netbios(&ncb);
    if (code == NRC_GOODRET) {
      sent++;
    } else {
      theDebugLog.Trace("XNBFSocket[%d]::Send() = %s", m_ID, NBReturnCodeName(code));
    }
  }
  return sent > 0 ? length : SOCKET_ERROR;
}

int XNBFSocket::Receive(BYTE* buffer, int size) {
  if (!m_bCreated) return 0;
  int slots[kMaxLanas];
  int count = ActiveSlots(slots);
  HANDLE events[kMaxLanas * kMaxNCBs];
  int slotOf[kMaxLanas * kMaxNCBs];
  int indexOf[kMaxLanas * kMaxNCBs];
  DWORD waited = 0;
  for (int i = 0; i < count; i++) {
    for (int index = 0; index < m_NCBCount; index++) {
      events[waited] = m_hEvent[slots[i]][index];
      slotOf[waited] = slots[i];
      indexOf[waited] = index;
      waited++;
    }
  }
  if (waited == 0) {
    // No receive of this socket is on the primary LANA: nothing can arrive, and
    // the caller still gets the time-out every socket has.
    Sleep(kSocketReceiveTimeoutMs);
    return 0;
  }
  DWORD result = WaitForMultipleObjects(waited, events, FALSE, kSocketReceiveTimeoutMs);
  if (result >= WAIT_OBJECT_0 + waited) return 0;
  // The wait names the lowest signalled event; the datagram that came first is
  // the earliest armed of those completed.
  DWORD pick = result - WAIT_OBJECT_0;
  for (DWORD i = 0; i < waited; i++) {
    if (i == pick || WaitForSingleObject(events[i], 0) != WAIT_OBJECT_0) continue;
    if (ArmedBefore(m_ArmOrder[slotOf[i]][indexOf[i]], m_ArmOrder[slotOf[pick]][indexOf[pick]])) pick = i;
  }
  const int slot = slotOf[pick];
  const int index = indexOf[pick];
  HANDLE event = events[pick];
  if (index >= m_NCBCount) {
    ResetEvent(event);
    return 0;
  }

  const int lanaIndex = LanaIndexOf(m_Lana[slot]);
  int expected = -1;
  if (lanaIndex >= 0 && g_PrimaryLana.compare_exchange_strong(expected, lanaIndex))
    theDebugLog.Trace("XNBFSocket[%d]::Receive() Find Primary LANA %d", m_ID, m_Lana[slot]);
  const int primary = g_PrimaryLana.load();
  if (primary < 0 || m_Lana[slot] != g_LanaTable[primary]) {
    // Another LANA won: its receives are not armed again and fall silent.
    ResetEvent(event);
    return 0;
  }

  const NCB& ncb = m_NCB[slot][index];
  // A receive that ended without a datagram (cancelled, its name gone) carries none.
  const bool datagram = ncb.ncb_retcode == NRC_GOODRET || ncb.ncb_retcode == NRC_INCOMP;
  int length = datagram ? std::min<int>(ncb.ncb_length, kNBDatagramSize) : 0;
  length = std::min(length, buffer ? std::max(size, 0) : 0);
  std::memset(m_SenderName, 0, sizeof m_SenderName);
  std::memcpy(m_SenderName, ncb.ncb_callname, strnlen(reinterpret_cast<const char*>(ncb.ncb_callname), NCBNAMSZ));
  if (length > 0) std::memcpy(buffer, m_pRecvBuffer[slot][index], static_cast<std::size_t>(length));
  // The datagram is the caller's even when its receive cannot be armed again.
  if (!SetAsyncReceive(slot, index)) ResetEvent(event);
  return length;
}
