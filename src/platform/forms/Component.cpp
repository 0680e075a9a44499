#include "platform/forms/Component.h"

#include <algorithm>
#include <cctype>

#include "base/Strings.h"

namespace forms {

namespace {

bool IsIdentifier(const std::string& s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  FState |= csDestroying;
  // Whoever keeps a pointer to this one is told first.
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    std::erase(c->FFreeNotifies, this);
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && !IsIdentifier(name)) throw EComponentError("'" + name + "' is not a valid component name");
  if (FOwner && !name.empty())
    if (TComponent* other = FOwner->FindComponent(name); other && other != this)
      throw EComponentError("A component named " + name + " already exists");
  FName = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(index);
  return FComponents[size_t(index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& list = FOwner->FComponents;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  if (!component->FName.empty() && FindComponent(component->FName))
    throw EComponentError("A component named " + component->FName + " already exists");
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->FOwner != this) return;
  Notification(component, TOperation::opRemove);
  std::erase(FComponents, component);
  component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    RemoveComponent(c);
    delete c;
  }
}

void TComponent::BeginLoading() {
  FState |= csLoading;
  for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::Loaded() {
  FState &= ~unsigned(csLoading);
  for (TComponent* c : std::vector<TComponent*>(FComponents))
    if (c->IsLoading()) c->Loaded();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
    component->FFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  std::erase(FFreeNotifies, component);
  if (component) std::erase(component->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  (void)component;
  (void)operation;
}

void TComponent::DefineProperties(TPropertyList& props) {
  props.String("Name", this, &TComponent::Name, &TComponent::SetName);
  props.Integer("Tag", this, &TComponent::Tag, &TComponent::SetTag);
}

}  // namespace forms
