#pragma once
// The settings of a skinned window frame that its designer keeps in two
// companions: the caption (height, title placement and font, icon, colour
// and the pieces of the caption bar for the active and the inactive window)
// and the border (the pieces of the sides, corners and bottom, or a plain
// outline drawn with a pen). Every change calls OnChange, through which
// the designer recalculates and repaints the frame.

#include <array>
#include <functional>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Published.h"

// The caption bar's pieces: left, centre (tiled) and right, and the right
// piece of a minimised window.
enum TCaptionPiece : uint8_t {
  ActiveLeftPicture, DeactiveLeftPicture, ActiveRightPicture, DeactiveRightPicture, ActiveCenterPicture,
  DeactiveCenterPicture, ActiveMinRightPicture, DeactiveMinRightPicture, CaptionPieceCount
};

class TECFormCaption : public forms::TPersistent {
public:
  TECFormCaption();

  int Height() const { return FHeight; }
  void SetHeight(int value) { Set(FHeight, value); }
  // x of the title; -1: after the left piece and the icon.
  int TextLeft() const { return FTextLeft; }
  void SetTextLeft(int value) { Set(FTextLeft, value); }
  // The title's right limit from the window's right edge; -1: before the right piece.
  int TextRight() const { return FTextRight; }
  void SetTextRight(int value) { Set(FTextRight, value); }
  // With a graphic it is drawn in place of the form's own icon.
  const canvas::TBitmap& Icon() const { return FIcon; }
  void SetIcon(const canvas::TBitmap& value);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool value) { Set(FIconVisible, value); }
  int IconLeft() const { return FIconLeft; }
  void SetIconLeft(int value) { Set(FIconLeft, value); }
  int IconTop() const { return FIconTop; }
  void SetIconTop(int value) { Set(FIconTop, value); }
  // The caption's background; not painted when it is clBtnFace.
  canvas::TColor Color() const { return FColor; }
  void SetColor(canvas::TColor value) { Set(FColor, value); }
  const canvas::TFont& Font() const { return FFont; }
  void SetFont(const canvas::TFont& value);
  const canvas::TBitmap& Picture(TCaptionPiece piece) const { return FPictures[piece]; }
  void SetPicture(TCaptionPiece piece, const canvas::TBitmap& value);

  void Assign(const TECFormCaption& source);
  std::function<void()> OnChange;

private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
  void Changed() {
    if (OnChange) OnChange();
  }

  int FHeight = 16;
  int FTextLeft = -1, FTextRight = -1;
  canvas::TBitmap FIcon;
  bool FIconVisible = false;
  int FIconLeft = 4, FIconTop = 3;
  canvas::TColor FColor = 0;
  canvas::TFont FFont;
  std::array<canvas::TBitmap, CaptionPieceCount> FPictures;
};

// The border's pieces; each has an active and an inactive ("De") picture.
enum TBorderPiece : uint8_t {
  LeftPicture, RightPicture, BottomPicture, LeftBottomPicture, RightBottomPicture, LeftTopPicture, RightTopPicture,
  BorderPieceCount
};

class TECFormBorder : public forms::TPersistent {
public:
  TECFormBorder() = default;

  // A plain rounded outline with Pen in place of the pictures.
  bool Simple() const { return FSimple; }
  void SetSimple(bool value);
  const canvas::TPen& Pen() const { return FPen; }
  void SetPen(const canvas::TPen& value);
  const canvas::TBitmap& Picture(TBorderPiece piece, bool active = true) const {
    return active ? FActive[piece] : FInactive[piece];
  }
  void SetPicture(TBorderPiece piece, bool active, const canvas::TBitmap& value);
  // Band widths from the active pictures: the left and right pieces' widths,
  // the bottom piece's height (0 without a picture).
  int LeftWidth() const { return FActive[LeftPicture].Width(); }
  int RightWidth() const { return FActive[RightPicture].Width(); }
  int BottomHeight() const { return FActive[BottomPicture].Height(); }

  void Assign(const TECFormBorder& source);
  std::function<void()> OnChange;

private:
  void Changed() {
    if (OnChange) OnChange();
  }

  bool FSimple = false;
  canvas::TPen FPen;
  std::array<canvas::TBitmap, BorderPieceCount> FActive, FInactive;
};
