// The Winsock socket calls: check the handle and the generic arguments, call the
// socket's implementation, and turn its result into SOCKET_ERROR and the last error.
#include <memory>

#include "kernel/lasterror.h"
#include "net/socket_factory.h"
#include "net/socket_table.h"
#include "net/winsock.h"
#include "net/winsock_state.h"

namespace {

using vek::net::SocketImpl;

int Fail(DWORD error) {
  SetLastError(error);
  return SOCKET_ERROR;
}

// The socket behind s, or null with the last error set.
std::shared_ptr<SocketImpl> Find(SOCKET s) {
  if (!vek::net::WinsockStarted()) {
    SetLastError(WSANOTINITIALISED);
    return nullptr;
  }
  std::shared_ptr<SocketImpl> impl = vek::net::LookupSocket(s);
  if (!impl) SetLastError(WSAENOTSOCK);
  return impl;
}

bool BufferValid(const char* buffer, int length) { return length >= 0 && (buffer != nullptr || length == 0); }

}  // namespace

SOCKET socket(int af, int type, int protocol) {
  if (!vek::net::WinsockStarted()) {
    SetLastError(WSANOTINITIALISED);
    return INVALID_SOCKET;
  }
  DWORD error = 0;
  std::shared_ptr<SocketImpl> impl = vek::net::CreateSocketImpl(af, type, protocol, &error);
  if (!impl) {
    SetLastError(error != 0 ? error : static_cast<DWORD>(WSAEINVAL));
    return INVALID_SOCKET;
  }
  return vek::net::RegisterSocket(std::move(impl));
}

int closesocket(SOCKET s) {
  if (!vek::net::WinsockStarted()) return Fail(WSANOTINITIALISED);
  std::shared_ptr<SocketImpl> impl = vek::net::UnregisterSocket(s);
  if (!impl) return Fail(WSAENOTSOCK);
  impl->Close();
  return 0;
}

int bind(SOCKET s, const sockaddr* name, int namelen) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (DWORD error = impl->Bind(name, namelen)) return Fail(error);
  return 0;
}

int getsockname(SOCKET s, sockaddr* name, int* namelen) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (name == nullptr || namelen == nullptr) return Fail(WSAEFAULT);
  if (DWORD error = impl->GetSockName(name, namelen)) return Fail(error);
  return 0;
}

int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (optlen < 0 || (optval == nullptr && optlen > 0)) return Fail(WSAEFAULT);
  if (DWORD error = impl->SetOption(level, optname, optval, optlen)) return Fail(error);
  return 0;
}

int getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (optval == nullptr || optlen == nullptr || *optlen < 0) return Fail(WSAEFAULT);
  if (DWORD error = impl->GetOption(level, optname, optval, optlen)) return Fail(error);
  return 0;
}

int ioctlsocket(SOCKET s, long cmd, u_long* argp) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (argp == nullptr) return Fail(WSAEFAULT);
  // Windows commands are 32-bit; a caller's long may hold them sign-extended or not.
  if (DWORD error = impl->Ioctl(static_cast<u_long>(cmd), argp)) return Fail(error);
  return 0;
}

int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (!BufferValid(buf, len)) return Fail(WSAEFAULT);
  int sent = 0;
  if (DWORD error = impl->SendTo(buf, len, flags, to, tolen, &sent)) return Fail(error);
  return sent;
}

int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) {
  auto impl = Find(s);
  if (!impl) return SOCKET_ERROR;
  if (!BufferValid(buf, len)) return Fail(WSAEFAULT);
  if (from != nullptr && fromlen == nullptr) return Fail(WSAEFAULT);
  int received = 0;
  if (DWORD error = impl->RecvFrom(buf, len, flags, from, fromlen, &received)) return Fail(error);
  return received;
}

int recv(SOCKET s, char* buf, int len, int flags) { return recvfrom(s, buf, len, flags, nullptr, nullptr); }
