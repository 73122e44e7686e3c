#include "tcp_sink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace vek::bench {

double SendOverTcp(const std::string& data) {
  int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return -1;
  std::size_t received = 0;
  std::thread sink([&] {
    int connection = ::accept(listener, nullptr, nullptr);
    std::vector<char> buffer(1 << 16);
    for (;;) {
      ssize_t n = ::read(connection, buffer.data(), buffer.size());
      if (n <= 0) break;
      received += static_cast<std::size_t>(n);
    }
    ::close(connection);
  });
  auto start = std::chrono::steady_clock::now();
  int client = ::socket(AF_INET, SOCK_STREAM, 0);
  if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return -1;
  for (std::size_t offset = 0; offset < data.size();) {
    ssize_t n = ::write(client, data.data() + offset, data.size() - offset);
    if (n <= 0) break;
    offset += static_cast<std::size_t>(n);
  }
  ::close(client);
  sink.join();
  ::close(listener);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return received == data.size() ? seconds : -1;
}

}  // namespace vek::bench
