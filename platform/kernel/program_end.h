// What the platform closes when one of our programs ends. On Windows a program's
// spooler, for one, runs in a process of its own; here it runs inside the
// program, and the monitors it loaded must be shut down before the program is
// gone, or what they hold is never freed.
#pragma once

namespace vek {

// Registers a step to run at the program's end (once, however often it is
// registered); steps run in the reverse order of their first registration.
void AtProgramEnd(void (*step)());
// Runs and forgets the registered steps: the framework's main does at its end,
// and so does a program with a main of its own. The facilities may be used again
// afterwards, registering their steps anew.
void RunProgramEnd();

}  // namespace vek
