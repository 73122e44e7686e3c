// The wizard's one way of waiting for its discovery threads. Only one may run at
// a time: they share m_SearchDone, and the search fills the found-server list
// that a new search empties. So a dialog or page starts one only after every
// earlier one has ended, and its own has ended once no discovery thread is left
// (the thread object is gone, after its last use of the shared state).
//
// Meanwhile the waiting thread serves what other threads send it: the search
// thread writes "Found <name>" into its owner with a sent message.
#pragma once

#include <functional>

#include "kernel/types.h"
#include "protocol/discovery.h"

// How a wait ended.
enum class WaitEnd {
  kDone,      // the condition holds
  kTimedOut,
  kQuit,      // a quit message came; it is posted again for the loop outside
};

// What the waiting thread does with its own messages meanwhile.
enum class WhileWaiting {
  kInput,     // every message is dispatched, and the user's input comes in
              // through the front end, which shows the windows as they are
  kQueued,    // the messages queued are dispatched; what the user types comes
              // in only after the wait
  kSentOnly,  // only what other threads send is served: no input is taken, no
              // window handler runs again (a page in the middle of its Next, or
              // going away)
};

// The timer whose handler waits for a discovery thread: the search dialog's,
// the save page's and the printer page's.
constexpr UINT_PTR kDiscoveryWaitTimer = 0x4000;

// The longest an earlier page's discovery thread still runs: a whole search.
constexpr DWORD kDiscoveryEndWait = PS_SEARCH_BUDGET + 2000;

// Keeps the calling thread's messages going as asked until done() holds, or
// timeoutMs (INFINITE: no limit) has passed, or a quit message came (dispatching
// only). *quitCode receives the quit's code.
WaitEnd PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, WhileWaiting messages,
                          int* quitCode = nullptr);

// Until no discovery thread runs any more.
WaitEnd WaitForDiscoveryEnd(DWORD timeoutMs, WhileWaiting messages, int* quitCode = nullptr);
