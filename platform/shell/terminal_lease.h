// One terminal, several programs: a program that shows its windows in the terminal
// lends it to a program it starts, and takes it back when that program is done, as
// a window on Windows stands over the one behind it until it closes. The started
// program asks for the terminal when its front end opens and gives it back when it
// closes (or ends); requests from several started programs are served one at a time.
//
// Between the two runs a lease: a socket pair, the started program's end passed as
// descriptor 3 and named by VEK_TERMINAL_LEASE. The started program writes 'B' to
// borrow and 'R' to return; the lender answers 'G' once it has let go.
#pragma once

namespace vek::shell {

// The lending side: the front end that holds the terminal. Both calls come from the
// lease service's thread and return once the terminal is let go or taken back.
class TerminalHolder {
 public:
  virtual ~TerminalHolder() = default;
  virtual void LendTerminal() = 0;
  virtual void TakeTerminalBack() = 0;
};

// The holder of this process's terminal; null when there is none (the borrower is
// then answered at once). Returns after any call into the previous holder.
void SetTerminalHolder(TerminalHolder* holder);

constexpr int kLeaseDescriptor = 3;
constexpr const char* kLeaseVariable = "VEK_TERMINAL_LEASE";

// A new lease for a program about to start: its end, which the caller passes as
// kLeaseDescriptor and then closes; -1 when none could be made.
int OpenChildLease();

// In a started program: waits until the program that started it has let the
// terminal go (at once without a lease, or when that program has ended).
// True when the terminal was borrowed, so ReturnTerminal is due.
bool BorrowTerminal();
void ReturnTerminal();

}  // namespace vek::shell
