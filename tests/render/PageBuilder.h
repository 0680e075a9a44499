#pragma once
// A score with one piece and hand-made page records in page coordinates
// (layout units, eighths of a pixel at 100 %), a view on it, and a page
// drawer on a recording canvas over it.

#include <memory>
#include "platform/canvas/RecordingCanvas.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

struct TPageBuilder {
  explicit TPageBuilder(int Pages = 1, long double LineSpacePx = 10) {
    Score->Page().PushMetrix(rmPixels);
    Score->Page().SetLineSpace(LineSpacePx);
    Score->Page().PopMetrix();
    Part = (Piece = Score->NewPiece())->NewPart();
    for (int i = 1; i < Pages; ++i) Store.Pages.push_back(std::make_unique<TKVPageRecord>());
    Store.PageCount = Pages;
    View.SetScore(Score.get());
  }
  TKVStaff* Staff(int Lines = 5, int Size = 100) {
    TKVStaff* staff = Part->NewStaff();
    staff->Data().setU8(StaffBlock::LineCount, uint8_t(Lines));
    staff->SetSizePercent(uint8_t(Size));
    return staff;
  }
  TKVSystemRecord& System(uint16_t FirstMeasure = 0) {
    auto& system = *Page.Systems.emplace_back(std::make_unique<TKVSystemRecord>());
    Page.SystemCount = uint16_t(Page.Systems.size());
    system.Page = &Page, system.Piece = Piece, system.Flags = 1;
    system.FirstStaffLine = Page.StaffLineCount, system.FirstMeasure = FirstMeasure;
    return system;
  }
  // A shown staff line of the last system, its top line at Top.
  TKVStaffLineRecord& Line(TKVStaff* Staff, int32_t Top) {
    auto& line = *Page.StaffLines.emplace_back(std::make_unique<TKVStaffLineRecord>());
    line.Index = Page.StaffLineCount++, line.System = Page.Systems.back().get(), line.Staff = Staff;
    line.Top = Top, line.Bottom = line.InnerBottom = Top + 320, line.Flags = 1, line.System->LastStaffLine = line.Index;
    return line;
  }
  TKVMeasureRecord& Measure(TKVSystemRecord& System, int32_t Left, int32_t Right, uint8_t Flags = 0) {
    auto& measure = *Measures.emplace_back(std::make_unique<TKVMeasureRecord>());
    measure.System = &System, measure.ColumnIndex = uint16_t(System.FirstMeasure + System.MeasureCount++);
    measure.LeftX = Left, measure.RightX = Right, measure.Flags = Flags, System.Measures.push_back(&measure);
    return measure;
  }
  std::unique_ptr<TKVScore> Score = std::make_unique<TKVScore>();
  TKVScoreLayoutRecords& Store = ScoreLayoutRecords(*Score);
  TKVPageRecord& Page = *(Store.Pages.push_back(std::make_unique<TKVPageRecord>()), Store.Pages.back());
  TKVWindow View;
  TKVPiece* Piece = nullptr;
  TKVPart* Part = nullptr;
  std::vector<std::unique_ptr<TKVMeasureRecord>> Measures;
};

using Calls = std::vector<const canvas::TCanvasCall*>;

struct Drawing {
  explicit Drawing(int XScale = 100, TKVWindowStyle Style = wsNormal, int Scale = 100, long double LineSpace = 10)
      : b(1, LineSpace) {
    b.View.SetStyle(Style), b.Score->SetScale(Scale);
    d.DrawPageContent(0, XScale, XScale, 0, 0), canvas.Calls.clear();
  }
  Calls Named(const std::string& Name) const {
    Calls calls;
    for (const auto& call : canvas.Calls)
      if (call.Name == Name) calls.push_back(&call);
    return calls;
  }
  TPageBuilder b;
  canvas::TRecordingCanvas canvas;
  render::TKVPageDrawer d{b.View, canvas};
};
