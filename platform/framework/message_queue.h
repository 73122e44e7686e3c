// A thread's message queue: posted messages, messages sent from other threads,
// timers, windows waiting to be painted, and the quit request.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/win_types.h"
#include "kernel/event_object.h"
#include "kernel/waitable.h"

namespace vek::framework {

struct SentMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  std::shared_ptr<kernel::EventObject> done = std::make_shared<kernel::EventObject>(true, false);
};

class MessageQueue {
 public:
  explicit MessageQueue(DWORD threadId);
  DWORD threadId() const { return m_threadId; }

  // From any thread. False once the thread has ended.
  bool Post(const MSG& msg);
  bool EnqueueSent(std::shared_ptr<SentMessage> message);
  void NeedsPaint(HWND window);
  void Painted(HWND window);

  // On the owning thread.
  void PostQuit(int exitCode);
  // Serves every message sent from other threads; true when there was one.
  bool DispatchSentMessages();
  // Takes the next message in the order posted, paint, timer, quit. False when none.
  bool Take(MSG* msg, HWND filterWindow, UINT filterMin, UINT filterMax, bool remove);
  UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
  bool KillTimer(HWND window, UINT_PTR id);
  void KillTimersOf(HWND window);
  // Milliseconds until the next timer is due (0 when one is due), INFINITE with none.
  DWORD TimeToNextTimer();
  DWORD Status();  // QS_ bits of what waits
  // Blocks for queue input of the mask's kinds, or for one of the objects.
  DWORD Wait(std::span<kernel::Waitable* const> objects, bool waitAll, DWORD milliseconds, DWORD wakeMask);

  // The thread ended: pending senders are released with 0, later posts refused.
  void Close();

 private:
  struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    std::uint64_t due;
    TIMERPROC proc;
  };
  class Signal : public kernel::Waitable {
   public:
    explicit Signal(MessageQueue& queue) : m_queue(queue) {}
    bool IsSignaled(DWORD) const override { return (m_queue.Status() & m_mask) != 0; }
    DWORD m_mask = 0;  // set by the owning thread before it waits

   private:
    MessageQueue& m_queue;
  };
  void Notify();
  static bool Matches(const MSG& msg, HWND filterWindow, UINT filterMin, UINT filterMax);

  const DWORD m_threadId;
  std::mutex m_lock;
  std::deque<MSG> m_posted;
  std::deque<std::shared_ptr<SentMessage>> m_sent;
  std::vector<Timer> m_timers;
  std::vector<HWND> m_paint;
  bool m_quit = false;
  int m_quitCode = 0;
  bool m_closed = false;
  UINT_PTR m_nextThreadTimer = 0x7FFF;
  Signal m_signal{*this};
};

// The calling thread's queue, made on first use.
MessageQueue& CurrentQueue();
// The queue of a thread, or null when it has none (or has ended).
std::shared_ptr<MessageQueue> QueueOfThread(DWORD threadId);
// Makes the queue of a thread that has not started yet, so messages can be posted
// to it at once (the framework's threads).
std::shared_ptr<MessageQueue> MakeQueueForThread(DWORD threadId);

}  // namespace vek::framework
