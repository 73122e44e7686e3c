// Helpers for the segment tests that need the operating system directly: random
// segment ports, and forked children with a channel to talk to them. Kept apart
// from the socket tests because it needs the system's headers.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vek::net::test {

// A port for a test's own segment: below the ephemeral range (so no socket the
// system placed can be holding it) and away from the configured defaults.
std::uint16_t RandomSegmentPort();
// "127.255.255.255:port".
std::string SegmentText(std::uint16_t port);
// Random hex text for a network number (never 0 or all ones) and a node.
std::string RandomNetworkHex();
std::string RandomNodeHex();

// Lines of text between a test and its child. Receive waits up to limit.
class Channel {
 public:
  Channel(int readFd, int writeFd) : m_read(readFd), m_write(writeFd) {}
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;
  bool Send(const std::string& line);
  std::optional<std::string> Receive(std::chrono::milliseconds limit = std::chrono::seconds(20));

 private:
  int m_read;
  int m_write;
  std::string m_buffered;
};

// work runs in a forked child, which exits with its result (never returning to the
// test). The destructor kills a child that is still running.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int(Channel&)>& work);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  Channel& channel() { return *m_channel; }
  // The exit code, or -1 when the child did not exit normally within limit.
  int Wait(std::chrono::milliseconds limit = std::chrono::seconds(30));

 private:
  int m_pid = -1;
  std::optional<Channel> m_channel;
};

}  // namespace vek::net::test
