#include "protocol/capabilities.h"

#include "protocol/packet_header.h"

PSCapabilities PSCapabilities::FromReply(const BYTE* reply, int length) {
  PSCapabilities caps;
  // A reply that ends before the word has none of its bits: no wireless, no
  // security, no key section. Nothing is read past the reply.
  if (reply != NULL && length >= PS_CAPABILITIES_OFFSET + 4) caps.m_Bits = PSGetDword(reply + PS_CAPABILITIES_OFFSET);
  return caps;
}
