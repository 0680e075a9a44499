#include "render/PageRecordChecks.h"

#include <algorithm>
#include <bit>
#include <sstream>

#include "platform/canvas/RecordingCanvas.h"
#include "platform/musicfont/GlyphMap.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/PageTexts.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

namespace K = ItemKind;

struct TBox {
  int64_t Left, Top, Right, Bottom;
};

bool Overlap(const TBox& A, const TBox& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// After positioning a record's rectangle is (left, top, right, bottom) on
// the page.
TBox BoxOf(const TKVDisplayItem& D) { return {D.Bounds.Left, D.Bounds.Top, D.Bounds.Width, D.Bounds.Bottom}; }

// The height of five lines of a staff, as far as its system's measures
// draw them.
TBox StaffBox(const TKVStaffLineRecord& Line) {
  const TKVSystemRecord* system = Line.System;
  if (!system || system->MeasureCount == 0 || system->MeasureCount > system->Measures.size() ||
      !system->Measures[0] || !system->Measures[system->MeasureCount - 1u])
    return {Line.LeftX, Line.Top, Line.LeftX, Line.Bottom};
  return {system->Measures[0]->LeftX, Line.Top, system->Measures[system->MeasureCount - 1u]->RightX, Line.Bottom};
}

bool Shown(const TKVStaffLineRecord* Line) { return Line && (Line->Flags & 1) && Line->Staff; }

bool Drawn(const TKVDisplayItem* D) {
  return D && D->Item && !D->Hidden && !(D->DrawFlags & DisplayDrawFlag::Suppressed);
}

// Records whose rectangle stays in measure terms after positioning: grace
// groups, and objects held by a measure (relative to their anchor).
bool OnPageTerms(const TKVDisplayItem& D) {
  const uint8_t kind = D.Item->Kind();
  return kind != K::GraceGroup && kind != K::OleObject && !(kind >= K::Text && kind <= K::ArcChord);
}

std::string Box(const TBox& B) {
  std::ostringstream s;
  s << "(" << B.Left / 8 << "," << B.Top / 8 << ")-(" << B.Right / 8 << "," << B.Bottom / 8 << ") px";
  return s.str();
}

template <class Visit>
void EachMeasureRecord(const TKVPageRecord& Page, Visit&& Visit_) {
  for (uint16_t s = 0; s < Page.SystemCount && s < Page.Systems.size(); ++s) {
    TKVSystemRecord& system = *Page.Systems[s];
    for (uint16_t m = 0; m < system.MeasureCount && m < system.Measures.size(); ++m)
      if (TKVMeasureRecord* measure = system.Measures[m])
        for (int32_t i = 0; TKVDisplayItem* d = measure->GetDisplay(i); ++i) Visit_(s, system, *measure, *d);
  }
}

}  // namespace

std::string DescribeRecord(const TKVDisplayItem& Record) {
  std::ostringstream s;
  s << "kind " << int(Record.Item ? Record.Item->Kind() : 0);
  if (Record.RecordType != DisplayRecordType::Item) s << " (record type " << int(Record.RecordType) << ")";
  s << " at " << Box(BoxOf(Record));
  return s.str();
}

TOffPage CheckOffPage(TKVScore& Score, int32_t Index) {
  TOffPage result;
  TKVScoreLayoutRecords& store = ScoreLayoutRecords(Score);
  if (Index < 0 || Index >= store.PageCount || size_t(Index) >= store.Pages.size()) return result;
  const TKVPageRecord& page = *store.Pages[size_t(Index)];
  const TKVPage& settings = Score.Page();
  const int64_t width = int64_t(settings.GetWidthPixels()) * 8, height = int64_t(settings.GetHeightPixels()) * 8;
  const int64_t bottomEdge = height - int64_t(settings.GetBottomMarginPixels()) * 8;
  // Each side a record passes must be one that a rule of the layout
  // explains for its system.
  auto check = [&](const TBox& B, const TKVSystemRecord* System, bool FirstOfPage, const std::string& What) {
    const bool right = B.Right > width, below = B.Bottom > height;
    if (B.Left >= 0 && B.Top >= 0 && !right && !below) return;
    const TKVMeasureRecord* first = System && System->MeasureCount > 0 ? System->Measures[0] : nullptr;
    const TKVMeasureRecord* last = first ? System->Measures[System->MeasureCount - 1u] : nullptr;
    // As far as the system's last measure reaches (a closing bar line ends
    // a few units past it).
    const bool wide = first && last && first->RightX > System->RightX && B.Right <= int64_t(last->RightX) + 8;
    const bool tall = System && FirstOfPage && System->Bottom > bottomEdge;
    if (B.Left < 0 || B.Top < 0 || (right && !wide) || (below && !tall)) {
      result.Unexplained.push_back("page " + std::to_string(Index + 1) + ": " + What + " off the page");
      return;
    }
    if (right) ++result.Explained[off_page_rule::WideFirstMeasure];
    if (below) ++result.Explained[off_page_rule::TallSystem];
  };
  for (uint16_t s = 0; s < page.SystemCount && s < page.Systems.size(); ++s) {
    const TKVSystemRecord& system = *page.Systems[s];
    for (int32_t i = system.FirstStaffLine; i <= system.LastStaffLine; ++i)
      if (const TKVStaffLineRecord* line = page.GetStaffLine(i); Shown(line))
        check(StaffBox(*line), &system, s == 0, "staff line " + std::to_string(i) + " at " + Box(StaffBox(*line)));
  }
  EachMeasureRecord(page, [&](uint16_t S, TKVSystemRecord& System, TKVMeasureRecord&, TKVDisplayItem& D) {
    if (Drawn(&D) && OnPageTerms(D)) check(BoxOf(D), &System, S == 0, DescribeRecord(D));
  });
  for (uint16_t o = 0; o < page.PageObjectCount && o < page.PageObjects.size(); ++o)
    if (const TKVDisplayItem& D = *page.PageObjects[o]; D.Item) check(BoxOf(D), nullptr, false, "page object " + DescribeRecord(D));
  return result;
}

namespace {

// A page text that shows something: a page mark, or a text with a
// character (an empty one keeps a box but draws nothing).
bool ShownPageText(const TKVDisplayItem& D) {
  if (!D.Item) return false;
  if (D.Item->Kind() == K::PageMark) return true;
  if (D.Item->Kind() != K::Text) return false;
  const auto& lines = static_cast<const TKVText&>(*D.Item).Lines();
  return std::any_of(lines.begin(), lines.end(), [](const std::u16string& Line) { return !Line.empty(); });
}

}  // namespace

std::vector<std::string> CheckOverStaves(const TKVPageRecord& Page) {
  std::vector<const TKVStaffLineRecord*> staves;
  for (int32_t i = 0; i < Page.StaffLineCount; ++i)
    if (const TKVStaffLineRecord* line = Page.GetStaffLine(i); Shown(line)) staves.push_back(line);
  std::vector<std::string> faults;
  auto check = [&](const TKVDisplayItem& D, const TKVStaffLineRecord* Own, const char* What) {
    for (const TKVStaffLineRecord* line : staves)
      if (line != Own && Overlap(BoxOf(D), StaffBox(*line)))
        faults.push_back("page " + std::to_string(Page.PageIndex + 1) + ": " + What + " " + DescribeRecord(D) +
                         " over the staff at " + Box(StaffBox(*line)));
  };
  EachMeasureRecord(Page, [&](uint16_t, TKVSystemRecord&, TKVMeasureRecord&, TKVDisplayItem& D) {
    if (!Drawn(&D) || D.RecordType != DisplayRecordType::Item || !D.StaffLine) return;
    switch (D.Item->Kind()) {
      case K::Syllable: check(D, D.StaffLine, "lyric"); break;
      case K::LyricText: check(D, D.StaffLine, "staff text"); break;
      case K::LyricLine: check(D, D.StaffLine, "part name"); break;
      case K::Dynamic: case K::DynamicSymbol: check(D, D.StaffLine, "dynamic"); break;
      default: break;
    }
  });
  for (uint16_t o = 0; o < Page.PageObjectCount && o < Page.PageObjects.size(); ++o)
    if (const TKVDisplayItem& D = *Page.PageObjects[o]; ShownPageText(D)) check(D, nullptr, "page text");
  return faults;
}

namespace {

// The layout measures a syllable's or a staff text's lines and adds this
// room below them.
constexpr int64_t SyllablePadding = 24;
// A hairpin's rectangle starts this far before its tick.
constexpr int64_t HairpinOpening = 32;

// A note's stem from its head to its end, as a line: at the stem's right
// edge when it goes up, at its left when down.
struct TStemLine {
  int64_t X, Head, End;
};
TStemLine StemLine(const TKVDisplayItem& Stem) {
  const auto* note = dynamic_cast<const TKVNote*>(Stem.Item);
  const bool down = note && note->StemDown();
  const TKVLayoutRect& r = Stem.Bounds;
  return down ? TStemLine{r.Left, r.Top, r.Bottom} : TStemLine{r.Width, r.Bottom, r.Top};
}

// Whether the straight line from (X0, Y0) to (X1, Y1) passes through B.
bool Crosses(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, const TBox& B) {
  if (X0 > X1) std::swap(X0, X1), std::swap(Y0, Y1);
  const int64_t from = std::max(X0, B.Left), to = std::min(X1, B.Right);
  if (from > to || (from == to && X0 != X1)) return false;
  auto y = [&](int64_t X) {
    return X1 == X0 ? (long double)Y0 : Y0 + (long double)(Y1 - Y0) * (X - X0) / (X1 - X0);
  };
  const long double a = X1 == X0 ? std::min(Y0, Y1) : std::min(y(from), y(to));
  const long double b = X1 == X0 ? std::max(Y0, Y1) : std::max(y(from), y(to));
  return a < B.Bottom && b > B.Top;
}

// The next shown staff of a line's system, nil for its last.
const TKVStaffLineRecord* NextStaff(const TKVPageRecord& Page, const TKVStaffLineRecord& Line) {
  const int32_t last = Line.System ? Line.System->LastStaffLine : Line.Index;
  for (int32_t i = Line.Index + 1; i <= last; ++i)
    if (const TKVStaffLineRecord* next = Page.GetStaffLine(i); Shown(next)) return next;
  return nullptr;
}

}  // namespace

std::vector<std::string> CheckSyllables(const TKVPageRecord& Page) {
  struct TSyllable {
    const TKVDisplayItem* Record;
    TBox Text;
  };
  std::vector<TSyllable> syllables;
  std::vector<const TKVDisplayItem*> heads, stems, beams;
  EachMeasureRecord(Page, [&](uint16_t, TKVSystemRecord&, TKVMeasureRecord&, TKVDisplayItem& D) {
    if (!Drawn(&D) || !Shown(D.StaffLine)) return;
    if (D.RecordType == DisplayRecordType::Stem) stems.push_back(&D);
    if (D.RecordType == DisplayRecordType::BeamGroup) beams.push_back(&D);
    if (D.RecordType != DisplayRecordType::Item) return;
    if (D.Item->Kind() == K::Note) heads.push_back(&D);
    if (D.Item->Kind() != K::Syllable) return;
    TBox text = BoxOf(D);
    text.Bottom = std::max(text.Top, text.Bottom - SyllablePadding);
    syllables.push_back({&D, text});
  });
  std::vector<std::string> faults;
  const std::string page = "page " + std::to_string(Page.PageIndex + 1) + ": lyric ";
  for (size_t a = 0; a < syllables.size(); ++a) {
    const TKVDisplayItem& D = *syllables[a].Record;
    const TBox& text = syllables[a].Text;
    const TKVStaffLineRecord& own = *D.StaffLine;
    const TKVStaffLineRecord* next = NextStaff(Page, own);
    auto fault = [&](const std::string& What, const TBox& Where) {
      faults.push_back(page + DescribeRecord(D) + " over " + What + " at " + Box(Where));
    };
    if (Overlap(text, StaffBox(own))) fault("its own staff", StaffBox(own));
    for (const TKVDisplayItem* head : heads)
      if (Overlap(text, BoxOf(*head)) && (head->StaffLine == &own || head->StaffLine == next))
        fault(head->StaffLine == &own ? "a note head of its staff" : "a note head of the next staff", BoxOf(*head));
    for (const TKVDisplayItem* stem : stems)
      if (const TStemLine s = StemLine(*stem); stem->StaffLine == next && Crosses(s.X, s.Head, s.X, s.End, text))
        fault("a stem of the next staff", BoxOf(*stem));
    for (const TKVDisplayItem* beam : beams) {
      std::vector<const TKVDisplayItem*> ends;
      for (const TKVDisplayItem* link : beam->Links)
        if (link && link->RecordType == DisplayRecordType::Stem) ends.push_back(link);
      if (ends.size() < 2 || ends.front()->StaffLine != next) continue;
      const TStemLine first = StemLine(*ends.front()), last = StemLine(*ends.back());
      if (Crosses(first.X, first.End, last.X, last.End, text)) fault("a beam of the next staff", BoxOf(*beam));
    }
    for (size_t b = a + 1; b < syllables.size(); ++b) {
      const TKVDisplayItem& other = *syllables[b].Record;
      if (other.StaffLine->System == own.System && Overlap(text, syllables[b].Text) &&
          static_cast<const TKVLyric&>(*D.Item).Verse() != static_cast<const TKVLyric&>(*other.Item).Verse())
        fault("another verse's " + DescribeRecord(other), syllables[b].Text);
    }
  }
  return faults;
}

std::vector<std::string> CheckDirectionMarks(const TKVPageRecord& Page) {
  struct TMark {
    const TKVDisplayItem* Record;
    uint16_t Tick;
    TBox Box;
  };
  std::vector<TMark> marks;
  EachMeasureRecord(Page, [&](uint16_t, TKVSystemRecord&, TKVMeasureRecord&, TKVDisplayItem& D) {
    // A hairpin's piece on a later system (linked to the one before) has no
    // opening.
    if (!Drawn(&D) || D.RecordType != DisplayRecordType::Item || !Shown(D.StaffLine) || D.Link) return;
    TBox box = BoxOf(D);
    if (const auto* text = dynamic_cast<const TKVLyric*>(D.Item); text && text->Kind() == K::LyricText) {
      const TKVWideList& lines = text->Lines();
      if (std::all_of(lines.begin(), lines.end(), [](const std::u16string& Line) { return Line.empty(); })) return;
      box.Bottom = std::max(box.Top, box.Bottom - SyllablePadding);
      marks.push_back({&D, text->Position(), box});
    } else if (const auto* mark = dynamic_cast<const TKVMark*>(D.Item); mark && mark->Kind() == K::Dynamic) {
      // A hairpin by its opening, the width the layout gives it before it
      // runs on to its end.
      if (mark->Variant() == 50 || mark->Variant() == 51) box.Right = std::min(box.Right, box.Left + HairpinOpening);
      marks.push_back({&D, mark->Position(), box});
    }
  });
  std::vector<std::string> faults;
  for (size_t a = 0; a < marks.size(); ++a)
    for (size_t b = a + 1; b < marks.size(); ++b) {
      const TKVDisplayItem &A = *marks[a].Record, &B = *marks[b].Record;
      if (A.StaffLine == B.StaffLine && A.Owner == B.Owner && marks[a].Tick == marks[b].Tick &&
          Overlap(marks[a].Box, marks[b].Box))
        faults.push_back("page " + std::to_string(Page.PageIndex + 1) + ": " + DescribeRecord(A) + " over " +
                         DescribeRecord(B) + " at tick " + std::to_string(marks[a].Tick));
    }
  return faults;
}

std::vector<std::string> CheckPageTexts(const TKVPageRecord& Page) {
  std::vector<const TKVDisplayItem*> texts;
  for (uint16_t o = 0; o < Page.PageObjectCount && o < Page.PageObjects.size(); ++o)
    if (const TKVDisplayItem& D = *Page.PageObjects[o]; ShownPageText(D)) texts.push_back(&D);
  std::vector<std::string> faults;
  for (size_t a = 0; a < texts.size(); ++a)
    for (size_t b = a + 1; b < texts.size(); ++b)
      if (Overlap(BoxOf(*texts[a]), BoxOf(*texts[b])))
        faults.push_back("page " + std::to_string(Page.PageIndex + 1) + ": page texts " + DescribeRecord(*texts[a]) +
                         " and " + DescribeRecord(*texts[b]) + " overlap");
  return faults;
}

namespace {

// The y of the top line of a staff as the page drawer drew it (staves of
// fewer lines are centred in the height of five).
int64_t DrawnTopLine(const TKVStaffLineRecord& Line) {
  const int64_t s = Line.DrawnLineSpacing;
  const int lines = Line.Staff->LineCount();
  const int64_t shift = lines == 1 ? 2 * s : lines == 2 ? s + s / 2 : lines == 3 ? s : lines == 4 ? s / 2 : 0;
  return Line.Top / 8 + shift;
}

// What a rest's drawing shows: a music-font rest glyph, or a block that
// hangs from a line (whole) or sits on one (half).
uint16_t DrawnTicks(const std::vector<canvas::TCanvasCall>& Calls, const TKVStaffLineRecord& Line) {
  for (const canvas::TCanvasCall& call : Calls) {
    if (call.Name == "TextOutA" && call.Text.size() == 1) {
      const musicfont::TGlyphEntry* entry = musicfont::FindEntry(uint8_t(call.Text[0]));
      const std::string name = entry && entry->Names[0] ? entry->Names[0] : "";
      if (name == "rests.M1") return 1024;
      if (name.size() == 7 && name.starts_with("rests.") && name[6] >= '0' && name[6] <= '7')
        return uint16_t(512 >> (name[6] - '0'));
      return 0;
    }
    if (call.Name == "FillRect" && call.Args.size() == 4) {
      const int64_t s = Line.DrawnLineSpacing, top = DrawnTopLine(Line);
      if (s <= 0) return 0;
      auto onLine = [&](double Y) { return ((int64_t(Y) - top) % s + s) % s == 0; };
      return onLine(call.Args[1]) ? 512 : onLine(call.Args[3]) ? 256 : 0;
    }
  }
  return 0;
}

struct TRestDrawing {
  render::TKVPageDrawer& Drawer;
  canvas::TRecordingCanvas& Canvas;

  std::vector<canvas::TCanvasCall> Draw(TKVSystemRecord& System, TKVMeasureRecord& Measure, TKVDisplayItem& D) {
    Drawer.CurrentSystem = &System;
    Drawer.CurrentMeasure = &Measure;
    Drawer.CurrentRecord = &D;
    Drawer.GlyphDX = Drawer.GlyphDY = 0;
    Drawer.SymbolFontRecord = nullptr;
    Canvas.Calls.clear();
    Drawer.DrawItem(D);
    Drawer.CurrentRecord = nullptr;
    return std::move(Canvas.Calls);
  }

  TDrawnRest Rest(TKVSystemRecord& System, TKVMeasureRecord& Measure, TKVDisplayItem& D) {
    TDrawnRest drawn{DrawnTicks(Draw(System, Measure, D), *D.StaffLine), 0};
    for (int32_t i = 0; TKVDisplayItem* dot = Measure.GetDisplay(i); ++i)
      if (Drawn(dot) && dot->RecordType == DisplayRecordType::Item && dot->Item->Kind() == K::Dot &&
          dot->Item->Owner() == D.Item)
        for (const canvas::TCanvasCall& call : Draw(System, Measure, *dot)) drawn.Dots += call.Name == "SmoothPath";
    return drawn;
  }
};

// What an importer of files without written types (MIDI) wrote: the
// rest's own value and dots; a value that is no type stands for the whole
// measure when it fills it, else for the longest type it holds.
TWrittenRest OwnValue(const TKVPause& Rest, const TKVMeasureRecord& Measure) {
  TWrittenRest own{Rest.Value(), 0};
  for (const TKVItem* item : Rest.Items().Items())
    if (item->Kind() == K::Dot) own.Dots = static_cast<const TKVMark*>(item)->Value() + 1;
  if (std::has_single_bit(own.Ticks) && own.Ticks >= 4 && own.Ticks <= 1024) return own;
  if (own.Ticks >= Measure.Length) return {512, 0};
  uint16_t value = 1024;
  while (value > 4 && value > own.Ticks) value /= 2;
  own.Ticks = value;
  return own;
}

std::string RestText(uint16_t Ticks, int Dots) {
  static const std::pair<uint16_t, const char*> names[] = {{1024, "breve"}, {512, "whole"}, {256, "half"},
                                                           {128, "quarter"}, {64, "eighth"}, {32, "16th"},
                                                           {16, "32nd"}, {8, "64th"}, {4, "128th"}};
  std::string text = "no rest glyph";
  for (auto [ticks, name] : names)
    if (ticks == Ticks) text = name;
  for (int i = 0; i < Dots; ++i) text += ".";
  return text;
}

}  // namespace

std::vector<std::string> CheckRestGlyphs(TKVWindow& View, int32_t Index, const TWrittenRests* Written) {
  std::vector<std::string> faults;
  TKVScore* score = View.Score();
  if (!score) return faults;
  TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
  if (Index < 0 || Index >= store.PageCount || size_t(Index) >= store.Pages.size()) return faults;
  const TKVPageRecord& page = *store.Pages[size_t(Index)];
  canvas::TRecordingCanvas canvas;
  render::TKVPageDrawer drawer(View, canvas);
  drawer.DrawPageContent(Index, 100, 100, 0, 0);
  TRestDrawing drawing{drawer, canvas};
  // Written rests not yet matched, by part and measure.
  std::map<std::pair<int, int>, std::vector<TWrittenRest>> open;
  EachMeasureRecord(page, [&](uint16_t, TKVSystemRecord& System, TKVMeasureRecord& Measure, TKVDisplayItem& D) {
    if (!Drawn(&D) || D.RecordType != DisplayRecordType::Item || D.Item->Kind() != K::Rest || !Shown(D.StaffLine))
      return;
    auto& rest = static_cast<TKVPause&>(*D.Item);
    const TKVMeasure* measure = rest.GetMeasure();
    if (rest.Hidden() || !measure || !measure->Part()) return;
    const std::pair<int, int> at{measure->Part()->Index(), measure->Index()};
    const TDrawnRest drawn = drawing.Rest(System, Measure, D);
    std::vector<TWrittenRest> expected;
    if (Written) {
      // A measure the file does not write for the part (one of a part the
      // part list leaves out, say) has nothing to compare with.
      const auto written = Written->find(at);
      if (written == Written->end()) return;
      expected = open.try_emplace(at, written->second).first->second;
    } else {
      expected = {OwnValue(rest, Measure)};
    }
    const auto match = std::find(expected.begin(), expected.end(), TWrittenRest{drawn.Ticks, drawn.Dots});
    if (match != expected.end()) {
      if (Written) open[at].erase(open[at].begin() + (match - expected.begin()));
      return;
    }
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    std::string wanted;
    for (const TWrittenRest& w : expected) wanted += (wanted.empty() ? "" : " or ") + RestText(w.Ticks, w.Dots);
    faults.push_back("page " + std::to_string(Index + 1) + ", part " + std::to_string(at.first + 1) + " measure " +
                     std::to_string(at.second + 1) + ": a rest drawn as " + RestText(drawn.Ticks, drawn.Dots) +
                     " where " + (wanted.empty() ? "no rest" : wanted) + " is written");
  });
  return faults;
}
