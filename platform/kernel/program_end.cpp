#include "kernel/program_end.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace vek {

namespace {

struct Steps {
  std::mutex lock;
  std::vector<void (*)()> steps;
};

Steps& TheSteps() {
  static Steps* steps = new Steps;  // lives until the process ends
  return *steps;
}

}  // namespace

void AtProgramEnd(void (*step)()) {
  Steps& all = TheSteps();
  std::lock_guard guard(all.lock);
  if (std::find(all.steps.begin(), all.steps.end(), step) == all.steps.end()) all.steps.push_back(step);
}

void RunProgramEnd() {
  std::vector<void (*)()> steps;
  {
    Steps& all = TheSteps();
    std::lock_guard guard(all.lock);
    steps.swap(all.steps);
  }
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) (*step)();
}

}  // namespace vek
