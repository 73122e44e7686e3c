// CPSInfo: one printer port of a print server the port dialog's search found,
// and g_PSInfoList, the records of the last search in the order they were made
// (row i of the dialog's list shows record i).
#pragma once

#include "kernel/types.h"

class CPSInfo {
 public:
  CPSInfo();
  // Frees the reply copy.
  virtual ~CPSInfo();
  CPSInfo(const CPSInfo&) = delete;
  CPSInfo& operator=(const CPSInfo&) = delete;

  int m_Model;         // 0: answered in an older layout ("QI", or the NetBEUI pair); 1: "NET"
  int m_PacketType;    // the transport it was found on: 0 IPX, 1 TCP/IP, 2 NetBEUI
  char m_Name[19];     // the device name, 18 bytes of the reply and a zero
  char m_PSName[19];   // NetBEUI: the sender's NetBIOS name
  BYTE m_Network[4];   // IPX: the sender's network
  BYTE m_NodeID[6];    // the server's MAC address
  BYTE m_IPAddress[4]; // TCP/IP: the server's address from the reply
  BYTE m_PortID;       // the printer port on the server, from 1
  BYTE m_Version[2];   // shown as "%X.%02X"
  int m_bLate;         // answered only the unflagged request (TCP/IP)
  BYTE* m_pReply;      // a copy of the whole reply, or null
  int m_ReplyLength;
};

// The record of row `index`, or null.
CPSInfo* PSInfoAt(int index);
// Removes and frees every record (the dialog also empties its list first).
void FreePSInfoList();
