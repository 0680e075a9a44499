#pragma once
// Components: named objects in an ownership tree. An owner frees what it
// owns when it is freed (the last created first); a component leaves its
// owner's list when it is freed on its own. A component that keeps a
// pointer to another asks it for a free notification and is told
// (Notification with opRemove) before the other one goes.

#include <string>
#include <vector>

#include "platform/forms/Published.h"

namespace forms {

enum TComponentStateBits : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };
enum class TOperation : uint8_t { opInsert, opRemove };

// A name given twice among one owner's components, or no valid identifier.
class EComponentError : public Exception { using Exception::Exception; };

class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  const std::string& Name() const { return FName; }
  // Raises EComponentError for a name that is no identifier or that another
  // component of the same owner has (letter case aside).
  void SetName(const std::string& name);
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return int(FComponents.size()); }
  TComponent* Components(int index) const;  // EListError outside the list
  int ComponentIndex() const;
  // The owned component of that name (letter case aside), null when none.
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, the last first.
  void DestroyComponents();

  unsigned ComponentState() const { return FState; }
  bool IsLoading() const { return FState & csLoading; }
  bool IsDestroying() const { return FState & csDestroying; }
  // Code that builds a form marks it (and what it owns) as loading while it
  // sets properties, then calls Loaded once.
  void BeginLoading();
  virtual void Loaded();

  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  void DefineProperties(TPropertyList& props) override;

protected:
  virtual void Notification(TComponent* component, TOperation operation);

private:
  std::string FName;
  int FTag = 0;
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  unsigned FState = 0;
};

}  // namespace forms
