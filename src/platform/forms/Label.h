#pragma once
// A line of text on a form. With AutoSize (the default) the label takes the
// size of its text; "&" marks the character underlined as the mnemonic.
// Transparent labels (the default) leave what is behind them.

#include "platform/forms/ControlPaint.h"
#include "platform/forms/Controls.h"

namespace forms {

class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);

protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;

private:
  void AdjustSize();
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = true;
};

}  // namespace forms
