// Run-time class records: a class's name, its base, and how to make one by name.
#pragma once

#include "kernel/types.h"

class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new object of the class, or nullptr when the class cannot be made by name.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
  // The class registered with DECLARE_DYNCREATE under this name, if any.
  static const CRuntimeClass* FromName(const char* className);
};

// Registers a creatable class so FromName finds it; used by IMPLEMENT_DYNCREATE.
struct CRuntimeClassRegistration {
  explicit CRuntimeClassRegistration(const CRuntimeClass* runtimeClass);
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* runtimeClass) const;
  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                     \
 public:                                                \
  static const CRuntimeClass class##class_name;         \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, create)                                        \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
                                                       create, RUNTIME_CLASS(base_class_name)};           \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                   \
  CObject* class_name::CreateObject() { return new class_name; }           \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject) \
  static const CRuntimeClassRegistration s_registration##class_name(RUNTIME_CLASS(class_name));
