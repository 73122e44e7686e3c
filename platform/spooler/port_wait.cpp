#include "spooler/port_wait.h"

#include <vector>

#include "spooler/names.h"

namespace vek::spooler {

namespace {

struct Waits {
  std::mutex lock;
  std::vector<PortWait*> waits;
};

Waits& TheWaits() {
  static Waits* waits = new Waits;  // job threads may outlive main
  return *waits;
}

}  // namespace

PortWait::PortWait(const std::string& port, DWORD limit, bool current, Show show, GiveUp giveUp)
    : m_port(port), m_limit(limit), m_show(std::move(show)), m_giveUp(std::move(giveUp)) {
  Waits& waits = TheWaits();
  std::lock_guard guard(waits.lock);
  waits.waits.push_back(this);
  if (current) Take(ReadPortStatus(port));
}

PortWait::~PortWait() {
  Waits& waits = TheWaits();
  std::lock_guard guard(waits.lock);
  std::erase(waits.waits, this);
}

DWORD PortWait::GaveUpOn() const {
  std::lock_guard guard(m_lock);
  return m_gaveUpOn;
}

void PortWait::NoteStatus(const std::string& port, const PortStatus& status) {
  Waits& waits = TheWaits();
  std::lock_guard guard(waits.lock);
  for (PortWait* wait : waits.waits)
    if (SameName(wait->m_port, port)) wait->Take(status);
}

void PortWait::Take(const PortStatus& status) {
  DWORD error = JobErrorOfPortStatus(status);
  DWORD tries = 0;
  bool giveUp = false;
  {
    std::lock_guard guard(m_lock);
    // Once given up, the job is going: what the monitor says meanwhile is moot.
    if (m_gaveUpOn != 0) return;
    if (error == 0 && m_tries == 0) return;
    m_tries = error == 0 ? 0 : m_tries + 1;
    tries = m_tries;
    giveUp = error != 0 && m_limit != 0 && tries >= m_limit;
    if (giveUp) m_gaveUpOn = error;
  }
  m_show(error, tries, status);
  if (giveUp) m_giveUp(error);
}

}  // namespace vek::spooler
