#pragma once
// The ruler settings of a score view: whether the two ruler strips show, how
// thick they are and the font of their numbers. The view that owns them
// paints the strips; changing a setting repaints nothing by itself.

#include <cstdint>

#include "base/Object.h"
#include "platform/canvas/Graphics.h"

class TKVWindow;

class TKVRule : public TObject {
public:
  // Raises "Rule have not owner of the Window" without an owner.
  explicit TKVRule(TKVWindow* OwnerWindow);

  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value) { FWidth = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  const canvas::TFont& Font() const { return FFont; }
  void SetFont(const canvas::TFont& Value) { FFont = Value; }
  void Assign(const TKVRule& Source);
  TKVWindow& OwnerWindow() const { return *FOwner; }

private:
  TKVWindow* FOwner;
  int32_t FWidth = 24;
  bool FVisible = true;
  canvas::TFont FFont;
};
