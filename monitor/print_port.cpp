// The port object: construction, open and close, the queue lock, the job threads.
#include "print_port.h"

#include <cstring>

#include "active_jobs.h"
#include "debug_log.h"
#include "job_threads.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/memory.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "monitor_globals.h"
#include "print_messages.h"
#include "ring_buffer.h"
#include "system_helpers.h"
#include "xipx_socket.h"
#include "xnbf_socket.h"
#include "xudp_socket.h"

BOOL IsEventSet(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

DWORD ElapsedSince(std::atomic<DWORD>& tick, DWORD now) {
  DWORD then = tick.load();
  if (static_cast<LONG>(then - now) > 0) {
    tick.store(now);
    then = now;
  }
  return now - then;
}

CPrintPort::CPrintPort()
    : m_hEndEvent(nullptr),
      m_hStatusEvent(nullptr),
      m_hJobCheckEvent(nullptr),
      m_hQueueCheckEvent(nullptr),
      m_hSendEvent(nullptr),
      m_hEndDocEvent(nullptr),
      m_hCloseEvent(nullptr),
      m_hMutex(nullptr),
      m_hQueryThreadDone(nullptr),
      m_hPrintThreadDone(nullptr),
      m_hWakeEvent(nullptr),
      m_hDataEvent(nullptr),
      m_hRoomEvent(nullptr),
      m_RoomWanted(0),
      m_bOpened(FALSE),
      m_bConnected(FALSE),
      m_bThreadsRunning(FALSE),
      m_bJobDeleted(FALSE),
      m_bJobStarted(FALSE),
      m_LastSendTick(0),
      m_LastStatusTick(0),
      m_bCanSend(FALSE),
      m_bShortPacket(FALSE),
      m_Sequence(0),
      m_Packets(1),
      m_DataLength(kMinDataLength),
      m_SlotLength{},
      m_SlotPending{},
      m_PendingSkip(0),
      m_Model(0),
      m_PacketType(PACKET_TYPE_IPX),
      m_Handle(g_NextPortHandle.fetch_add(1)),
      m_pPrintThread(nullptr),
      m_pStatusThread(nullptr),
      m_pPrintSocket(nullptr),
      m_pStatusSocket(nullptr),
      m_PortName{},
      m_PSName{},
      m_Network{},
      m_NodeID{},
      m_IPAddress{},
      m_PortID(1),
      m_RetryTimeout(90),
      m_ErrorCode(0),
      m_JobsInQueue(0),
      m_hPrinter(nullptr),
      m_JobId(0),
      m_pQueue(nullptr),
      m_pSendBuffer(nullptr),
      m_pReceiveBuffer(nullptr),
      m_BytesQueued(0),
      m_BytesAcked(0),
      m_TimeOuts{},
      m_Holds(0),
      m_hPacketBlock(nullptr),
      m_bActiveJobCounted(FALSE),
      m_Reported(-1),
      m_ReportTick(0) {}

CPrintPort::~CPrintPort() { ClosePrintPort(); }

BOOL CPrintPort::CreateEvents() {
  HANDLE* events[] = {&m_hEndEvent,       &m_hStatusEvent,     &m_hJobCheckEvent, &m_hQueueCheckEvent,
                      &m_hSendEvent,      &m_hEndDocEvent,     &m_hCloseEvent,    &m_hQueryThreadDone,
                      &m_hPrintThreadDone, &m_hWakeEvent,      &m_hDataEvent,     &m_hRoomEvent};
  for (HANDLE* event : events) {
    *event = CreateEventW(nullptr, TRUE, event == &m_hEndEvent ? TRUE : FALSE, nullptr);
    if (*event == nullptr) return FALSE;
  }
  m_hMutex = CreateMutexW(nullptr, FALSE, nullptr);
  return m_hMutex != nullptr;
}

void CPrintPort::CloseEvents() {
  HANDLE* handles[] = {&m_hEndEvent,       &m_hStatusEvent,     &m_hJobCheckEvent, &m_hQueueCheckEvent,
                       &m_hSendEvent,      &m_hEndDocEvent,     &m_hCloseEvent,    &m_hQueryThreadDone,
                       &m_hPrintThreadDone, &m_hWakeEvent,      &m_hDataEvent,     &m_hRoomEvent,
                       &m_hMutex};
  for (HANDLE* handle : handles) {
    if (*handle) CloseHandle(*handle);
    *handle = nullptr;
  }
}

BOOL CPrintPort::OpenPrintPort() {
  if (m_bOpened) {
    theDebugLog.Trace("[%s]::OpenPrintPort() Open Twice !", m_PortName);
    return FALSE;
  }
  if (!CreateEvents()) {
    DWORD error = GetLastError();
    theDebugLog.Trace("[%s]::OpenPrintPort() = %d[Create Event Error]", m_PortName, error);
    CloseEvents();
    SetLastError(error);
    return FALSE;
  }
  m_pQueue = new XRingBuffer;
  m_hPacketBlock = GlobalAlloc(GHND, kPacketBlockSize);
  m_pSendBuffer = m_hPacketBlock ? static_cast<BYTE*>(GlobalLock(m_hPacketBlock)) : nullptr;
  if (!m_pQueue->Create(kQueueSize) || m_pSendBuffer == nullptr) {
    delete m_pQueue;
    m_pQueue = nullptr;
    if (m_hPacketBlock) {
      GlobalUnlock(m_hPacketBlock);
      GlobalFree(m_hPacketBlock);
    }
    m_hPacketBlock = nullptr;
    m_pSendBuffer = nullptr;
    CloseEvents();
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  m_pReceiveBuffer = m_pSendBuffer + kReceiveAreaOffset;
  m_JobsInQueue = 0;
  m_hPrinter = nullptr;
  m_bThreadsRunning = FALSE;
  m_pPrintThread = nullptr;
  m_pStatusThread = nullptr;
  m_bConnected = FALSE;
  m_bJobStarted = FALSE;
  m_bOpened = TRUE;
  theDebugLog.Trace("[%s]::OpenPrintPort() OK !", m_PortName);
  return TRUE;
}

BOOL CPrintPort::ClosePrintPort() {
  if (!m_bOpened) return TRUE;
  SetEvent(m_hCloseEvent);
  // A close during a job, or with a connection kept for the printer's next job:
  // the threads end before the events they wait on go.
  if (m_bThreadsRunning || m_pPrintThread || m_pStatusThread) StopJobThreads();
  ReleaseConnectionObjects();
  m_bJobStarted = FALSE;
  m_bConnected = FALSE;
  CloseEvents();
  delete m_pQueue;
  m_pQueue = nullptr;
  if (m_hPacketBlock) {
    GlobalUnlock(m_hPacketBlock);
    GlobalFree(m_hPacketBlock);
  }
  m_hPacketBlock = nullptr;
  m_pSendBuffer = nullptr;
  m_pReceiveBuffer = nullptr;
  m_bOpened = FALSE;
  theDebugLog.Trace("[%s]::ClosePrintPort() OK !", m_PortName);
  return TRUE;
}

BOOL CPrintPort::IsJobActive() { return m_bOpened && !IsEventSet(m_hEndEvent); }

BOOL CPrintPort::IsStopRequested() {
  return IsEventSet(g_hShutdownEvent) || IsEventSet(m_hEndEvent) || IsEventSet(m_hCloseEvent);
}

BOOL CPrintPort::WaitForStop(DWORD milliseconds, HANDLE extra) {
  HANDLE handles[4] = {g_hShutdownEvent, m_hEndEvent, m_hCloseEvent, extra};
  DWORD count = extra ? 4 : 3;
  DWORD result = WaitForMultipleObjects(count, handles, FALSE, milliseconds);
  return result < 3 ? TRUE : FALSE;
}

BOOL CPrintPort::LockQueue() {
  HANDLE handles[4] = {g_hShutdownEvent, m_hEndEvent, m_hCloseEvent, m_hMutex};
  DWORD result = WaitForMultipleObjects(4, handles, FALSE, 1200);
  return result == WAIT_OBJECT_0 + 3 || result == WAIT_ABANDONED_0 + 3 ? TRUE : FALSE;
}

void CPrintPort::UnlockQueue() { ReleaseMutex(m_hMutex); }

BOOL CPrintPort::TransportSupported() const {
  WORD supported = g_SupportedProtocols.load();
  switch (m_PacketType) {
    case PACKET_TYPE_IPX: return (supported & PROTOCOL_IPX) != 0;
    case PACKET_TYPE_UDP: return (supported & PROTOCOL_UDP) != 0;
    case PACKET_TYPE_NETBEUI: return (supported & PROTOCOL_NETBEUI) != 0;
    default: return FALSE;
  }
}

XSocket* CPrintPort::MakeSocket() const {
  switch (m_PacketType) {
    case PACKET_TYPE_IPX: return new XIPXSocket;
    case PACKET_TYPE_UDP: return new XUDPSocket;
    case PACKET_TYPE_NETBEUI: return new XNBFSocket(kPrintNCBs);
    default: return nullptr;
  }
}

BOOL CPrintPort::StartJobThreads(LPCWSTR printerName) {
  m_pPrintSocket = MakeSocket();
  m_pStatusSocket = MakeSocket();
  if (!m_pPrintSocket || !m_pStatusSocket || !m_pPrintSocket->Create(kPrintPacketType) ||
      !m_pStatusSocket->Create(kPrintPacketType)) {
    ReleaseConnectionObjects();
    return FALSE;
  }
  if (!OpenPrinterW(printerName, &m_hPrinter, nullptr)) {
    theDebugLog.Trace("[%s]::StartPrintPort() = %d[Open Printer Failed]", m_PortName, GetLastError());
    m_hPrinter = nullptr;
  }
  auto* status = static_cast<CQueryStatusThread*>(
      AfxBeginThread(RUNTIME_CLASS(CQueryStatusThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
  auto* service = static_cast<CPrintServiceThread*>(
      AfxBeginThread(RUNTIME_CLASS(CPrintServiceThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
  if (status) status->m_bAutoDelete = FALSE;
  if (service) service->m_bAutoDelete = FALSE;
  m_pStatusThread = status;
  m_pPrintThread = service;
  m_bThreadsRunning = TRUE;
  for (CWinThread* thread : {static_cast<CWinThread*>(status), static_cast<CWinThread*>(service)}) {
    if (thread == nullptr) continue;
    if (thread == status) status->m_pPort = this;
    if (thread == service) service->m_pPort = this;
    thread->ResumeThread();
    // Advice to the scheduler; a refusal changes nothing.
    thread->SetThreadPriority(THREAD_PRIORITY_LOWEST);
  }
  AddActiveJob();
  m_bActiveJobCounted = TRUE;
  return status && service;
}

void CPrintPort::StopJobThreads() {
  theDebugLog.Trace("[%s]::EndPrintPort() Set Stop Event", m_PortName);
  m_bThreadsRunning = FALSE;
  SetEvent(m_hEndEvent);
  if (m_bActiveJobCounted) {
    m_bActiveJobCounted = FALSE;
    ReleaseActiveJob();
  }
  // Only the threads that were made are waited for, and each is joined, so
  // nothing of it runs once the port lets go of its sockets and events.
  if (m_pStatusThread) {
    while (WaitForSingleObject(m_hQueryThreadDone, 1000) != WAIT_OBJECT_0) {
    }
    WaitForSingleObject(m_pStatusThread->m_hThread, INFINITE);
    delete m_pStatusThread;
    m_pStatusThread = nullptr;
  }
  if (m_pPrintThread) {
    while (WaitForSingleObject(m_hPrintThreadDone, 1000) != WAIT_OBJECT_0) {
    }
    WaitForSingleObject(m_pPrintThread->m_hThread, INFINITE);
    delete m_pPrintThread;
    m_pPrintThread = nullptr;
  }
  ReleaseConnectionObjects();
}

void CPrintPort::ReleaseConnectionObjects() {
  for (XSocket** socket : {&m_pPrintSocket, &m_pStatusSocket}) {
    if (*socket) {
      (*socket)->Close();
      delete *socket;
      *socket = nullptr;
    }
  }
  if (m_hPrinter) {
    ClosePrinter(m_hPrinter);
    m_hPrinter = nullptr;
  }
}

BOOL CPrintPort::GetPrinterData(DWORD /*controlId*/, LPCWSTR /*valueName*/, LPCWSTR /*inBuffer*/, DWORD /*inSize*/,
                                LPWSTR /*outBuffer*/, DWORD /*outSize*/, LPDWORD returned) {
  if (returned) *returned = 0;
  return FALSE;
}
