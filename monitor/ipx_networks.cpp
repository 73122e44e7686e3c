#include "ipx_networks.h"

#include <cstring>
#include <mutex>

#include "debug_log.h"
#include "kernel/clock.h"
#include "xipx_socket.h"

BYTE g_IPXNetworks[kMaxIPXNetworks][kIPXNetworkEntrySize];
int g_IPXNetworkCount = 1;

namespace {

// The print path and the port dialog's search may rebuild the table at once; a
// reader never sees it half written.
std::mutex g_IPXNetworkLock;

constexpr int kRIPRequestLength = 402;
constexpr int kRIPReplyBuffer = 1024;
constexpr DWORD kRIPListenMs = 300;
constexpr WORD kRIPResponse = 0x0002;

void Publish(const BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize], int count) {
  std::lock_guard guard(g_IPXNetworkLock);
  std::memcpy(g_IPXNetworks, table, sizeof g_IPXNetworks);
  g_IPXNetworkCount = count;
}

}  // namespace

void ResetIPXNetworks() {
  BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize] = {};
  Publish(table, 1);
}

int CopyIPXNetworks(BYTE out[kMaxIPXNetworks][kIPXNetworkEntrySize]) {
  std::lock_guard guard(g_IPXNetworkLock);
  std::memcpy(out, g_IPXNetworks, sizeof g_IPXNetworks);
  return g_IPXNetworkCount;
}

void AddRIPEntries(const BYTE* reply, int length, BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize], int* count) {
  if (length < 10) return;
  // Only answers: another station's request lists network FF-FF-FF-FF.
  if (((reply[0] << 8) | reply[1]) != kRIPResponse) return;
  int entries = (length - 2) / kIPXNetworkEntrySize;
  for (int e = 0; e < entries; e++) {
    const BYTE* entry = reply + 2 + e * kIPXNetworkEntrySize;
    bool known = false;
    for (int i = 0; i < *count && !known; i++) known = std::memcmp(table[i], entry, 4) == 0;
    if (known) continue;
    if (*count >= kMaxIPXNetworks) return;
    std::memcpy(table[*count], entry, kIPXNetworkEntrySize);
    ++*count;
    theDebugLog.Trace("IPXSearchAllNetworks() RIP Get Network : %2.2X-%2.2X-%2.2X-%2.2X", entry[0], entry[1], entry[2],
                      entry[3]);
  }
}

void IPXSearchAllNetworks() {
  // Built aside, published whole.
  BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize] = {};
  int count = 1;

  XIPXSocket socket;
  std::memset(socket.m_Address.sa_nodenum, 0xFF, sizeof socket.m_Address.sa_nodenum);
  socket.m_Address.sa_family = AF_IPX;
  socket.m_Address.sa_socket = htons(kRIPSocket);

  BYTE request[512] = {};
  request[0] = 0x00;
  request[1] = 0x01;  // request
  std::memset(request + 2, 0xFF, 4);  // every network

  if (socket.Create(1)) {
    socket.EnableBroadcast(TRUE);
    socket.Send(request, kRIPRequestLength);
    socket.Send(request, kRIPRequestLength);
    DWORD start = GetTickCount();
    BYTE reply[kRIPReplyBuffer];
    while (static_cast<DWORD>(GetTickCount() - start) < kRIPListenMs) {
      if (socket.IsEmpty()) {
        // A short pause keeps the poll from taking a whole processor.
        Sleep(1);
        continue;
      }
      int n = socket.Receive(reply, sizeof reply);
      if (n > 0) AddRIPEntries(reply, n, table, &count);
    }
    socket.Close();
  }
  Publish(table, count);
}
