#include "protocol/winsock_startup.h"

#include "net/winsock.h"

BOOL StartupWinsock() {
  WSADATA data;
  return WSAStartup(0x0101, &data) == 0 ? TRUE : FALSE;
}
