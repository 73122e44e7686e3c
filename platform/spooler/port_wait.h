// A job's thread waiting in a port call that returns only once the device is
// ready: a monitor's StartDocPort asking a busy device again and again, its
// EndDocPort waiting for the device to take the last bytes. Meanwhile the monitor
// reports the port's status (SetPort level 3) each time it tries again, and the
// job shows it as it shows a failing write: the error and the tries; once the
// tries run out the wait gives up (the job is cancelled, which the monitor's call
// sees and ends on).
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "spooler/ports.h"

namespace vek::spooler {

class PortWait {
 public:
  // error 0: the port is clear again; status: what the port reported.
  using Show = std::function<void(DWORD error, DWORD tries, const PortStatus& status)>;
  using GiveUp = std::function<void(DWORD error)>;

  // limit: tries after which the wait gives up, 0 for none. current: the port's
  // status as it stands is the first try (a status the writes reported before
  // the call); else only what the call reports counts.
  PortWait(const std::string& port, DWORD limit, bool current, Show show, GiveUp giveUp);
  ~PortWait();
  PortWait(const PortWait&) = delete;
  PortWait& operator=(const PortWait&) = delete;

  // The error the wait gave up on, 0 while it has not.
  DWORD GaveUpOn() const;

  // A port's status, from SetPort: every wait on that port takes it.
  static void NoteStatus(const std::string& port, const PortStatus& status);

 private:
  void Take(const PortStatus& status);

  const std::string m_port;
  const DWORD m_limit;
  const Show m_show;
  const GiveUp m_giveUp;
  mutable std::mutex m_lock;
  DWORD m_tries = 0;
  DWORD m_gaveUpOn = 0;
};

}  // namespace vek::spooler
