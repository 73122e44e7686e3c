#include "protocol/print_server_list.h"

#include <cstring>

CPrintServerList g_PrintServerList;

CPrintServerList::~CPrintServerList() { DeleteAll(); }

CPrintServer* CPrintServerList::FindPrintServer(const BYTE* nodeID) const {
  if (nodeID == NULL) return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    auto* server = static_cast<CPrintServer*>(GetNext(pos));
    if (server != NULL && std::memcmp(server->m_NodeID, nodeID, sizeof(server->m_NodeID)) == 0) return server;
  }
  return NULL;
}

void CPrintServerList::DeleteAll() {
  while (!IsEmpty()) {
    auto* server = static_cast<CPrintServer*>(RemoveHead());
    if (server == NULL) continue;
    server->Reset();
    delete server;
  }
}

CPrintServer* FindPrintServer(const BYTE* nodeID) { return g_PrintServerList.FindPrintServer(nodeID); }
