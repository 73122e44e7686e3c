// The exchanges that frame a job: the status query, the connection with its
// negotiation, and the end of the job.
#include <cstring>

#include "debug_log.h"
#include "monitor_globals.h"
#include "print_messages.h"
#include "print_port.h"
#include "xipx_socket.h"
#include "xnbf_socket.h"
#include "xsocket.h"

namespace {

constexpr int kConnectAttempts = 10;
constexpr int kEndOfJobAttempts = 10;
// Replies read per end-of-job attempt: a device that keeps acknowledging cannot
// hold the end forever.
constexpr int kMaxRepliesPerAttempt = 64;

}  // namespace

BOOL CPrintPort::GetPrintServerStatus(int* status) {
  *status = 0;
  if (m_pStatusSocket == nullptr) return FALSE;
  // The status thread's own buffers: the sender builds its packets meanwhile.
  BYTE query[kRequestLength];
  BYTE reply[kReplyBufferSize];
  int length = BuildStatusQuery(query, m_Model, m_PacketType);
  AimAtDevice(m_pStatusSocket);
  m_pStatusSocket->Send(query, length);
  int n = ReceiveFromDevice(m_pStatusSocket, reply, sizeof reply);
  BYTE statusByte = 0;
  if (n <= 0 || !ReadStatusReply(reply, n, m_Model, m_PacketType, &statusByte)) {
    theDebugLog.Trace("[%s]::GetPrintServerStatus() Failed !", m_PortName);
    return FALSE;
  }
  *status = PortStatus(statusByte, m_PortID);
  theDebugLog.Trace("[%s]::GetPrintServerStatus() Status = %x", m_PortName, *status);
  return TRUE;
}

BOOL CPrintPort::CreateConnection(int* status) {
  *status = 0;
  if (m_pPrintSocket == nullptr) return FALSE;
  int length = BuildConnect(m_pSendBuffer, m_Model, m_PacketType, m_PortID);
  // Nothing a previous job left in the receive buffers is read as this one's.
  if (auto* nbf = dynamic_cast<XNBFSocket*>(m_pPrintSocket)) nbf->ClearBuffers();
  AimAtDevice(m_pPrintSocket);
  for (int attempt = 1; attempt <= kConnectAttempts; attempt++) {
    RestoreDevicePort(m_pPrintSocket);
    auto* ipx = dynamic_cast<XIPXSocket*>(m_pPrintSocket);
    if (ipx && attempt == kConnectAttempts) {
      ipx->SendToAllNetworks(m_pSendBuffer, length);
    } else {
      m_pPrintSocket->Send(m_pSendBuffer, length);
    }
    if (IsStopRequested()) return FALSE;
    int n = ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize);
    if (n <= 0) continue;
    // The device's own network, whichever network the request went out on.
    if (ipx) std::memcpy(m_Network, ipx->m_Address.sa_netnum, 4);
    BYTE replyStatus = 0;
    int offeredLength = 0;
    int offeredWindow = 0;
    if (!ReadConnectReply(m_pReceiveBuffer, n, m_Model, m_PacketType, &replyStatus, &offeredLength, &offeredWindow))
      continue;
    *status = replyStatus;
    NegotiateConnection(m_Model, m_PacketType, offeredLength, offeredWindow, &m_DataLength, &m_Packets);
    theDebugLog.Trace("[%s]::CreateConnection() Packets = %d, DataLength = %d", m_PortName, m_Packets, m_DataLength);
    return TRUE;
  }
  theDebugLog.Trace("[%s]::CreateConnection() Failed !", m_PortName);
  return FALSE;
}

BOOL CPrintPort::DestroyConnection() {
  if (m_pPrintSocket == nullptr) return FALSE;
  int length = BuildEndOfJob(m_pSendBuffer, m_Model, m_PacketType, m_PortID);
  for (int attempt = 0; attempt < kEndOfJobAttempts; attempt++) {
    RestoreDevicePort(m_pPrintSocket);
    m_pPrintSocket->Send(m_pSendBuffer, length);
    for (int reply = 0; reply < kMaxRepliesPerAttempt; reply++) {
      int n = ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize);
      if (n <= 0) break;
      if (IsEndOfJobReply(m_pReceiveBuffer, n, m_Model, m_PacketType)) {
        theDebugLog.Trace("[%s]::DestroyConnection() OK !", m_PortName);
        return TRUE;
      }
    }
  }
  theDebugLog.Trace("[%s]::DestroyConnection() Failed !", m_PortName);
  return FALSE;
}
