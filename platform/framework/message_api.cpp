#include "framework/message_api.h"

#include <cstring>
#include <vector>

#include "framework/keyboard.h"
#include "framework/message_queue.h"
#include "framework/user_input.h"
#include "framework/window_api.h"
#include "framework/window_table.h"
#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/sync.h"
#include "kernel/thread.h"

using vek::framework::CurrentQueue;
using vek::framework::FindWindowRecord;
using vek::framework::MessageQueue;
using vek::framework::QueueOfThread;

namespace {

// The posted form of a message: the window and the time it was posted.
MSG MakeMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{window, message, wParam, lParam, GetTickCount(), {}};
}

// A message sent to a window of another thread: queued there; meanwhile this thread
// serves what is sent to it, so two threads sending to each other do not lock up.
LRESULT SendAcrossThreads(MessageQueue& target, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto sent = std::make_shared<vek::framework::SentMessage>();
  sent->hwnd = window;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  if (!target.EnqueueSent(sent)) return 0;
  MessageQueue& own = CurrentQueue();
  vek::kernel::Waitable* done = sent->done.get();
  for (;;) {
    own.DispatchSentMessages();
    if (own.Wait({&done, 1}, false, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0) return sent->result;
  }
}

}  // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
  auto record = FindWindowRecord(window);
  auto queue = record ? QueueOfThread(record->threadId) : nullptr;
  if (!queue || !queue->Post(MakeMsg(window, message, wParam, lParam))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageA(window, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  auto queue = QueueOfThread(threadId);
  if (!queue || !queue->Post(MakeMsg(nullptr, message, wParam, lParam))) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostThreadMessageA(threadId, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto record = FindWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (record->threadId == GetCurrentThreadId()) return vek::framework::CallWindow(window, message, wParam, lParam);
  auto queue = QueueOfThread(record->threadId);
  return queue ? SendAcrossThreads(*queue, window, message, wParam, lParam) : 0;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      std::string text = lParam ? vek::ToNarrow(reinterpret_cast<const char16_t*>(lParam)) : std::string();
      return SendMessageA(window, message, wParam, lParam ? reinterpret_cast<LPARAM>(text.c_str()) : 0);
    }
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      int length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
      std::string text(static_cast<std::size_t>(length) + 1, '\0');
      SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
      std::u16string wide = vek::ToWide(text.c_str());
      std::size_t n = std::min(wide.size(), static_cast<std::size_t>(wParam) - 1);
      auto* out = reinterpret_cast<char16_t*>(lParam);
      std::memcpy(out, wide.data(), n * sizeof(char16_t));
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
      int length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
      std::string text(static_cast<std::size_t>(length) + 1, '\0');
      SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
      return static_cast<LRESULT>(vek::ToWide(text.c_str()).size());
    }
    default:
      return SendMessageA(window, message, wParam, lParam);
  }
}

void PostQuitMessage(int exitCode) { CurrentQueue().PostQuit(exitCode); }

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  MessageQueue& queue = CurrentQueue();
  queue.DispatchSentMessages();
  MSG taken{};
  if (!queue.Take(&taken, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) return FALSE;
  if (msg) *msg = taken;
  return TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  return PeekMessageA(msg, window, filterMin, filterMax, removeFlags);
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  MessageQueue& queue = CurrentQueue();
  for (;;) {
    queue.DispatchSentMessages();
    if (queue.Take(msg, window, filterMin, filterMax, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
    queue.Wait({}, false, INFINITE, QS_ALLINPUT);
  }
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  return GetMessageA(msg, window, filterMin, filterMax);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }  // the front ends deliver characters themselves

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (msg->hwnd == nullptr) {
    if (msg->message == vek::framework::VEK_UM_SYNC) vek::framework::HandleSyncMarker(msg->lParam);
    return 0;
  }
  auto record = FindWindowRecord(msg->hwnd);
  if (!record || record->threadId != GetCurrentThreadId()) return 0;
  vek::framework::KeyboardScope keys(*msg);
  return vek::framework::CallWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DispatchMessageW(const MSG* msg) { return DispatchMessageA(msg); }

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask) {
  if (count > MAXIMUM_WAIT_OBJECTS - 1 || (count > 0 && handles == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<vek::kernel::Waitable>> held;
  std::vector<vek::kernel::Waitable*> objects;
  for (DWORD i = 0; i < count; ++i) {
    auto object = vek::kernel::LookupHandle(handles[i]);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(object.get());
    held.push_back(std::move(object));
  }
  MessageQueue& queue = CurrentQueue();
  // Messages sent to this thread are served here, so their senders go on.
  if ((wakeMask & QS_SENDMESSAGE) && queue.DispatchSentMessages()) return WAIT_OBJECT_0 + count;
  DWORD result = queue.Wait(objects, waitAll != FALSE, milliseconds, wakeMask);
  if (result == WAIT_OBJECT_0 + count && (wakeMask & QS_SENDMESSAGE)) queue.DispatchSentMessages();
  return result;
}

DWORD GetQueueStatus(UINT flags) { return CurrentQueue().Status() & flags; }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (window == nullptr) return CurrentQueue().SetTimer(nullptr, id, elapseMs, proc);
  auto record = FindWindowRecord(window);
  if (!record || record->threadId != GetCurrentThreadId()) {
    SetLastError(record ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CurrentQueue().SetTimer(window, id, elapseMs, proc);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  std::shared_ptr<MessageQueue> queue;
  if (window == nullptr) {
    queue = QueueOfThread(GetCurrentThreadId());
  } else if (auto record = FindWindowRecord(window)) {
    queue = QueueOfThread(record->threadId);
  }
  return queue && queue->KillTimer(window, id) ? TRUE : FALSE;
}
