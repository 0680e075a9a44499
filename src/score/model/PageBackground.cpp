#include "score/model/PageBackground.h"

void TKVBrush::Changed() {
  if (OnChange) OnChange(this);
}

void TKVBrush::SetColor(uint32_t Color) {
  if (Color == FColor) return;
  FColor = Color;
  Changed();
}

void TKVBrush::SetStyle(TKVBrushStyle Style) {
  if (Style == FStyle) return;
  FStyle = Style;
  Changed();
}

void TKVBrush::Assign(const TKVBrush& Source) {
  if (SameAs(Source)) return;
  FColor = Source.FColor;
  FStyle = Source.FStyle;
  Changed();
}

void TKVPicture::SetGraphic(uint16_t Type, std::vector<uint8_t> Bytes) {
  if (Type == gtNone) Bytes.clear();
  if (Type == FType && Bytes == FBytes) return;
  FType = Type;
  FBytes = std::move(Bytes);
  if (OnChange) OnChange(this);
}
