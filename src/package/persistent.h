// The published-property model that the component stream reader fills and the writer reads.
//
// Every streamable class describes itself with one static TClassInfo: its name, its ancestor, a
// factory (for classes the reader may create by name) and a table of published properties (name,
// kind, type names, getter, setter). Property lookup ignores ASCII letter case and walks the
// ancestors. A class may also read stored properties of its own that are not published (the
// picture's "Data") through ReadStoredProperty, and gets a completion hook (Loaded) after a whole
// stream has been read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace tovrin {

class TPersistent;
class TReader;

enum class TPropKind {
  pkInteger,      // Int8/Int16/Int32, or an Ident through the type's identifier map
  pkEnumeration,  // Ident, False, True (Booleans are an enumeration of False, True)
  pkFloat,        // Extended, or an integer code
  pkString,       // String, LString, WString, UTF8String
  pkChar,         // any string code of at most one character
  pkSet,          // Set: element names; unknown names are ignored
  pkObject,       // Nil, Collection, Ident; usually walked through by a dotted path
  pkInt64,        // Int64, or an integer code
  pkWString,      // any string code
};

// One name of an identifier map, or one element of an enumeration or set type.
struct TIdentEntry {
  std::string_view Name;
  int32_t Value;
};

// The type details a property kind needs: the identifier map of an integer type (may be empty),
// the element names of an enumeration (value = ordinal) or of a set (value = bit number).
struct TTypeInfo {
  std::string_view Name;
  std::vector<TIdentEntry> Idents;
};

// A property value as it passes between the reader and a setter: integers, enumeration ordinals,
// set bit masks and characters as int64_t; floats as double; texts as std::string (Windows-1252);
// objects as a non-owning pointer.
using TPropValue = std::variant<int64_t, double, std::string, TPersistent*>;

struct TPropInfo {
  std::string_view Name;
  TPropKind Kind;
  const TTypeInfo* Type = nullptr;  // identifier map / enumeration / set elements, or none
  std::function<TPropValue(TPersistent&)> Get;
  std::function<void(TPersistent&, const TPropValue&)> Set;  // empty: read-only
};

struct TClassInfo {
  std::string_view Name;
  const TClassInfo* Parent = nullptr;
  // Creates a new object with no owner; empty for classes that cannot be created by name.
  std::function<std::unique_ptr<TPersistent>()> Create;
  std::vector<TPropInfo> Properties;

  // The published property of that name (ASCII case ignored), searched here then in the
  // ancestors; nullptr when there is none.
  const TPropInfo* FindProperty(std::string_view name) const;
  // True when this class is cls or derives from it.
  bool InheritsFrom(const TClassInfo& cls) const;
};

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;

  virtual const TClassInfo& ClassInfo() const = 0;
  std::string_view ClassName() const { return ClassInfo().Name; }

  // The component name for messages and streams; empty for objects that have none.
  virtual std::string ComponentName() const { return {}; }
  virtual void SetComponentName(const std::string& /*name*/) {}

  // Reads a stored, unpublished property of this object. Returns false when the object defines no
  // stored property of that name (ASCII case ignored); the reader then skips the value. When it
  // returns true it has consumed the value (or thrown).
  virtual bool ReadStoredProperty(std::string_view /*name*/, TReader& /*reader*/) { return false; }

  // True for an object owned by another object and streamed as part of it (a font, a picture): a
  // property holding it may be read without a setter.
  virtual bool IsSubComponent() const { return false; }

  // The loading mark, set while a stream is being read into the object.
  bool Loading() const { return FLoading; }
  void SetLoading(bool loading) { FLoading = loading; }
  // Completion hook: called once after the whole stream has been read, loading mark still set.
  virtual void Loaded() {}

 private:
  bool FLoading = false;
};

// The component base: a persistent object with a published Name and Tag.
class TComponent : public TPersistent {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  std::string ComponentName() const override { return FName; }
  void SetComponentName(const std::string& name) override { FName = name; }
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t tag) { FTag = tag; }

 private:
  std::string FName;
  int32_t FTag = 0;
};

// The process-wide class registry of the reader. Registering a class also registers its
// ancestors. FindStreamClass ignores ASCII letter case; nullptr when the name is unknown.
void RegisterStreamClass(const TClassInfo& cls);
const TClassInfo* FindStreamClass(std::string_view name);

// Helpers for property tables: a getter and setter pair bound to member functions.
// Integer-like values (bool, integers, enumerations) travel as int64_t, texts as std::string.
template <class T, class G, class S>
TPropInfo MakeProperty(std::string_view name, TPropKind kind, const TTypeInfo* type,
                       G (T::*get)() const, void (T::*set)(S)) {
  using V = std::remove_cvref_t<G>;
  TPropInfo info{name, kind, type, nullptr, nullptr};
  info.Get = [get](TPersistent& obj) -> TPropValue {
    auto& self = static_cast<T&>(obj);
    if constexpr (std::is_same_v<V, bool> || std::is_integral_v<V> || std::is_enum_v<V>) {
      return static_cast<int64_t>((self.*get)());
    } else {
      return TPropValue((self.*get)());
    }
  };
  if (set != nullptr) {
    info.Set = [set](TPersistent& obj, const TPropValue& value) {
      auto& self = static_cast<T&>(obj);
      if constexpr (std::is_same_v<V, bool>) {
        (self.*set)(std::get<int64_t>(value) != 0);
      } else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>) {
        (self.*set)(static_cast<V>(std::get<int64_t>(value)));
      } else {
        (self.*set)(std::get<V>(value));
      }
    };
  }
  return info;
}

}  // namespace tovrin
