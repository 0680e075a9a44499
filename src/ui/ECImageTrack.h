#pragma once
// A track bar drawn from pictures: a track of a first picture, a tiled centre
// picture and a last picture, and a thumb taken from a strip of frames
// ButtonWidth wide (0 normal, 1 hot, 3 disabled). Every picture is drawn
// with the colour of its bottom-left pixel left out. With itsTrack Position
// is a value between Min and Max; with itsScroll it is the thumb's centre in
// pixels. A press jumps to the pressed place, the thumb can be dragged, and
// the thumb turns hot under the pointer. It paints through an off-screen
// bitmap that OnPaint may draw on before it reaches the screen.

#include <functional>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Controls.h"

enum TTrackOrientation : uint8_t { toHorizontal, toVertical };
enum TImageTrackStyle : uint8_t { itsTrack, itsScroll };

using TOnPaintEvent = std::function<void(TObject* Sender, canvas::TBitmap& Bitmap)>;

class TECImageTrack : public forms::TCustomControl {
public:
  explicit TECImageTrack(forms::TComponent* owner);

  const canvas::TBitmap& FirstTrackPicture() const { return FFirstTrackPicture; }
  const canvas::TBitmap& CenterTrackPicture() const { return FCenterTrackPicture; }
  const canvas::TBitmap& LastTrackPicture() const { return FLastTrackPicture; }
  const canvas::TBitmap& ButtonPicture() const { return FButtonPicture; }
  void SetFirstTrackPicture(const canvas::TBitmap& value) { SetPicture(FFirstTrackPicture, value); }
  void SetCenterTrackPicture(const canvas::TBitmap& value) { SetPicture(FCenterTrackPicture, value); }
  void SetLastTrackPicture(const canvas::TBitmap& value) { SetPicture(FLastTrackPicture, value); }
  void SetButtonPicture(const canvas::TBitmap& value) { SetPicture(FButtonPicture, value); }

  TTrackOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTrackOrientation value) { SetRepainting(FOrientation, value); }
  int Position() const { return FPosition; }
  // Clamped to Min .. Max; repaints the thumb's old and new places (with
  // DrawProgress the stretch between them) and fires OnChange.
  void SetPosition(int value);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  // Ignored when above Max (below Min); the position follows into the range.
  void SetMin(int value);
  void SetMax(int value);
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int value) { SetRepainting(FButtonWidth, value); }
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int value) { SetRepainting(FButtonHeight, value); }
  bool DrawProgress() const { return FDrawProgress; }
  void SetDrawProgress(bool value) { SetRepainting(FDrawProgress, value); }
  TImageTrackStyle Style() const { return FStyle; }
  void SetStyle(TImageTrackStyle value) { FStyle = value; }
  // Margins at the start and end of the track along its axis, and across it
  // for a thumb without picture.
  int LeftOffset() const { return FLeftOffset; }
  void SetLeftOffset(int value) { SetRepainting(FLeftOffset, value); }
  int RightOffset() const { return FRightOffset; }
  void SetRightOffset(int value) { SetRepainting(FRightOffset, value); }
  int TopOffset() const { return FTopOffset; }
  void SetTopOffset(int value) { SetRepainting(FTopOffset, value); }
  int BottomOffset() const { return FBottomOffset; }
  void SetBottomOffset(int value) { SetRepainting(FBottomOffset, value); }

  // The thumb's rectangle and whether a client point is on a drawn pixel of it.
  canvas::TRect ButtonRect() const;
  bool IsOverButton(int x, int y) const;
  // 0 normal, 1 hot.
  int ButtonState() const { return FButtonState; }
  bool Dragging() const { return FDragging; }

  TNotifyEvent OnChange;
  TOnPaintEvent OnPaint;

  void DefineProperties(forms::TPropertyList& props) override;

protected:
  void Paint() override;
  void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseMove(forms::TShiftState shift, int x, int y) override;
  void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

private:
  bool Horizontal() const { return FOrientation == toHorizontal; }
  int Along(int x, int y) const { return Horizontal() ? x : y; }
  // Track length along the axis less both offsets.
  int TrackLength() const;
  int ButtonCentre() const;
  // Where the thumb's frame bitmap lies, and that bitmap.
  canvas::TRect ButtonFrameRect() const;
  canvas::TBitmap ButtonFrame() const;
  void SetButtonState(int state);
  void ChangePosition(int value);
  void SetPicture(canvas::TBitmap& target, const canvas::TBitmap& value);
  template <class T>
  void SetRepainting(T& field, T value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }

  canvas::TBitmap FFirstTrackPicture, FCenterTrackPicture, FLastTrackPicture, FButtonPicture;
  TTrackOrientation FOrientation = toHorizontal;
  int FPosition = 0, FMin = 0, FMax = 100;
  int FButtonWidth = 0, FButtonHeight = 0;
  bool FDrawProgress = false;
  TImageTrackStyle FStyle = itsTrack;
  int FLeftOffset = 0, FRightOffset = 0, FTopOffset = 0, FBottomOffset = 0;
  int FButtonState = 0;
  bool FDragging = false;
  bool FMouseInside = false;
  canvas::TPoint FLastPoint;
  canvas::TPoint FGrabOffset;  // the thumb rectangle's left and top minus the pressed point
  canvas::TBitmap FBitmap;     // off-screen picture of the control
};
