#pragma once
// Published properties: every persistent object of the class library lists
// its properties by name, so that language files and settings can reach
// captions, hints, fonts and item lists by paths such as "ARecord.Caption"
// or "MMProgramModule.Item.Font" without knowing the classes. Names compare
// without regard to ASCII letter case.

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "base/Exceptions.h"
#include "base/Object.h"
#include "platform/canvas/Graphics.h"

class TStream;

namespace forms {

class TStrings;
class TCollection;
class TComponent;

enum class TPropKind : uint8_t {
  pkString,
  pkInteger,
  pkBoolean,
  pkFont,
  pkStrings,
  pkCollection,
  pkComponent,
  pkBinary,  // data of the object's own making, kept whole in form data
};

// Values of the value kinds: String, Integer, Boolean and Font (a font is
// read and assigned whole).
using TPropValue = std::variant<std::string, int, bool, canvas::TFont>;

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::pkString;
  std::function<TPropValue()> Get;             // value kinds
  std::function<void(const TPropValue&)> Set;  // value kinds; empty when read-only
  std::function<TObject*()> Object;            // Strings, Collection and Component kinds (may give null)
  // Binary kind: whether there is data to store, and its reading and writing.
  std::function<bool()> HasData = {};
  std::function<void(TStream&)> ReadData = {};
  std::function<void(TStream&)> WriteData = {};
};

// A property that does not exist, or is used as another kind.
class EPropertyError : public Exception { using Exception::Exception; };

class TPropertyList {
public:
  void Add(TPropInfo info);
  // The property of that name, null when there is none.
  const TPropInfo* Find(const std::string& name) const;
  const std::vector<TPropInfo>& Items() const { return FItems; }

  // Typed registration from an object's accessors.
  template <class C, class G, class S>
  void String(const std::string& name, C* self, G get, S set) {
    Value<std::string>(name, TPropKind::pkString, self, get, set);
  }
  template <class C, class G, class S>
  void Integer(const std::string& name, C* self, G get, S set) {
    Value<int>(name, TPropKind::pkInteger, self, get, set);
  }
  template <class C, class G, class S>
  void Boolean(const std::string& name, C* self, G get, S set) {
    Value<bool>(name, TPropKind::pkBoolean, self, get, set);
  }
  template <class C, class G, class S>
  void Font(const std::string& name, C* self, G get, S set) {
    Value<canvas::TFont>(name, TPropKind::pkFont, self, get, set);
  }
  void Object(const std::string& name, TPropKind kind, std::function<TObject*()> get) {
    Add({name, kind, {}, {}, std::move(get)});
  }
  // Stored only while HasData says so; Read takes a stream of exactly the
  // bytes that Write wrote.
  void Binary(const std::string& name, std::function<bool()> hasData, std::function<void(TStream&)> read,
              std::function<void(TStream&)> write) {
    Add({name, TPropKind::pkBinary, {}, {}, {}, std::move(hasData), std::move(read), std::move(write)});
  }

private:
  template <class T, class C, class G, class S>
  void Value(const std::string& name, TPropKind kind, C* self, G get, S set) {
    Add({name, kind, [self, get] { return TPropValue(T((self->*get)())); },
         [self, set](const TPropValue& v) { (self->*set)(std::get<T>(v)); }, {}});
  }
  std::vector<TPropInfo> FItems;
};

class TPersistent : public TObject {
public:
  // Lists the published properties of the object's class; a class adds its
  // own after its base's.
  virtual void DefineProperties(TPropertyList& props) { (void)props; }
  TPropertyList Properties();

  bool HasProperty(const std::string& name) { return Properties().Find(name) != nullptr; }
  // Raises EPropertyError for a name that is no property.
  TPropKind PropKind(const std::string& name);

  // Each raises EPropertyError for an unknown name or another kind.
  std::string GetStrProp(const std::string& name);
  void SetStrProp(const std::string& name, const std::string& value);
  int GetIntProp(const std::string& name);
  void SetIntProp(const std::string& name, int value);
  bool GetBoolProp(const std::string& name);
  void SetBoolProp(const std::string& name, bool value);
  canvas::TFont GetFontProp(const std::string& name);
  void SetFontProp(const std::string& name, const canvas::TFont& value);
  TStrings* GetStringsProp(const std::string& name);
  TCollection* GetCollectionProp(const std::string& name);
  TComponent* GetComponentProp(const std::string& name);

private:
  template <class T>
  T GetAs(const std::string& name, TPropKind kind) {
    return std::get<T>(GetValue(name, kind));
  }
  TPropValue GetValue(const std::string& name, TPropKind kind);
  void SetValue(const std::string& name, TPropKind kind, const TPropValue& value);
  TObject* GetObject(const std::string& name, TPropKind kind);
};

}  // namespace forms
