#include "registry/transaction.h"

#include "kernel/errors.h"
#include "registry/store_session.h"

namespace vek::registry {

Transaction::Transaction(Access access) : m_error(BeginScope(access)), m_open(m_error == ERROR_SUCCESS) {}

Transaction::~Transaction() {
  if (m_open) EndScope(false);
}

LONG Transaction::Commit() {
  if (!m_open) return m_error != ERROR_SUCCESS ? m_error : static_cast<LONG>(ERROR_INVALID_FUNCTION);
  m_open = false;
  return EndScope(true);
}

}  // namespace vek::registry
