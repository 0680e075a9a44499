#pragma once
// One staff of one system on a builder page, with a measure record whose
// display records stand where the layout and the page composer would put
// them: the staff's top line at y 100 px (800 units) with 10-pixel spaces
// (80 units), a note at staff position n (half spaces below the top line)
// in a head rectangle one space high centred on that position, stems of
// 3.5 spaces from the head's middle.

#include "platform/musicfont/MusicFont.h"
#include "render/PageBuilder.h"
#include "score/model/Chord.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

struct TNotationBuilder {
  static constexpr int32_t kTop = 800, kSpace = 80, kStem = 280;

  // Space: the line spacing the page's line space gives at 100 % (units).
  explicit TNotationBuilder(TPageBuilder& B, int Lines = 5, int Size = 100, int32_t TopY = kTop, int32_t Space = kSpace)
      : b(B), StaffOf(b.Staff(Lines, Size)), Top(TopY), Space(Space) {
    Voice = StaffOf->NewVoice();
    b.Part->RenumberVoices(false);
    Measure = b.Part->NewMeasure();
    TKVSystemRecord& system = b.System();
    Line = &b.Line(StaffOf, Top);
    Line->Bottom = Line->InnerBottom = Top + 4 * Space, Line->LineSpacing = uint16_t(Space);
    Record = &b.Measure(system, 0, 16000);
  }

  // A display record of the measure record.
  TKVDisplayItem& Add(TKVItem* Item, TKVLayoutRect Bounds, uint8_t Type = DisplayRecordType::Item) {
    auto& record = *Record->Displays.emplace_back(std::make_unique<TKVDisplayItem>());
    Record->DisplayCount = uint16_t(Record->Displays.size());
    record.Owner = Record, record.Item = Item, record.StaffLine = Line, record.RecordType = Type;
    record.Bounds = Bounds;
    return record;
  }

  // A note of the staff's voice at staff position Pos, not yet drawn.
  TKVNote& NewNote(int Pos, uint16_t Duration, bool Down = false, TObject* Owner = nullptr) {
    auto* note = new TKVNote(Owner ? Owner : Measure);
    note->SetDuration(Duration), note->SetValue(Duration), note->SetFlag(NoteFlag::StemDown, Down);
    uint8_t beams = Duration == 32 ? 1 : Duration == 16 ? 2 : Duration == 8 ? 3 : Duration == 4 ? 4 : 0;
    note->SetJoin(uint8_t(beams << NoteJoin::BeamCountShift));
    note->SetStaffVoice(uint8_t(StaffOf->Index() << 4));
    note->StaffStep = int16_t(Pos), note->Voice = Voice;
    return *note;
  }
  int32_t HeadTop(int Pos) const { return Top + Pos * Space / 2 - Space / 2; }
  // The head record at x (units), Width units wide.
  TKVDisplayItem& Head(TKVNote& Note, int32_t X, int32_t Width = 56) {
    int32_t top = HeadTop(Note.StaffStep);
    return Add(&Note, {X, top, X + Width, top + Space});
  }
  // The stem record of a head at x: 8 units wide at the head's stem side,
  // from the head's middle to Length units beyond.
  TKVDisplayItem& Stem(TKVNote& Note, int32_t X, int32_t Width = 56, int32_t Length = kStem) {
    int32_t middle = HeadTop(Note.StaffStep) + Space / 2;
    TKVLayoutRect r = Note.StemDown() ? TKVLayoutRect{X, middle, X + 8, middle + Length}
                                      : TKVLayoutRect{X + Width - 8, middle - Length, X + Width, middle};
    return Add(&Note, r, DisplayRecordType::Stem);
  }
  TKVDisplayItem& Beam(std::vector<TKVDisplayItem*> Stems) {
    TKVDisplayItem& beam = Add(Stems.front()->Item, {}, DisplayRecordType::BeamGroup);
    beam.Links = std::move(Stems);
    for (TKVDisplayItem* stem : beam.Links) static_cast<TKVNote*>(stem->Item)->BeamGroup = 1;
    return beam;
  }
  TKVMark& NewMark(uint8_t Kind, uint8_t Variant) {
    auto* mark = new TKVMark(Measure);
    mark->SetKind(Kind), mark->SetVariant(Variant);
    return *mark;
  }
  void Select(TKVDisplayItem& R) {
    Selection.push_back(&R);
    b.View.SelectionGroups = {{b.Piece, {Selection}}};
  }

  TPageBuilder& b;
  TKVStaff* StaffOf;
  int32_t Top, Space;
  TKVVoice* Voice = nullptr;
  TKVMeasure* Measure = nullptr;
  TKVStaffLineRecord* Line = nullptr;
  TKVMeasureRecord* Record = nullptr;
  std::vector<TKVDisplayItem*> Selection;
};

// Calls of one name among those recorded.
inline Calls Named(const canvas::TRecordingCanvas& Canvas, const std::string& Name) {
  Calls calls;
  for (const auto& call : Canvas.Calls)
    if (call.Name == Name) calls.push_back(&call);
  return calls;
}
// The recorded music-font glyph writes: text calls whose font is a music font.
inline Calls Glyphs(const canvas::TRecordingCanvas& Canvas) {
  Calls calls;
  for (const auto& call : Canvas.Calls)
    if (call.Name == "TextOutA" && musicfont::IsMusicFontName(call.Font.Name)) calls.push_back(&call);
  return calls;
}
using Points = std::vector<std::pair<double, double>>;

// The corners of a recorded polygon or polyline (smooth path or GDI call).
inline Points Corners(const canvas::TCanvasCall& Call) {
  Points points;
  if (Call.Name == "SmoothPath") {
    for (const auto& c : Call.Path)
      if (c.Kind == canvas::TPathCommand::Move || c.Kind == canvas::TPathCommand::Line)
        points.push_back({c.P[0].X, c.P[0].Y});
  } else {
    for (size_t i = 0; i + 1 < Call.Args.size(); i += 2) points.push_back({Call.Args[i], Call.Args[i + 1]});
  }
  return points;
}

// Drops the staff lines (level smooth lines across a measure from x 0) from
// the recorded calls, leaving the notation.
inline void DropStaffLines(canvas::TRecordingCanvas& Canvas) {
  std::erase_if(Canvas.Calls, [](const canvas::TCanvasCall& c) {
    return c.Name == "SmoothPath" && c.SmoothPen && c.Path.size() == 2 && c.Path[0].P[0].X == 0 &&
           c.Path[0].P[0].Y == c.Path[1].P[0].Y;
  });
}

// A builder page drawn at a zoom with the staff lines left out.
struct TNotationPage {
  explicit TNotationPage(int Lines = 5) : n(p.b, Lines) {}
  void Draw(int Zoom = 100) {
    p.canvas.Calls.clear();
    p.d.DrawPageContent(0, Zoom, Zoom, 0, 0);
    DropStaffLines(p.canvas);
  }
  Calls Named(const std::string& Name) const { return ::Named(p.canvas, Name); }
  std::vector<std::u16string> Texts() const {
    std::vector<std::u16string> texts;
    for (const auto& c : p.canvas.Calls)
      if (c.Name == "TextOut" || c.Name == "TextOutA") texts.push_back(c.Text);
    return texts;
  }
  Drawing p;
  TNotationBuilder n;
};
