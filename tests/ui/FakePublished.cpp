#include "FakePublished.h"

#include <stdexcept>

#include "base/Strings.h"

struct TFakeObject::TProp {
  TPropertyKind Kind;
  std::string Str;
  std::vector<std::string> Items;
  canvas::TFont Font;
  std::unique_ptr<TFakeObject> Object;
  std::unique_ptr<TFakeCollection> Coll;
};

TFakeObject::TFakeObject(std::string name, std::vector<std::string>* journal)
    : FName(std::move(name)), FJournal(journal ? journal : &FOwnJournal) {}

TFakeObject::~TFakeObject() = default;

TFakeObject::TProp& TFakeObject::declare(const std::string& name, TPropertyKind kind) {
  auto& slot = FProps[UpperCase(name)];
  slot = std::make_unique<TProp>();
  slot->Kind = kind;
  return *slot;
}

TFakeObject::TProp& TFakeObject::at(const std::string& name, TPropertyKind kind) const {
  auto it = FProps.find(UpperCase(name));
  if (it == FProps.end() || it->second->Kind != kind) throw std::logic_error(FName + " has no such property " + name);
  return *it->second;
}

TFakeObject* TFakeObject::find(const std::string& name) {
  auto it = FComponents.find(UpperCase(name));
  return it == FComponents.end() ? nullptr : it->second.get();
}

TFakeObject& TFakeObject::String(const std::string& name, const std::string& value) {
  declare(name, TPropertyKind::pkString).Str = value;
  return *this;
}
TFakeObject& TFakeObject::Strings(const std::string& name) {
  declare(name, TPropertyKind::pkStrings);
  return *this;
}
TFakeObject& TFakeObject::Font(const std::string& name) {
  declare(name, TPropertyKind::pkFont);
  return *this;
}
TFakeObject& TFakeObject::Integer(const std::string& name) {
  declare(name, TPropertyKind::pkInteger);
  return *this;
}
TFakeObject& TFakeObject::Boolean(const std::string& name) {
  declare(name, TPropertyKind::pkBoolean);
  return *this;
}
TFakeObject& TFakeObject::Other(const std::string& name) {
  declare(name, TPropertyKind::pkOther);
  return *this;
}
TFakeObject& TFakeObject::Component(const std::string& name) {
  TProp& prop = declare(name, TPropertyKind::pkComponent);
  prop.Object = std::make_unique<TFakeObject>(FName + "." + name, FJournal);
  return *prop.Object;
}
TFakeObject& TFakeObject::EmptyComponent(const std::string& name) {
  declare(name, TPropertyKind::pkComponent);
  return *this;
}
TFakeCollection& TFakeObject::Collection(const std::string& name, int count) {
  TProp& prop = declare(name, TPropertyKind::pkCollection);
  prop.Coll = std::make_unique<TFakeCollection>(FName + "." + name, count, FJournal);
  return *prop.Coll;
}
TFakeObject& TFakeObject::Add(const std::string& name) {
  auto& slot = FComponents[UpperCase(name)];
  slot = std::make_unique<TFakeObject>(name, FJournal);
  return *slot;
}

const std::string& TFakeObject::Str(const std::string& name) const { return at(name, TPropertyKind::pkString).Str; }
const std::vector<std::string>& TFakeObject::List(const std::string& name) const {
  return at(name, TPropertyKind::pkStrings).Items;
}
const canvas::TFont& TFakeObject::FontOf(const std::string& name) const { return at(name, TPropertyKind::pkFont).Font; }
canvas::TFont& TFakeObject::FontRef(const std::string& name) { return at(name, TPropertyKind::pkFont).Font; }
TFakeObject& TFakeObject::operator[](const std::string& name) {
  if (TFakeObject* component = find(name)) return *component;
  auto it = FProps.find(UpperCase(name));
  if (it != FProps.end() && it->second->Object) return *it->second->Object;
  throw std::logic_error(FName + " has no component " + name);
}

TPropertyKind TFakeObject::PropertyKind(const std::string& name) {
  auto it = FProps.find(UpperCase(name));
  return it == FProps.end() ? TPropertyKind::pkNone : it->second->Kind;
}

void TFakeObject::SetStrProp(const std::string& name, const std::string& value) {
  at(name, TPropertyKind::pkString).Str = value;
  FJournal->push_back(FName + "." + name);
}

void TFakeObject::AssignStringsProp(const std::string& name, const TStringList& value) {
  auto& items = at(name, TPropertyKind::pkStrings).Items;
  items.clear();
  for (int i = 0; i < value.Count(); ++i) items.push_back(value.Strings(i));
  FJournal->push_back(FName + "." + name);
}

void TFakeObject::AssignFontProp(const std::string& name, const canvas::TFont& value) {
  at(name, TPropertyKind::pkFont).Font = value;
  FJournal->push_back(FName + "." + name);
}

TPublishedCollection* TFakeObject::GetCollectionProp(const std::string& name) {
  return at(name, TPropertyKind::pkCollection).Coll.get();
}

TPublishedObject* TFakeObject::GetComponentProp(const std::string& name) {
  return at(name, TPropertyKind::pkComponent).Object.get();
}

TPublishedObject* TFakeObject::FindComponent(const std::string& name) { return find(name); }

TFakeCollection::TFakeCollection(const std::string& name, int count, std::vector<std::string>* journal) {
  for (int i = 0; i < count; ++i)
    FItems.push_back(std::make_unique<TFakeObject>(name + "[" + std::to_string(i) + "]", journal));
}
