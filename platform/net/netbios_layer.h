// The NetBIOS state of this process: its station identity and one adapter per LANA
// it has used. Adapters live until the process ends (their threads may still be
// completing NCBs while it exits).
//
// A forked child starts afresh, as a new station with no names and nothing
// pending: what it inherited belongs to the parent (whose threads did not come
// along).
#pragma once

#include <cstddef>

#include "net/netbios_adapter.h"

namespace vek::net {

NetbiosAdapter& AdapterForLana(int lana);
std::size_t PendingNcbsInLayer();

}  // namespace vek::net
