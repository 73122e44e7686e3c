// The process's SOCKET handles. Values are never reused, so a closed socket reads
// WSAENOTSOCK instead of reaching a socket opened since. Thread-safe.
#pragma once

#include <memory>
#include <vector>

#include "net/socket_impl.h"
#include "net/winsock.h"

namespace vek::net {

SOCKET RegisterSocket(std::shared_ptr<SocketImpl> impl);
// The socket behind a handle, or null. The caller's reference keeps the object
// alive through a concurrent closesocket.
std::shared_ptr<SocketImpl> LookupSocket(SOCKET s);
// Takes the socket out of the table; null when the handle is unknown.
std::shared_ptr<SocketImpl> UnregisterSocket(SOCKET s);
// Empties the table (last WSACleanup).
std::vector<std::shared_ptr<SocketImpl>> UnregisterAllSockets();

}  // namespace vek::net
