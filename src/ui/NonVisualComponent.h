#pragma once
// The component frame the language components need: an owner form and the
// component state. Whoever builds a form (streaming or code) marks its
// components as loading while it sets their properties and calls Loaded
// once the whole form is built.

#include "base/Object.h"
#include "ui/PublishedProperties.h"

enum TComponentStateBit : unsigned { csLoading = 1, csDesigning = 2 };

class TNonVisualComponent : public TObject {
public:
  explicit TNonVisualComponent(TPublishedForm* owner) : FOwner(owner) {}

  TPublishedForm* Owner() const { return FOwner; }
  unsigned ComponentState() const { return FComponentState; }
  bool IsLoading() const { return FComponentState & csLoading; }
  bool IsDesigning() const { return FComponentState & csDesigning; }

  void BeginLoading() { FComponentState |= csLoading; }
  virtual void Loaded() { FComponentState &= ~unsigned(csLoading); }
  void SetDesigning(bool designing) {
    FComponentState = designing ? FComponentState | csDesigning : FComponentState & ~unsigned(csDesigning);
  }

private:
  TPublishedForm* FOwner;
  unsigned FComponentState = 0;
};
