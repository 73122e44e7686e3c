#include "ps_info.h"

#include <cstring>

#include "kernel/memory.h"
#include "monitor_globals.h"

CPSInfo::CPSInfo()
    : m_Model(0),
      m_PacketType(0),
      m_Name{},
      m_PSName{},
      m_Network{},
      m_NodeID{},
      m_IPAddress{},
      m_PortID(0),
      m_Version{},
      m_bLate(0),
      m_pReply(nullptr),
      m_ReplyLength(0) {}

CPSInfo::~CPSInfo() {
  if (m_pReply) GlobalFree(GlobalHandle(m_pReply));
}

CPSInfo* PSInfoAt(int index) {
  if (index < 0 || index >= g_PSInfoList.GetCount()) return nullptr;
  POSITION position = g_PSInfoList.FindIndex(index);
  return position ? static_cast<CPSInfo*>(g_PSInfoList.GetAt(position)) : nullptr;
}

void FreePSInfoList() {
  while (!g_PSInfoList.IsEmpty()) delete static_cast<CPSInfo*>(g_PSInfoList.RemoveHead());
}
