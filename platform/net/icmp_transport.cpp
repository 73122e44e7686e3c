#include "net/icmp_transport.h"

#include <mutex>
#include <utility>

namespace vek::net {
namespace {

std::mutex g_lock;
IcmpTransportFactory g_factory;  // empty: the system's

}  // namespace

void InstallIcmpTransportFactory(IcmpTransportFactory factory) {
  std::lock_guard guard(g_lock);
  g_factory = std::move(factory);
}

std::unique_ptr<IcmpTransport> CreateIcmpTransport(DWORD* error) {
  IcmpTransportFactory factory;
  {
    std::lock_guard guard(g_lock);
    factory = g_factory;
  }
  // Called outside the lock: a factory may itself install another.
  if (factory) return factory(error);
  return CreateSystemIcmpTransport(IcmpSocketKind::Automatic, error);
}

}  // namespace vek::net
