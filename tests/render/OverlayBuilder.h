#pragma once
// The staff of the notation tests (top line at y 100 px, 10-pixel spaces,
// its measure record from x 100 px) in a view shown on the headless window
// host, whose rulers are hidden: client pixels are page pixels (layout
// units / 8). Draw runs the hover overlay once on a recording canvas and
// notes what it invalidated; the hit record points at the staff and its
// measure record.

#include <vector>

#include "platform/canvas/RecordingCanvas.h"
#include "render/NotationBuilder.h"
#include "render/ViewOnWindow.h"
#include "render/overlay/HoverOverlay.h"
#include "render/page/ViewPainter.h"

// The pages' paper only: the hand-made records need no fonts.
struct TPaperPainter : render::TKVViewPainter {
  using TKVViewPainter::TKVViewPainter;
  void DrawPageContent(int32_t, canvas::TCanvas&, int32_t, canvas::TPoint) override {}
};

// An overlay that notes what it would invalidate instead of repainting.
template <class TOverlayBase>
struct TInvalidations : TOverlayBase {
  using TOverlayBase::TOverlayBase;
  void Invalidate(const canvas::TRect& R) override { this->Invalidated.push_back(R); }
  std::vector<canvas::TRect> Invalidated;
};

class OverlayPage : public TViewOnWindow<TPaperPainter> {
protected:
  using TOverlay = TInvalidations<render::THoverOverlay>;

  OverlayPage() {
    TKVWindow& v = view();
    v.SetRuleVisible(false);
    v.SetScore(b.Score.get());
    v.HoverShown = true;
    n.Record->LeftX = 800, n.Record->RightX = 3200, n.Line->Page = &b.Page;
    Adopt();
    n.Line->System->Top = 800, n.Line->System->Bottom = 1120;
    PartOf(*n.Line->System, 0, 0);
    v.Hit.StaffLine = n.Line, v.Hit.MeasureRecord = n.Record;
  }
  ~OverlayPage() override { view().SetScore(nullptr); }
  TKVWindow& view() { return control->View(); }
  // One call of the overlay: the calls and invalidations it made.
  void Draw(bool Update = false) {
    canvas.Calls.clear();
    TOverlay overlay(view(), canvas, Update);
    overlay.Draw();
    Invalidated = overlay.Invalidated;
  }
  // Arguments of the recorded calls of one name.
  std::vector<std::vector<double>> Args(const std::string& Name) const {
    std::vector<std::vector<double>> args;
    for (const auto& call : canvas.Calls)
      if (call.Name == Name) args.push_back(call.Args);
    return args;
  }
  // The builder's measure records become the piece's, in column order.
  void Adopt() {
    TKVPieceLayoutRecords& layout = b.Piece->Layout();
    for (auto& record : b.Measures)
      if (record) layout.MeasureRecords.push_back(std::move(record));
    layout.MeasureRecordCount = int32_t(layout.MeasureRecords.size());
  }
  // A system whose only staff line (at Top) holds one measure record of
  // the piece from x 100 to 500 px.
  TKVSystemRecord& NextSystem(int32_t Top) {
    TKVSystemRecord& s = b.System(uint16_t(b.Piece->Layout().MeasureRecordCount));
    s.Top = Top, s.Bottom = Top + 320, s.RightX = 4000;
    b.Line(n.StaffOf, Top).Page = &b.Page;
    b.Measure(s, 800, 4000);
    Adopt();
    PartOf(s, s.FirstStaffLine, s.LastStaffLine);
    return s;
  }
  void PartOf(TKVSystemRecord& S, uint16_t First, uint16_t Last) {
    auto& part = *S.Parts.emplace_back(std::make_unique<TKVSystemPartRecord>());
    part.System = &S, part.Part = b.Part, part.FirstStaffLine = First, part.LastStaffLine = Last;
  }
  // The clef of the measure's staff (its type in Variant).
  void SetClef(uint8_t Type) {
    TKVDisplayItem& clef = n.Add(&n.NewMark(2, Type), {800, 800, 880, 1120});
    auto& part = *n.Record->PartRecords.emplace_back(std::make_unique<TKVPartLayoutRecord>());
    part.StaffRecords.emplace_back(std::make_unique<TKVStaffLayoutRecord>())->ClefList = {&clef};
  }

  TPageBuilder b;
  TNotationBuilder n{b};
  canvas::TRecordingCanvas canvas;
  std::vector<canvas::TRect> Invalidated;
};
