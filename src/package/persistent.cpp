#include "package/persistent.h"

#include <algorithm>

#include "core/conversions.h"

namespace tovrin {

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* cls = this; cls != nullptr; cls = cls->Parent) {
    for (const TPropInfo& prop : cls->Properties) {
      if (SameText(prop.Name, name)) return &prop;
    }
  }
  return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo& cls) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent) {
    if (c == &cls) return true;
  }
  return false;
}

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info{
      "TComponent",
      nullptr,
      nullptr,
      {
          MakeProperty("Name", TPropKind::pkString, nullptr, &TComponent::Name,
                       &TComponent::SetName),
          MakeProperty("Tag", TPropKind::pkInteger, nullptr, &TComponent::Tag, &TComponent::SetTag),
      }};
  return info;
}

namespace {

// The registry is process-wide by design: start-up registers the classes once, the reader looks
// them up for every object it creates by name.
std::vector<const TClassInfo*>& ClassRegistry() {
  static std::vector<const TClassInfo*> registry;
  return registry;
}

}  // namespace

void RegisterStreamClass(const TClassInfo& cls) {
  auto& registry = ClassRegistry();
  for (const TClassInfo* c = &cls; c != nullptr; c = c->Parent) {
    if (std::find(registry.begin(), registry.end(), c) == registry.end()) registry.push_back(c);
  }
}

const TClassInfo* FindStreamClass(std::string_view name) {
  for (const TClassInfo* cls : ClassRegistry()) {
    if (SameText(cls->Name, name)) return cls;
  }
  return nullptr;
}

}  // namespace tovrin
