#include "framework/window_class.h"

#include <cctype>
#include <map>
#include <mutex>

#include "framework/controls/control_support.h"
#include "framework/message_api.h"

namespace vek::framework {
namespace {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
      int x = std::tolower(static_cast<unsigned char>(a[i]));
      int y = std::tolower(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

struct ClassTable {
  std::mutex lock;
  std::map<std::string, BehaviourFactory, NoCaseLess> factories;
  ClassTable() {
    auto plain = [] { return std::make_unique<WindowBehaviour>(); };
    factories[kFrameWindowClass] = plain;
  }
};

ClassTable& Classes() {
  static ClassTable* table = new ClassTable;
  return *table;
}

// The built-in controls join the table on its first use.
void EnsureStandardClasses() {
  static std::once_flag standard;
  std::call_once(standard, RegisterStandardControls);
}

}  // namespace

LRESULT WindowBehaviour::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(const std::string& className, BehaviourFactory factory) {
  ClassTable& table = Classes();
  std::lock_guard guard(table.lock);
  table.factories[className] = std::move(factory);
}

bool UnregisterWindowClass(const std::string& className) {
  EnsureStandardClasses();
  ClassTable& table = Classes();
  std::lock_guard guard(table.lock);
  return table.factories.erase(className) > 0;
}

bool IsWindowClassRegistered(const std::string& className) {
  EnsureStandardClasses();
  ClassTable& table = Classes();
  std::lock_guard guard(table.lock);
  return table.factories.count(className) > 0;
}

std::unique_ptr<WindowBehaviour> MakeBehaviour(const std::string& className) {
  EnsureStandardClasses();
  ClassTable& table = Classes();
  std::lock_guard guard(table.lock);
  auto it = table.factories.find(className);
  return it == table.factories.end() ? nullptr : it->second();
}

}  // namespace vek::framework
