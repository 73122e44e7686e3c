#include "framework/runtime_class.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct Registry {
  std::mutex lock;
  std::vector<const CRuntimeClass*> classes;
};

Registry& Classes() {
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* runtimeClass) const {
  return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
  Registry& registry = Classes();
  std::lock_guard guard(registry.lock);
  for (const CRuntimeClass* c : registry.classes)
    if (std::strcmp(c->m_lpszClassName, className) == 0) return c;
  return nullptr;
}

CRuntimeClassRegistration::CRuntimeClassRegistration(const CRuntimeClass* runtimeClass) {
  Registry& registry = Classes();
  std::lock_guard guard(registry.lock);
  registry.classes.push_back(runtimeClass);
}
