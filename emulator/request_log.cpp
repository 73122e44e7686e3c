#include "emulator/request_log.h"

namespace vek::emu {

void RequestLog::Add(LoggedRequest request) {
  {
    std::lock_guard guard(m_lock);
    m_requests.push_back(std::move(request));
    // Trimmed in batches, so a full log does not move everything on each request.
    if (m_limit > 0 && m_requests.size() >= 2 * m_limit)
      m_requests.erase(m_requests.begin(), m_requests.end() - static_cast<std::ptrdiff_t>(m_limit));
  }
  m_changed.notify_all();
}

std::vector<LoggedRequest> RequestLog::Snapshot() const {
  std::lock_guard guard(m_lock);
  return m_requests;
}

std::size_t RequestLog::Count() const {
  std::lock_guard guard(m_lock);
  return m_requests.size();
}

void RequestLog::Clear() {
  std::lock_guard guard(m_lock);
  m_requests.clear();
}

void RequestLog::SetLimit(std::size_t limit) {
  std::lock_guard guard(m_lock);
  m_limit = limit;
}

bool RequestLog::WaitFor(const Predicate& predicate, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(m_lock);
  return m_changed.wait_for(lock, timeout, [&] { return predicate(m_requests); });
}

bool RequestLog::WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
  return WaitFor([count](const std::vector<LoggedRequest>& log) { return log.size() >= count; }, timeout);
}

}  // namespace vek::emu
