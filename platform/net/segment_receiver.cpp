#include "net/segment_receiver.h"

#include <atomic>
#include <vector>

#include "net/wsa_errors.h"

namespace vek::net {

struct SegmentReceiver::State {
  std::unique_ptr<SegmentLink> link;
  Handler handler;
  std::atomic<bool> stop{false};
};

SegmentReceiver::SegmentReceiver(std::unique_ptr<SegmentLink> link, Handler handler)
    : m_state(std::make_shared<State>()) {
  m_state->link = std::move(link);
  m_state->handler = std::move(handler);
  m_thread = std::thread(&SegmentReceiver::Run, m_state);
}

SegmentReceiver::~SegmentReceiver() { Stop(); }

SegmentLink& SegmentReceiver::Link() { return *m_state->link; }

void SegmentReceiver::Stop() {
  if (!m_thread.joinable()) return;
  m_state->stop = true;
  m_state->link->Shutdown();
  if (m_thread.get_id() == std::this_thread::get_id()) {
    m_thread.detach();  // Run holds the state until it returns
  } else {
    m_thread.join();
  }
}

void SegmentReceiver::Run(std::shared_ptr<State> state) {
  std::vector<std::uint8_t> frame;
  while (!state->stop) {
    DWORD error = state->link->WaitReadable(INFINITE);
    // A link that cannot be waited on is broken for good.
    if (state->stop || error != 0) break;
    while (!state->stop && state->link->Receive(&frame) == 0) state->handler(frame);
  }
}

}  // namespace vek::net
