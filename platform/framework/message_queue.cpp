#include "framework/message_queue.h"

#include <algorithm>
#include <map>

#include "framework/messages.h"
#include "framework/user_input.h"
#include "framework/window_table.h"
#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/sync.h"
#include "kernel/thread.h"

namespace vek::framework {
namespace {

struct QueueRegistry {
  std::mutex lock;
  std::map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

QueueRegistry& Registry() {
  static QueueRegistry* registry = new QueueRegistry;
  return *registry;
}

std::uint64_t Now() { return CurrentClock().NowMs(); }

// Binds a thread to its queue; when the thread ends, the queue closes and the
// thread's windows are forgotten.
struct QueueHolder {
  std::shared_ptr<MessageQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    DWORD id = queue->threadId();
    queue->Close();
    ForgetWindowsOfThread(id);
    QueueRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    auto it = registry.queues.find(id);
    if (it != registry.queues.end() && it->second == queue) registry.queues.erase(it);
  }
};

thread_local QueueHolder t_queue;

}  // namespace

MessageQueue::MessageQueue(DWORD threadId) : m_threadId(threadId) {}

void MessageQueue::Notify() {
  std::lock_guard lock(kernel::WaitLock());
  m_signal.NotifyLocked();
}

bool MessageQueue::Post(const MSG& msg) {
  {
    std::lock_guard guard(m_lock);
    if (m_closed) return false;
    m_posted.push_back(msg);
  }
  Notify();
  return true;
}

bool MessageQueue::EnqueueSent(std::shared_ptr<SentMessage> message) {
  {
    std::lock_guard guard(m_lock);
    if (m_closed) return false;
    m_sent.push_back(std::move(message));
  }
  Notify();
  return true;
}

void MessageQueue::NeedsPaint(HWND window) {
  {
    std::lock_guard guard(m_lock);
    if (std::find(m_paint.begin(), m_paint.end(), window) != m_paint.end()) return;
    m_paint.push_back(window);
  }
  Notify();
}

void MessageQueue::Painted(HWND window) {
  std::lock_guard guard(m_lock);
  m_paint.erase(std::remove(m_paint.begin(), m_paint.end(), window), m_paint.end());
}

void MessageQueue::PostQuit(int exitCode) {
  {
    std::lock_guard guard(m_lock);
    m_quit = true;
    m_quitCode = exitCode;
  }
  Notify();
}

bool MessageQueue::DispatchSentMessages() {
  bool any = false;
  for (;;) {
    std::shared_ptr<SentMessage> message;
    {
      std::lock_guard guard(m_lock);
      if (m_sent.empty()) return any;
      message = m_sent.front();
      m_sent.pop_front();
    }
    any = true;
    message->result = CallWindow(message->hwnd, message->message, message->wParam, message->lParam);
    std::lock_guard lock(kernel::WaitLock());
    message->done->SetLocked();
  }
}

bool MessageQueue::Matches(const MSG& msg, HWND filterWindow, UINT filterMin, UINT filterMax) {
  if (filterWindow == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
    if (msg.hwnd != nullptr) return false;  // thread messages only
  } else if (filterWindow != nullptr && msg.hwnd != filterWindow) {
    return false;
  }
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

bool MessageQueue::Take(MSG* msg, HWND filterWindow, UINT filterMin, UINT filterMax, bool remove) {
  std::lock_guard guard(m_lock);
  for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
    if (!Matches(*it, filterWindow, filterMin, filterMax)) continue;
    *msg = *it;
    if (remove) m_posted.erase(it);
    return true;
  }
  for (auto it = m_paint.begin(); it != m_paint.end(); ++it) {
    MSG paint{*it, WM_PAINT, 0, 0, GetTickCount(), {}};
    if (!Matches(paint, filterWindow, filterMin, filterMax)) continue;
    *msg = paint;
    // Taking the paint validates the window, so a handler that paints nothing
    // cannot keep the queue busy.
    if (remove) m_paint.erase(it);
    return true;
  }
  std::uint64_t now = Now();
  for (Timer& timer : m_timers) {
    if (now < timer.due) continue;
    MSG tick{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), static_cast<DWORD>(now), {}};
    if (!Matches(tick, filterWindow, filterMin, filterMax)) continue;
    *msg = tick;
    if (remove) timer.due = now + timer.interval;
    return true;
  }
  if (m_quit) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0, static_cast<DWORD>(now), {}};
    if (remove) m_quit = false;
    return true;
  }
  return false;
}

UINT_PTR MessageQueue::SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  UINT interval = std::max(elapseMs, 10u);
  {
    std::lock_guard guard(m_lock);
    if (window == nullptr) id = ++m_nextThreadTimer;
    for (Timer& timer : m_timers) {
      if (timer.hwnd == window && timer.id == id) {
        timer = Timer{window, id, interval, Now() + interval, proc};
        return id ? id : 1;
      }
    }
    m_timers.push_back(Timer{window, id, interval, Now() + interval, proc});
  }
  Notify();  // a waiting owner recomputes its time-out
  return id ? id : 1;
}

bool MessageQueue::KillTimer(HWND window, UINT_PTR id) {
  std::lock_guard guard(m_lock);
  auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.hwnd == window && t.id == id; });
  if (it == m_timers.end()) return false;
  m_timers.erase(it);
  return true;
}

void MessageQueue::KillTimersOf(HWND window) {
  std::lock_guard guard(m_lock);
  m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.hwnd == window; }),
                 m_timers.end());
  m_paint.erase(std::remove(m_paint.begin(), m_paint.end(), window), m_paint.end());
}

DWORD MessageQueue::TimeToNextTimer() {
  std::lock_guard guard(m_lock);
  if (m_timers.empty()) return INFINITE;
  std::uint64_t now = Now();
  std::uint64_t next = UINT64_MAX;
  for (const Timer& timer : m_timers) next = std::min(next, timer.due);
  return next <= now ? 0 : static_cast<DWORD>(std::min<std::uint64_t>(next - now, 0x7FFFFFFF));
}

DWORD MessageQueue::Status() {
  std::lock_guard guard(m_lock);
  DWORD status = 0;
  if (!m_posted.empty() || m_quit) status |= QS_POSTMESSAGE;
  if (!m_sent.empty()) status |= QS_SENDMESSAGE;
  if (!m_paint.empty()) status |= QS_PAINT;
  std::uint64_t now = Now();
  for (const Timer& timer : m_timers)
    if (now >= timer.due) status |= QS_TIMER;
  return status;
}

DWORD MessageQueue::Wait(std::span<kernel::Waitable* const> objects, bool waitAll, DWORD milliseconds,
                         DWORD wakeMask) {
  const std::uint64_t start = Now();
  std::vector<kernel::Waitable*> all(objects.begin(), objects.end());
  const DWORD inputIndex = static_cast<DWORD>(all.size());
  m_signal.m_mask = wakeMask;
  for (;;) {
    DWORD remaining = INFINITE;
    if (milliseconds != INFINITE) {
      std::uint64_t elapsed = Now() - start;
      remaining = elapsed >= milliseconds ? 0 : static_cast<DWORD>(milliseconds - elapsed);
    }
    // A timer falling due is input too: wake for it.
    DWORD slice = (wakeMask & QS_TIMER) ? std::min(remaining, TimeToNextTimer()) : remaining;
    DWORD result;
    if (waitAll) {
      // All the handles, and then input.
      result = all.empty() ? WAIT_OBJECT_0 : kernel::WaitForObjects(all, true, slice);
      if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) {
        kernel::Waitable* signal = &m_signal;
        DWORD input = kernel::WaitForObjects({&signal, 1}, false, 0);
        if (input == WAIT_OBJECT_0) return inputIndex;
        result = WAIT_TIMEOUT;
      }
    } else {
      all.push_back(&m_signal);
      result = kernel::WaitForObjects(all, false, slice);
      all.pop_back();
    }
    if (result != WAIT_TIMEOUT) return result;
    if (remaining == 0 || (milliseconds != INFINITE && Now() - start >= milliseconds)) return WAIT_TIMEOUT;
  }
}

void MessageQueue::Close() {
  std::deque<std::shared_ptr<SentMessage>> pending;
  std::deque<MSG> posted;
  {
    std::lock_guard guard(m_lock);
    m_closed = true;
    pending.swap(m_sent);
    posted.swap(m_posted);
    m_timers.clear();
    m_paint.clear();
  }
  // Whoever waits for a marker left in the queue learns that nothing is left.
  for (const MSG& msg : posted)
    if (msg.hwnd == nullptr && msg.message == VEK_UM_SYNC) HandleSyncMarker(msg.lParam);
  std::lock_guard lock(kernel::WaitLock());
  for (auto& message : pending) message->done->SetLocked();
}

MessageQueue& CurrentQueue() {
  if (!t_queue.queue) {
    DWORD id = GetCurrentThreadId();
    QueueRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    auto& slot = registry.queues[id];
    if (!slot) slot = std::make_shared<MessageQueue>(id);
    t_queue.queue = slot;
  }
  return *t_queue.queue;
}

std::shared_ptr<MessageQueue> QueueOfThread(DWORD threadId) {
  QueueRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  auto it = registry.queues.find(threadId);
  return it == registry.queues.end() ? nullptr : it->second;
}

std::shared_ptr<MessageQueue> MakeQueueForThread(DWORD threadId) {
  QueueRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  auto& slot = registry.queues[threadId];
  if (!slot) slot = std::make_shared<MessageQueue>(threadId);
  return slot;
}

}  // namespace vek::framework
