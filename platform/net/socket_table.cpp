#include "net/socket_table.h"

#include <mutex>
#include <unordered_map>
#include <utility>

namespace vek::net {
namespace {

struct Table {
  std::mutex lock;
  std::unordered_map<SOCKET, std::shared_ptr<SocketImpl>> sockets;
  // Starts away from 0 and small values, which system code may treat as "none";
  // steps by 4 as Windows handles do.
  SOCKET next = 0x100;
};

Table& TheTable() {
  static Table* table = new Table;  // never destroyed: sockets may be closed from atexit code
  return *table;
}

}  // namespace

SOCKET RegisterSocket(std::shared_ptr<SocketImpl> impl) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  SOCKET handle = table.next;
  table.next += 4;
  table.sockets.emplace(handle, std::move(impl));
  return handle;
}

std::shared_ptr<SocketImpl> LookupSocket(SOCKET s) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  auto it = table.sockets.find(s);
  return it == table.sockets.end() ? nullptr : it->second;
}

std::shared_ptr<SocketImpl> UnregisterSocket(SOCKET s) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  auto it = table.sockets.find(s);
  if (it == table.sockets.end()) return nullptr;
  std::shared_ptr<SocketImpl> impl = std::move(it->second);
  table.sockets.erase(it);
  return impl;
}

std::vector<std::shared_ptr<SocketImpl>> UnregisterAllSockets() {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  std::vector<std::shared_ptr<SocketImpl>> all;
  all.reserve(table.sockets.size());
  for (auto& entry : table.sockets) all.push_back(std::move(entry.second));
  table.sockets.clear();
  return all;
}

}  // namespace vek::net
