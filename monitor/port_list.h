// The port list: lookups by name and by handle number, and deletion. The list
// owns its ports. A spooler call holds the port it works on, so the port cannot
// be deleted from under it.
#pragma once

#include "kernel/types.h"

class CPrintPort;

// Under g_PortLock; the pointer is good while the caller keeps the lock.
CPrintPort* FindPortByName(LPCWSTR name);
// The port whose name differs at most in case: the registry, where the ports'
// records live, does not tell such names apart.
CPrintPort* FindPortByNameNoCase(LPCWSTR name);
CPrintPort* FindPortByHandle(int handle);

// A port held for the length of a spooler call.
class CPortHold {
 public:
  CPortHold() = default;
  explicit CPortHold(CPrintPort* port);
  ~CPortHold();
  CPortHold(CPortHold&& other) noexcept;
  CPortHold& operator=(CPortHold&&) = delete;
  CPortHold(const CPortHold&) = delete;
  CPortHold& operator=(const CPortHold&) = delete;

  CPrintPort* operator->() const { return m_pPort; }
  CPrintPort* get() const { return m_pPort; }
  explicit operator bool() const { return m_pPort != nullptr; }

 private:
  CPrintPort* m_pPort = nullptr;
};

CPortHold HoldPortByName(LPCWSTR name);
CPortHold HoldPortByHandle(int handle);

// Removes the port's record and the port. Refused with ERROR_BUSY while the port
// is open or held; ERROR_INVALID_PARAMETER when there is no such port.
BOOL DeletePrintPort(LPCWSTR name);
// Appends a port (the list takes it).
void AddPrintPort(CPrintPort* port);
// Library stop: closes and deletes every port.
void ClearPortList();

// Whether two port names are the same (exact, case-sensitive).
bool SamePortName(LPCWSTR a, LPCWSTR b);
// Whether they differ at most in the case of their letters.
bool SamePortNameNoCase(LPCWSTR a, LPCWSTR b);
