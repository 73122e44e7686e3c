// errno to WSA codes. Kept apart from the socket calls: every backend file uses it.
#include <cerrno>

#include "net/posix_socket.h"
#include "net/wsa_errors.h"

namespace vek::net::posix {

DWORD WsaErrorFromErrno(int error) {
  int code;
  switch (error) {
    case 0: code = 0; break;
    case EINTR: code = WSAEINTR; break;
    case EBADF: code = WSAENOTSOCK; break;
    case ENOTSOCK: code = WSAENOTSOCK; break;
    case EACCES: code = WSAEACCES; break;
    case EPERM: code = WSAEACCES; break;
    case EFAULT: code = WSAEFAULT; break;
    case EINVAL: code = WSAEINVAL; break;
    case EMFILE: code = WSAEMFILE; break;
    case ENFILE: code = WSAEMFILE; break;
    // A receive time-out never gets here: the receive waits in poll and reports
    // WSAETIMEDOUT itself.
    case EAGAIN: code = WSAEWOULDBLOCK; break;
    case EINPROGRESS: code = WSAEINPROGRESS; break;
    case EALREADY: code = WSAEALREADY; break;
    case EDESTADDRREQ: code = WSAEDESTADDRREQ; break;
    case EMSGSIZE: code = WSAEMSGSIZE; break;
    case EPROTOTYPE: code = WSAEPROTOTYPE; break;
    case ENOPROTOOPT: code = WSAENOPROTOOPT; break;
    case EPROTONOSUPPORT: code = WSAEPROTONOSUPPORT; break;
    case ESOCKTNOSUPPORT: code = WSAESOCKTNOSUPPORT; break;
    case EOPNOTSUPP: code = WSAEOPNOTSUPP; break;
    case EPFNOSUPPORT: code = WSAEPFNOSUPPORT; break;
    case EAFNOSUPPORT: code = WSAEAFNOSUPPORT; break;
    case EADDRINUSE: code = WSAEADDRINUSE; break;
    case EADDRNOTAVAIL: code = WSAEADDRNOTAVAIL; break;
    case ENETDOWN: code = WSAENETDOWN; break;
    case ENETUNREACH: code = WSAENETUNREACH; break;
    case ENETRESET: code = WSAENETRESET; break;
    case ECONNABORTED: code = WSAECONNABORTED; break;
    case ECONNRESET: code = WSAECONNRESET; break;
    case ENOBUFS: code = WSAENOBUFS; break;
    case ENOMEM: code = WSAENOBUFS; break;
    case EISCONN: code = WSAEISCONN; break;
    case ENOTCONN: code = WSAENOTCONN; break;
    case ESHUTDOWN: code = WSAESHUTDOWN; break;
    case ETIMEDOUT: code = WSAETIMEDOUT; break;
    case ECONNREFUSED: code = WSAECONNREFUSED; break;
    case EHOSTDOWN: code = WSAEHOSTDOWN; break;
    case EHOSTUNREACH: code = WSAEHOSTUNREACH; break;
    default: code = WSAEINVAL; break;
  }
  return static_cast<DWORD>(code);
}

}  // namespace vek::net::posix
