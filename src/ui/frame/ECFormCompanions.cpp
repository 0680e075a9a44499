#include "ui/frame/ECFormCompanions.h"

TECFormCaption::TECFormCaption() {
  FFont.Name = "Times new roman";
  FFont.Color = canvas::clCaptionText;
  FFont.Style = text::fsBold;
}

void TECFormCaption::SetIcon(const canvas::TBitmap& value) {
  FIcon = value;
  Changed();
}

void TECFormCaption::SetFont(const canvas::TFont& value) { Set(FFont, value); }

void TECFormCaption::SetPicture(TCaptionPiece piece, const canvas::TBitmap& value) {
  FPictures[piece] = value;
  Changed();
}

void TECFormCaption::Assign(const TECFormCaption& source) {
  FHeight = source.FHeight;
  FTextLeft = source.FTextLeft;
  FTextRight = source.FTextRight;
  FIcon = source.FIcon;
  FIconVisible = source.FIconVisible;
  FIconLeft = source.FIconLeft;
  FIconTop = source.FIconTop;
  FColor = source.FColor;
  FFont = source.FFont;
  FPictures = source.FPictures;
  Changed();
}

void TECFormBorder::SetSimple(bool value) {
  if (value == FSimple) return;
  FSimple = value;
  Changed();
}

void TECFormBorder::SetPen(const canvas::TPen& value) {
  if (value == FPen) return;
  FPen = value;
  Changed();
}

void TECFormBorder::SetPicture(TBorderPiece piece, bool active, const canvas::TBitmap& value) {
  (active ? FActive : FInactive)[piece] = value;
  Changed();
}

void TECFormBorder::Assign(const TECFormBorder& source) {
  FSimple = source.FSimple;
  FPen = source.FPen;
  FActive = source.FActive;
  FInactive = source.FInactive;
  Changed();
}
