#include "platform/forms/Published.h"

#include "base/Strings.h"
#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/forms/Strings.h"

namespace forms {

namespace {

constexpr const char* kKindNames[] = {"string",     "integer",   "boolean", "font", "string list",
                                      "collection", "component", "binary"};

}  // namespace

void TPropertyList::Add(TPropInfo info) {
  // A derived class may publish a property of its base again, with new accessors.
  for (TPropInfo& existing : FItems)
    if (SameText(existing.Name, info.Name)) {
      existing = std::move(info);
      return;
    }
  FItems.push_back(std::move(info));
}

const TPropInfo* TPropertyList::Find(const std::string& name) const {
  for (const TPropInfo& p : FItems)
    if (SameText(p.Name, name)) return &p;
  return nullptr;
}

TPropertyList TPersistent::Properties() {
  TPropertyList props;
  DefineProperties(props);
  return props;
}

TPropKind TPersistent::PropKind(const std::string& name) {
  TPropertyList props = Properties();
  const TPropInfo* p = props.Find(name);
  if (!p) throw EPropertyError("Property " + name + " does not exist");
  return p->Kind;
}

namespace {

const TPropInfo& Expect(const TPropertyList& props, const std::string& name, TPropKind kind) {
  const TPropInfo* p = props.Find(name);
  if (!p) throw EPropertyError("Property " + name + " does not exist");
  if (p->Kind != kind) throw EPropertyError("Property " + name + " is no " + kKindNames[int(kind)] + " property");
  return *p;
}

}  // namespace

TPropValue TPersistent::GetValue(const std::string& name, TPropKind kind) {
  return Expect(Properties(), name, kind).Get();
}

void TPersistent::SetValue(const std::string& name, TPropKind kind, const TPropValue& value) {
  TPropertyList props = Properties();
  const TPropInfo& p = Expect(props, name, kind);
  if (!p.Set) throw EPropertyError("Property " + name + " is read-only");
  p.Set(value);
}

TObject* TPersistent::GetObject(const std::string& name, TPropKind kind) {
  return Expect(Properties(), name, kind).Object();
}

std::string TPersistent::GetStrProp(const std::string& name) { return GetAs<std::string>(name, TPropKind::pkString); }
void TPersistent::SetStrProp(const std::string& name, const std::string& v) { SetValue(name, TPropKind::pkString, v); }
int TPersistent::GetIntProp(const std::string& name) { return GetAs<int>(name, TPropKind::pkInteger); }
void TPersistent::SetIntProp(const std::string& name, int v) { SetValue(name, TPropKind::pkInteger, v); }
bool TPersistent::GetBoolProp(const std::string& name) { return GetAs<bool>(name, TPropKind::pkBoolean); }
void TPersistent::SetBoolProp(const std::string& name, bool v) { SetValue(name, TPropKind::pkBoolean, v); }
canvas::TFont TPersistent::GetFontProp(const std::string& name) { return GetAs<canvas::TFont>(name, TPropKind::pkFont); }
void TPersistent::SetFontProp(const std::string& name, const canvas::TFont& v) { SetValue(name, TPropKind::pkFont, v); }
TStrings* TPersistent::GetStringsProp(const std::string& name) {
  return static_cast<TStrings*>(GetObject(name, TPropKind::pkStrings));
}
TCollection* TPersistent::GetCollectionProp(const std::string& name) {
  return static_cast<TCollection*>(GetObject(name, TPropKind::pkCollection));
}
TComponent* TPersistent::GetComponentProp(const std::string& name) {
  return static_cast<TComponent*>(GetObject(name, TPropKind::pkComponent));
}

}  // namespace forms
