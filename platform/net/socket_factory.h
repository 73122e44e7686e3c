// Which implementation a socket() call gets.
#pragma once

#include <memory>

#include "net/socket_impl.h"

namespace vek::net {

// Null with *error set for a combination no transport offers.
std::shared_ptr<SocketImpl> CreateSocketImpl(int af, int type, int protocol, DWORD* error);

}  // namespace vek::net
