// Corpus files imported, laid out, composed and every page drawn with the
// real fonts: key signatures, accidentals, ties, tuplets and lyrics land
// where the music puts them, counted apart from the drawers. Page 1 of the
// files people review is saved into the build folder (render-pages/).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "platform/canvas/RecordingCanvas.h"
#include "platform/musicfont/MusicFont.h"
#include "player/Window.h"
#include "render/PageImages.h"
#include "render/page/PageDrawer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/Staff.h"
#include "support/sketch/ReviewImages.h"

namespace fs = std::filesystem;

namespace {

fs::path Corpus() { return fs::path(SONARID_CORPUS_DIR) / "musicxml"; }

// A recording canvas that notes, for every call, the display record being
// drawn.
struct TAttributingCanvas : canvas::TRecordingCanvas {
  using TRecordingCanvas::TRecordingCanvas;
  const render::TKVPageDrawer* Drawer = nullptr;
  std::vector<const TKVDisplayItem*> Owners;
  void Note() { Owners.resize(Calls.size(), Drawer ? Drawer->CurrentRecord : nullptr); }
  void TextOut(int x, int y, std::u16string_view text) override { TRecordingCanvas::TextOut(x, y, text), Note(); }
  void TextOutA(int x, int y, std::string_view bytes) override { TRecordingCanvas::TextOutA(x, y, bytes), Note(); }
  void SmoothPath(const canvas::TPath& path, const canvas::TSmoothPen* pen, const canvas::TSmoothBrush* brush) override {
    TRecordingCanvas::SmoothPath(path, pen, brush), Note();
  }
  void FillRect(const canvas::TRect& r) override { TRecordingCanvas::FillRect(r), Note(); }
  void Polygon(std::span<const canvas::TPoint> points) override { TRecordingCanvas::Polygon(points), Note(); }
};

bool IsGlyph(const canvas::TCanvasCall& Call) {
  return Call.Name == "TextOutA" && musicfont::IsMusicFontName(Call.Font.Name);
}

class MarksCorpus : public ::testing::Test {
protected:
  // The file laid out into pages; false when the corpus is not there.
  bool Load(const std::string& Name) {
    const fs::path path = Corpus() / Name;
    if (!fs::exists(path)) return false;
    view.reset();
    score = LoadLaidOut(path.string());
    view = std::make_unique<TKVWindow>();
    view->SetScore(score.get());
    return true;
  }
  int32_t Pages() const { return ScoreLayoutRecords(*score).PageCount; }
  // Page P drawn at zoom 100; every call with the record that made it.
  TAttributingCanvas& Draw(int32_t P) {
    canvas = std::make_unique<TAttributingCanvas>(2000, 3000);
    render::TKVPageDrawer drawer(*view, *canvas);
    canvas->Drawer = &drawer;
    drawer.DrawPageContent(P, 100, 100, 0, 0);
    canvas->Drawer = nullptr;
    canvas->Note();
    return *canvas;
  }
  // The calls of one record.
  std::vector<const canvas::TCanvasCall*> Of(const TKVDisplayItem* Record) const {
    std::vector<const canvas::TCanvasCall*> calls;
    for (size_t i = 0; i < canvas->Calls.size(); ++i)
      if (canvas->Owners[i] == Record) calls.push_back(&canvas->Calls[i]);
    return calls;
  }
  // The drawable records of item kinds on page P that stand on a shown staff.
  std::vector<const TKVDisplayItem*> RecordsOf(int32_t P, std::initializer_list<uint8_t> Kinds) const {
    std::vector<const TKVDisplayItem*> records;
    const TKVPageRecord& page = *ScoreLayoutRecords(*score).Pages[size_t(P)];
    for (size_t s = 0; s < page.SystemCount; ++s)
      for (size_t m = 0; m < page.Systems[s]->MeasureCount; ++m) {
        const TKVMeasureRecord& measure = *page.Systems[s]->Measures[m];
        for (size_t i = 0; i < measure.DisplayCount; ++i) {
          const TKVDisplayItem* r = measure.Displays[i].get();
          if (r->Hidden || !r->Item || r->RecordType != DisplayRecordType::Item) continue;
          if (!r->StaffLine || !(r->StaffLine->Flags & 1)) continue;
          if (std::find(Kinds.begin(), Kinds.end(), r->Item->Kind()) != Kinds.end()) records.push_back(r);
        }
      }
    return records;
  }

  TRealLayout layout;
  std::unique_ptr<TKVScore> score;
  std::unique_ptr<TKVWindow> view;
  std::unique_ptr<TAttributingCanvas> canvas;
};

// ---- key signatures: how many accidentals each record shows ----

// Worked out here from the key codes: 1-9 sharps, 10 and up flats, 20 a key
// of its own whose seven entries hold octave, step and accidental code + 1.
// The steps (0 = C) a key counts as altered when naturals are chosen: the
// first of F C G D A E B or B E A D G C F (a flat key of code 10 none), or
// each step a key of its own names.
std::set<int> Altered(const TKVMark& Key) {
  static const int sharps[7] = {3, 0, 4, 1, 5, 2, 6}, flats[7] = {6, 2, 5, 1, 4, 0, 3};
  const int k = Key.Variant();
  std::set<int> steps;
  if (k == 20) {
    for (int i = 0; i < 7 && size_t(2 * i + 2) <= Key.Extra().Size(); ++i) steps.insert((Key.ExtraWord(i) >> 8) & 0x0F);
  } else {
    for (int i = 0; i < std::min(k < 10 ? k : k - 10, 7); ++i) steps.insert(k < 10 ? sharps[i] : flats[i]);
  }
  return steps;
}
// The accidentals a standard key shows, in order: sharps for 1-9 (at most
// seven), flats from 10 on (one for 10 and 11).
std::vector<int> Shown(int K) {
  static const int sharps[7] = {3, 0, 4, 1, 5, 2, 6}, flats[7] = {6, 2, 5, 1, 4, 0, 3};
  if (K == 0) return {};
  const int n = K < 10 ? std::min(K, 7) : std::clamp(K - 10, 1, 7);
  return std::vector<int>(K < 10 ? sharps : flats, (K < 10 ? sharps : flats) + n);
}
bool HasKeyForm(uint8_t Code) { return (Code >= 1 && Code <= 5) || (Code >= 102 && Code <= 105) || (Code >= 134 && Code <= 139); }

size_t ExpectedKeyGlyphs(const TKVDisplayItem& Record) {
  const auto& key = *static_cast<const TKVMark*>(Record.Item);
  if (!Record.Links.empty()) {
    // The naturals of the key before on the steps this key leaves.
    const auto* previous = Record.Links[0] ? dynamic_cast<const TKVMark*>(Record.Links[0]->Item) : nullptr;
    if (!previous) return 0;
    const std::set<int> kept = Altered(key);
    size_t n = 0;
    if (previous->Variant() == 20) {
      for (int i = 0; i < 7; ++i) {
        const uint16_t entry = previous->ExtraWord(i);
        n += (entry & 0xFF) != 0 && (entry & 0xFF) != 5 && !kept.count((entry >> 8) & 0x0F);
      }
    } else {
      for (int step : Shown(previous->Variant())) n += !kept.count(step);
    }
    return n;
  }
  if (key.Variant() == 0) return Shown(key.CancelledKey).size();
  if (key.Variant() != 20) return Shown(key.Variant()).size();
  size_t n = 0;
  for (int i = 0; i < 7; ++i) n += HasKeyForm(uint8_t(key.ExtraWord(i)));
  return n;
}

TEST_F(MarksCorpus, KeySignaturesShowTheirAccidentals) {
  size_t records = 0;
  for (const char* name : {"13a-KeySignatures.xml", "13b-KeySignatures-ChurchModes.xml",
                           "13c-KeySignatures-NonTraditional.xml", "13d-KeySignatures-Microtones.xml",
                           "13e-KeySignatures-Cancel.xml"}) {
    if (!Load(name)) GTEST_SKIP() << "no corpus";
    for (int32_t p = 0; p < Pages(); ++p) {
      Draw(p);
      for (const TKVDisplayItem* record : RecordsOf(p, {ItemKind::KeySignature})) {
        size_t glyphs = 0;
        for (const auto* call : Of(record)) glyphs += IsGlyph(*call);
        EXPECT_EQ(glyphs, ExpectedKeyGlyphs(*record))
            << name << " page " << p << " key " << int(static_cast<const TKVMark*>(record->Item)->Variant());
        ++records;
      }
    }
  }
  EXPECT_GT(records, 20u);
}

}  // namespace

namespace {

// ---- accidentals, ties, tuplets, lyrics ----

// The head glyph of a note's record on the page just drawn: its left x,
// width and centre y (heads are written with their baseline on the note's
// middle).
struct THead {
  double Left = 0, Right = 0, Y = 0;
  bool Found = false;
};

class MarkPlaces : public MarksCorpus {
protected:
  THead HeadOf(int32_t P, const TKVItem* Note) {
    for (const TKVDisplayItem* record : RecordsOf(P, {ItemKind::Note}))
      if (record->Item == Note)
        for (const auto* call : Of(record))
          if (IsGlyph(*call)) {
            canvas->Font = call->Font;
            return {call->Args[0], call->Args[0] + canvas->TextWidthA(std::string(1, char(call->Text[0]))),
                    call->Args[1], true};
          }
    return {};
  }
  // The glyph and text calls of a record.
  std::vector<const canvas::TCanvasCall*> Texts(const TKVDisplayItem* Record, bool Glyphs) {
    std::vector<const canvas::TCanvasCall*> texts;
    for (const auto* call : Of(Record))
      if ((call->Name == "TextOut" || call->Name == "TextOutA") && IsGlyph(*call) == Glyphs) texts.push_back(call);
    return texts;
  }
  static double Space(const TKVDisplayItem& Record) { return Record.StaffLine->DrawnLineSpacing; }
};

// Every accidental is one glyph, left of its note's head.
TEST_F(MarkPlaces, AccidentalsStandBeforeTheirNotes) {
  size_t checked = 0;
  for (const char* name : {"01a-Pitches-Pitches.xml", "01b-Pitches-Intervals.xml",
                           "01e-Pitches-ParenthesizedAccidentals.xml"}) {
    if (!Load(name)) GTEST_SKIP() << "no corpus";
    for (int32_t p = 0; p < Pages(); ++p) {
      Draw(p);
      for (const TKVDisplayItem* record : RecordsOf(p, {ItemKind::Accidental})) {
        std::vector<const canvas::TCanvasCall*> glyphs = Texts(record, true);
        ASSERT_EQ(glyphs.size(), 1u) << name << " page " << p;
        const THead head = HeadOf(p, dynamic_cast<const TKVItem*>(record->Item->Owner()));
        if (!head.Found) continue;  // a note drawn elsewhere
        canvas->Font = glyphs[0]->Font;
        const double right = glyphs[0]->Args[0] + canvas->TextWidthA(std::string(1, char(glyphs[0]->Text[0])));
        EXPECT_LE(right, head.Left + 1) << name << " page " << p;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 20u);
}

// Ties start at their note's head and end at the next head of the same
// pitch, each within a space.
TEST_F(MarkPlaces, TiesJoinTheirHeads) {
  if (!Load("33b-Spanners-Tie.xml")) GTEST_SKIP() << "no corpus";
  size_t checked = 0;
  for (int32_t p = 0; p < Pages(); ++p) {
    Draw(p);
    std::vector<std::pair<const TKVNote*, THead>> heads;
    for (const TKVDisplayItem* record : RecordsOf(p, {ItemKind::Note}))
      heads.emplace_back(static_cast<const TKVNote*>(record->Item), HeadOf(p, record->Item));
    for (const TKVDisplayItem* record : RecordsOf(p, {ItemKind::Slur})) {
      if (record->Continuation) continue;  // a tie cut at a system's end
      std::vector<const canvas::TCanvasCall*> paths;
      for (const auto* call : Of(record))
        if (call->Name == "SmoothPath") paths.push_back(call);
      ASSERT_EQ(paths.size(), 1u);
      const canvas::TPointF start = paths[0]->Path[0].P[0], end = paths[0]->Path[1].P[2];
      const auto* note = dynamic_cast<const TKVNote*>(static_cast<const TKVItem*>(record->Item)->Owner());
      ASSERT_NE(note, nullptr);
      const THead* from = nullptr;
      const THead* to = nullptr;
      for (const auto& [n, head] : heads)
        if (n == note) from = &head;
      ASSERT_TRUE(from && from->Found);
      for (const auto& [n, head] : heads)
        if (head.Found && n->StaffStep == note->StaffStep && head.Left > from->Left && (!to || head.Left < to->Left))
          to = &head;
      ASSERT_NE(to, nullptr);
      const double sp = Space(*record);
      auto near = [&](canvas::TPointF P, const THead& H) {
        const double dx = std::max({H.Left - P.X, P.X - H.Right, 0.0});
        const double dy = std::max({H.Y - sp / 2 - P.Y, P.Y - (H.Y + sp / 2), 0.0});
        return std::hypot(dx, dy) <= sp;
      };
      EXPECT_TRUE(near(start, *from)) << "page " << p << " start " << start.X << "," << start.Y << " head " << from->Left
                                      << "," << from->Y;
      EXPECT_TRUE(near(end, *to)) << "page " << p << " end " << end.X << "," << end.Y << " head " << to->Left << ","
                                  << to->Y;
      ++checked;
    }
  }
  EXPECT_GT(checked, 0u);
}

// A tuplet's number stands clear above or below the heads of its group
// (the notes of its staff from its position on for its length).
TEST_F(MarkPlaces, TupletNumbersClearTheirGroups) {
  size_t checked = 0;
  for (const char* name : {"23a-Tuplets.xml", "23b-Tuplets-Styles.xml", "23c-Tuplet-Display-NonStandard.xml",
                           "23d-Tuplets-Nested.xml"}) {
    if (!Load(name)) GTEST_SKIP() << "no corpus";
    for (int32_t p = 0; p < Pages(); ++p) {
      Draw(p);
      for (const TKVDisplayItem* record : RecordsOf(p, {ItemKind::Tuplet})) {
        std::vector<const canvas::TCanvasCall*> numbers = Texts(record, false);
        if (numbers.empty()) continue;  // nothing but its marks
        const auto& mark = *static_cast<const TKVMark*>(record->Item);
        canvas->Font = numbers[0]->Font;
        const double top = numbers[0]->Args[1], bottom = top + canvas->TextHeight(u"3");
        double highest = 1e9, lowest = -1e9;
        for (const TKVDisplayItem* head : RecordsOf(p, {ItemKind::Note})) {
          const auto& note = *static_cast<const TKVNote*>(head->Item);
          if (head->Owner != record->Owner || head->StaffLine != record->StaffLine ||
              note.Position() < mark.Position() ||
              note.Position() >= mark.Position() + TupletScale(mark.Variant(), mark.Value()))
            continue;
          const THead h = HeadOf(p, &note);
          if (!h.Found) continue;
          highest = std::min(highest, h.Y - Space(*head) / 2), lowest = std::max(lowest, h.Y + Space(*head) / 2);
        }
        if (lowest < highest) continue;  // no heads of the group here
        EXPECT_TRUE(bottom <= highest + 1 || top >= lowest - 1)
            << name << " page " << p << " number " << top << ".." << bottom << " heads " << highest << ".." << lowest;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 40u);
}

// Lyrics stand below their staff.
TEST_F(MarkPlaces, LyricsStandBelowTheirStaff) {
  size_t checked = 0, unnumbered = 0;
  for (const fs::path& file : fs::directory_iterator(Corpus())) {
    const std::string name = file.filename().string();
    if (name.rfind("61", 0) != 0 || file.extension() != ".xml") continue;
    ASSERT_TRUE(Load(name));
    for (int32_t p = 0; p < Pages(); ++p) {
      Draw(p);
      for (const TKVDisplayItem* record : RecordsOf(p, {ItemKind::Syllable})) {
        // A syllable without a verse number keeps the import's vertical
        // offset of 0, on the staff's top line.
        if (static_cast<const TKVLyric*>(record->Item)->OffsetY() == 0) {
          ++unnumbered;
          continue;
        }
        for (const auto* text : Texts(record, false)) {
          EXPECT_GE(text->Args[1], record->StaffLine->InnerBottom / 8) << name << " page " << p;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 50u);
  std::printf("syllables below their staff: %zu, without a verse number: %zu\n", checked, unnumbered);
}

// Page 1 of the files people review, at zoom 150:
// build/<flavour>/render-pages/<file>-150.png.
TEST_F(MarksCorpus, WritesTheReviewedPages) {
  for (const char* name : {"01a-Pitches-Pitches.xml", "11a-TimeSignatures.xml", "13a-KeySignatures.xml",
                           "23a-Tuplets.xml", "33c-Spanners-Slurs.xml", "61a-Lyrics.xml"}) {
    if (!Load(name)) GTEST_SKIP() << "no corpus";
    view->SetZoom(150);
    DrawPageImage(*view, 0).SaveToPngFile(ReviewImagePath("render-pages", fs::path(name).stem().string() + "-150"));
  }
}

}  // namespace
