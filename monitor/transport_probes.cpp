#include "transport_probes.h"

#include "debug_log.h"
#include "monitor_globals.h"
#include "net/winsock.h"

namespace {

BOOL Probe(WORD bit, int family, int protocol) {
  if (!(g_Protocols.load() & bit)) return FALSE;
  SOCKET s = socket(family, SOCK_DGRAM, protocol);
  if (s == INVALID_SOCKET) return FALSE;
  g_SupportedProtocols.fetch_or(bit);
  closesocket(s);
  return TRUE;
}

}  // namespace

BOOL LoadIPX() {
  BOOL supported = Probe(PROTOCOL_IPX, AF_IPX, NSPROTO_IPX);
  theDebugLog.Trace(supported ? "LoadIPX() Support IPX !" : "LoadIPX() Unsupport IPX !");
  return supported;
}

BOOL LoadUDP() {
  BOOL supported = Probe(PROTOCOL_UDP, AF_INET, IPPROTO_UDP);
  theDebugLog.Trace(supported ? "LoadUDP() Support UDP !" : "LoadUDP() Unsupport UDP !");
  return supported;
}

void ProbeTransports() {
  LoadIPX();
  LoadUDP();
  LoadNetBEUI();
}
