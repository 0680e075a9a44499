#pragma once
// Containers and pictures: TPanel (a coloured area with an optional bevel
// and centred caption), TGroupBox (an etched frame with a caption at its
// top left), TImage (a picture, drawn as it is, centred or stretched) and
// TShape (a figure drawn with a pen and a brush: lines, frames, bands).

#include "platform/canvas/Bitmap.h"
#include "platform/forms/ControlPaint.h"
#include "platform/forms/Controls.h"

namespace forms {

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);
  TAlignment Alignment = taCenter;

protected:
  void Paint() override;

private:
  TBevelCut FBevelOuter = bvRaised;
};

class TGroupBox : public TCustomControl {
public:
  explicit TGroupBox(TComponent* owner);

protected:
  void Paint() override;
};

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner);
  // The picture; call Invalidate after changing it in place.
  const canvas::TBitmap& Picture() const { return FPicture; }
  void SetPicture(const canvas::TBitmap& picture);
  bool Stretch = false;
  bool Center = false;

protected:
  void Paint() override;

private:
  canvas::TBitmap FPicture;
};

enum TShapeType : uint8_t { stRectangle, stRoundRect, stEllipse };

class TShape : public TGraphicControl {
public:
  explicit TShape(TComponent* owner);
  TShapeType Shape = stRectangle;
  // Outline and fill; call Invalidate after changing them.
  canvas::TPen Pen;
  canvas::TBrush Brush;

protected:
  void Paint() override;
};

}  // namespace forms
