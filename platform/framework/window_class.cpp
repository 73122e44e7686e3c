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

}  // namespace

LRESULT WindowBehaviour::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(const std::string& className, BehaviourFactory factory) {
  ClassTable& table = Classes();
  std::lock_guard guard(table.lock);
  table.factories[className] = std::move(factory);
}

std::unique_ptr<WindowBehaviour> MakeBehaviour(const std::string& className) {
  static std::once_flag standard;
  std::call_once(standard, RegisterStandardControls);
  ClassTable& table = Classes();
  std::lock_guard guard(table.lock);
  auto it = table.factories.find(className);
  return it == table.factories.end() ? nullptr : it->second();
}

}  // namespace vek::framework
