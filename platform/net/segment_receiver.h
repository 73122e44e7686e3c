// A thread that listens on a segment and hands each frame to a handler, for a
// station that must answer while nobody calls it (NetBIOS objections, asynchronous
// receives). The handler runs on that thread, one frame at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

#include "net/segment_link.h"

namespace vek::net {

class SegmentReceiver {
 public:
  using Handler = std::function<void(std::span<const std::uint8_t> frame)>;

  SegmentReceiver(std::unique_ptr<SegmentLink> link, Handler handler);
  // Stops the thread.
  ~SegmentReceiver();
  SegmentReceiver(const SegmentReceiver&) = delete;
  SegmentReceiver& operator=(const SegmentReceiver&) = delete;

  // For sending; valid as long as this object.
  SegmentLink& Link();

  // Ends the thread: waits for it, except on the thread itself (a handler that
  // stops its own receiver), which then ends when the handler returns. The link is
  // closed once the thread is done with it.
  void Stop();

 private:
  struct State;
  static void Run(std::shared_ptr<State> state);

  std::shared_ptr<State> m_state;
  std::thread m_thread;
};

}  // namespace vek::net
