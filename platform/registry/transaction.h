// A scoped registry transaction: the registry calls this thread makes while it
// is open are one transaction of the store, so a record of many values costs
// one write to disk and other processes see all of it or nothing.
#pragma once

#include "kernel/types.h"
#include "registry/database.h"

namespace vek::registry {

// The other threads of the process wait while one is open; keep it to registry
// work. Transactions nest: an inner one that is not committed undoes only its
// own calls. A write inside one opened for reading fails with
// ERROR_INVALID_FUNCTION. Any call inside that fails undoes only itself.
class Transaction {
 public:
  explicit Transaction(Access access = Access::Write);
  // Undoes everything not committed.
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Why the transaction could not begin; the calls then run one by one.
  LONG error() const { return m_error; }
  // Makes the work lasting (an inner transaction: part of the outer one's).
  // On failure nothing of it is kept and the error is returned; once only.
  LONG Commit();

 private:
  LONG m_error;
  bool m_open;
};

}  // namespace vek::registry
