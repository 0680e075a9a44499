#pragma once
// A scroll bar: arrow buttons at both ends, a track and a thumb whose length
// shows PageSize against the range Min .. Max. Presses on the arrows move
// by SmallChange, on the track by LargeChange, and dragging the thumb
// tracks; each step goes through OnScroll, which may change the position
// asked for, before Position takes it. Raised, or flat.

#include "platform/forms/Controls.h"

namespace forms {

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
enum TScrollCode : uint8_t { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
  explicit TScrollBar(TComponent* owner);

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  int PageSize() const { return FPageSize; }
  void SetParams(int position, int min, int max);
  void SetMin(int v) { SetParams(FPosition, v, FMax); }
  void SetMax(int v) { SetParams(FPosition, FMin, v); }
  // Clamped to Min .. Max; OnChange on a change.
  void SetPosition(int v) { SetParams(v, FMin, FMax); }
  void SetPageSize(int v);
  int SmallChange = 1;
  int LargeChange = 1;
  // Flat: the arrows and the thumb framed in the shadow colour, without
  // the raised edge.
  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);

  // Runs one scroll step as the mouse does.
  void Scroll(TScrollCode code, int pos = 0);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  void DefineProperties(TPropertyList& props) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint pos) override;

private:
  // Along the bar: the length of an arrow button, of the track and the
  // thumb's start and length within the control.
  struct TGeometry {
    int Button, TrackStart, TrackLength, ThumbStart, ThumbLength;
  };
  TGeometry Geometry() const;
  int Along(int x, int y) const { return FKind == sbVertical ? y : x; }
  int PositionAt(int along) const;

  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int FDragOffset = -1;  // pointer offset into the thumb while dragging, -1 otherwise
  int FDragPos = 0;
  bool FFlat = false;
};

}  // namespace forms
