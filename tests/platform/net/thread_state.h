// Whether a thread of this process is asleep in the kernel: lets a test know a
// receive is really blocked before it closes the socket under it. Kept apart from
// the socket tests because it needs the system's headers.
#pragma once

#include <chrono>

namespace vek::net::test {

int CurrentThreadId();

// Waits (up to limit) until the thread is sleeping; false when it never was.
bool WaitUntilThreadSleeps(int threadId, std::chrono::milliseconds limit);

}  // namespace vek::net::test
