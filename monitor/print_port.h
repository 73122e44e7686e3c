// CPrintPort: one network printer port of the monitor, bound to one printer port
// of one print server, and the machinery that carries one spooler job at a time
// to it. Written bytes go into a ring buffer; the job threads move them to the
// device and watch the device's status and the spooler's job.
//
// Threads: the spooler's thread opens, starts, writes, ends and closes; the
// service thread sends and takes acknowledgements; the status thread queries the
// device and the spooler. The queue is touched only under m_hMutex; the flags,
// ticks and counters they share are atomics; the events carry the hand-offs.
#pragma once

#include <atomic>

#include "kernel/types.h"
#include "registry/registry.h"
#include "spooler/winspool.h"
#include "system_helpers.h"

class XSocket;
class XRingBuffer;
class CPrintServiceThread;
class CQueryStatusThread;

constexpr int kPortNameLength = 20;
constexpr int kPSNameLength = 18;
constexpr int kQueueSize = 0x60000;
constexpr int kPacketBlockSize = 2700;
constexpr int kReceiveAreaOffset = 1500;
// Silence after which the write and end paths ask for the device's status.
constexpr DWORD kStatusKickMs = 8000;

class CPrintPort {
 public:
  CPrintPort();
  virtual ~CPrintPort();
  CPrintPort(const CPrintPort&) = delete;
  CPrintPort& operator=(const CPrintPort&) = delete;

  // The registry record under the monitor's Ports key.
  BOOL Save();
  BOOL Load();
  // The record under another key of the monitor (the wizard's TempPort hand-over).
  BOOL LoadFrom(HKEY parent, LPCWSTR subKey);
  BOOL Delete();
  void GetDescription(LPWSTR out, int size) const;

  // The spooler's operations.
  BOOL OpenPrintPort();
  BOOL ClosePrintPort();
  BOOL StartPrintPort(LPCWSTR printerName, DWORD jobId);
  BOOL WritePrintData(const BYTE* data, DWORD length, LPDWORD written);
  BOOL EndPrintPort();
  BOOL GetPrinterData(DWORD controlId, LPCWSTR valueName, LPCWSTR inBuffer, DWORD inSize, LPWSTR outBuffer,
                      DWORD outSize, LPDWORD returned);

  BOOL IsJobActive();
  BOOL IsJobDeleted();
  BOOL JobsInQueue();
  BOOL LockQueue();
  void UnlockQueue();
  BOOL IsStopRequested();

  // The device exchanges.
  BOOL GetPrintServerStatus(int* status);
  BOOL CreateConnection(int* status);
  BOOL SendPrintData();
  BOOL ReceiveAck();
  BOOL DestroyConnection();
  // The service thread, holding the device's permission, before it builds a
  // window: FALSE when the window would be empty and the document ended or a stop
  // came; else TRUE, once there is something to send or the wait ran out.
  BOOL AwaitData();

  // Events (all manual-reset).
  HANDLE m_hEndEvent;         // signalled: no job running; setting it ends the job threads
  HANDLE m_hStatusEvent;      // query the device status (stays set while it is not clear)
  HANDLE m_hJobCheckEvent;    // ask the spooler whether the job is being deleted
  HANDLE m_hQueueCheckEvent;  // count the printer's jobs
  HANDLE m_hSendEvent;        // set while there is data to send
  HANDLE m_hEndDocEvent;      // the spooler has ended the document
  HANDLE m_hCloseEvent;       // the port is closed
  HANDLE m_hMutex;            // guards m_pQueue
  HANDLE m_hQueryThreadDone;
  HANDLE m_hPrintThreadDone;
  // A spooler call waiting on the job should look again: the data is all
  // acknowledged, or the job was found deleted.
  HANDLE m_hWakeEvent;
  // The service thread should look at the queue again: a write queued bytes.
  HANDLE m_hDataEvent;
  // A write waiting for room should look again: acknowledgements made the room
  // it waits for (m_RoomWanted bytes, 0 while no write waits).
  HANDLE m_hRoomEvent;
  std::atomic<int> m_RoomWanted;

  std::atomic<BOOL> m_bOpened;
  std::atomic<BOOL> m_bConnected;
  std::atomic<BOOL> m_bThreadsRunning;
  std::atomic<BOOL> m_bJobDeleted;
  std::atomic<BOOL> m_bJobStarted;
  std::atomic<DWORD> m_LastSendTick;
  std::atomic<DWORD> m_LastStatusTick;
  std::atomic<BOOL> m_bCanSend;
  std::atomic<BOOL> m_bShortPacket;

  // The window (service thread).
  BYTE m_Sequence;  // sequence of slot 0
  int m_Packets;    // window size, 1 to 8
  int m_DataLength;
  int m_SlotLength[8];
  int m_SlotPending[8];
  // Acknowledged bytes not yet taken off the queue (its lock was not had).
  int m_PendingSkip;

  int m_Model;       // 0 older ("QI"), 1 "NET"
  int m_PacketType;  // PACKET_TYPE_IPX, _UDP, _NETBEUI
  int m_Handle;

  CPrintServiceThread* m_pPrintThread;
  CQueryStatusThread* m_pStatusThread;
  XSocket* m_pPrintSocket;
  XSocket* m_pStatusSocket;

  WCHAR m_PortName[kPortNameLength + 1];
  char m_PSName[kPSNameLength + 1];
  BYTE m_Network[4];
  BYTE m_NodeID[6];
  BYTE m_IPAddress[4];
  signed char m_PortID;
  int m_RetryTimeout;  // seconds

  std::atomic<int> m_ErrorCode;  // 0, ERROR_OUT_OF_PAPER or ERROR_IO_DEVICE
  std::atomic<int> m_JobsInQueue;
  HANDLE m_hPrinter;
  DWORD m_JobId;
  XRingBuffer* m_pQueue;
  BYTE* m_pSendBuffer;
  BYTE* m_pReceiveBuffer;
  std::atomic<LONGLONG> m_BytesQueued;
  std::atomic<LONGLONG> m_BytesAcked;
  COMMTIMEOUTS m_TimeOuts;

  // Lookups of the spooler's calls in flight (the port list holds them).
  std::atomic<int> m_Holds;

  // Device addressing: the whole destination; the device port alone; a receive
  // that takes only the device's datagrams.
  void AimAtDevice(XSocket* socket);
  void RestoreDevicePort(XSocket* socket);
  // waitingOnly: takes only what has already arrived, never waits for more.
  int ReceiveFromDevice(XSocket* socket, BYTE* buffer, int size, BOOL waitingOnly = FALSE);

 private:
  BOOL TransportSupported() const;
  BOOL StartJobThreads(LPCWSTR printerName);
  void StopJobThreads();
  void ReleaseConnectionObjects();
  XSocket* MakeSocket() const;
  BOOL WaitForStop(DWORD milliseconds, HANDLE extra = nullptr);
  // The device's state as the spooler is told it while the job waits: what the
  // write path would fail with after this much silence. Reported on a change,
  // and a state that is not clear again once repeatMs passed (each time again is
  // a try the spooler counts).
  PortReport SilenceReport(DWORD sinceSend) const;
  void ReportDeviceState(PortReport report, DWORD repeatMs = INFINITE);
  void ForgetReportedState();
  BOOL IsSenderDevice(XSocket* socket) const;
  BOOL DrainedAtEndOfDocument();
  void FinishSending();
  void ApplyPendingSkip();
  // The write path's waits for room; arming and offering with the queue lock held.
  BOOL WriteThrottled() const;
  void ArmRoomWait(int wanted);
  void OfferRoom();
  // The service thread's waits for bytes to send.
  DWORD WaitForData(DWORD milliseconds);
  void DiscardIdleAcks();
  void ResetWindow();
  BOOL CreateEvents();
  void CloseEvents();

  HGLOBAL m_hPacketBlock;
  BOOL m_bActiveJobCounted;
  // The state last reported to the spooler and when, -1 when the port's status is
  // not known to be this port's (the spooler's thread only): then whatever an
  // earlier process left is cleared at the connection. Once this port has
  // cleared it at a job's end, the next connection has nothing to clear.
  int m_Reported;
  DWORD m_ReportTick;
};

// Whether a manual-reset event is set, without waiting.
BOOL IsEventSet(HANDLE event);
// A tick that lies in the future is set to the present before a difference.
DWORD ElapsedSince(std::atomic<DWORD>& tick, DWORD now);
