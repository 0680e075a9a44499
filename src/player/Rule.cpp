#include "player/Rule.h"

#include "base/Exceptions.h"

TKVRule::TKVRule(TKVWindow* OwnerWindow) : FOwner(OwnerWindow) {
  if (!OwnerWindow) throw Exception("Rule have not owner of the Window");
  FFont.Name = "Times New Roman";
  FFont.SetSize(7);
  FFont.Color = canvas::clBlack;
}

void TKVRule::Assign(const TKVRule& Source) {
  FWidth = Source.FWidth;
  FVisible = Source.FVisible;
  FFont = Source.FFont;
}
