// One TCP connection to a local sink that reads and discards: the common way to
// feed a network printer's raw port, as a yardstick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vek::bench {

// Sends data over one connection to a sink on 127.0.0.1; the seconds it took
// from connect to the sink's last byte, or a negative value on failure.
double SendOverTcp(const std::string& data);

}  // namespace vek::bench
