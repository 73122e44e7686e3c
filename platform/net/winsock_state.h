// Whether WSAStartup is in force: Winsock calls fail with WSANOTINITIALISED before
// it and after the last WSACleanup, as on Windows.
#pragma once

namespace vek::net {

bool WinsockStarted();

}  // namespace vek::net
