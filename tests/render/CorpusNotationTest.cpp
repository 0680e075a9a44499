// The notation of every page of every corpus file (the MusicXML test suite
// and the fetched MIDI files), laid out and composed, drawn on a recording
// canvas that notes which display record each call was made for: heads on
// their lines and spaces, beams touching their stems, ledger lines exactly
// outside the staff, no music-font code without a shape, nothing off the
// page. Page 1 of each file goes to the build folder (render-pages/) for
// people to look at, the reviewed files' also at 150 %.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "render/NotationBuilder.h"
#include "render/PageImages.h"
#include "render/TaggingCanvas.h"
#include "support/sketch/ReviewImages.h"

namespace fs = std::filesystem;

namespace {

struct TPoints {
  double MinX = 1e9, MinY = 1e9, MaxX = -1e9, MaxY = -1e9;
};
// The corners of a recorded path or polygon.
TPoints Extent(const canvas::TCanvasCall& Call) {
  TPoints p;
  auto add = [&](double x, double y) {
    p.MinX = std::min(p.MinX, x), p.MaxX = std::max(p.MaxX, x), p.MinY = std::min(p.MinY, y), p.MaxY = std::max(p.MaxY, y);
  };
  for (const auto& c : Call.Path)
    if (c.Kind == canvas::TPathCommand::Move || c.Kind == canvas::TPathCommand::Line) add(c.P[0].X, c.P[0].Y);
  if (Call.Name == "MusicBrace") {  // x, middle y, height, width
    add(Call.Args[0], Call.Args[1] - Call.Args[2] / 2), add(Call.Args[0] + Call.Args[3], Call.Args[1] + Call.Args[2] / 2);
  } else if (Call.Path.empty()) {
    for (size_t i = 0; i + 1 < Call.Args.size(); i += 2) add(Call.Args[i], Call.Args[i + 1]);
  }
  return p;
}

bool FiveLineStaff(const TKVStaffLineRecord* Line) {
  return Line && (Line->Flags & 1) && Line->Staff && Line->Staff->LineCount() == 5 &&
         Line->Staff->Data().u8(StaffBlock::Tablature) == 0;
}

class CorpusNotation : public ::testing::TestWithParam<std::string> {
protected:
  void CheckPage(TKVWindow& View, int32_t Page, int Zoom);
  TRealLayout layout;
};

// Faults of one kind found on a page: how many, and the first in words.
struct TFaults {
  size_t Count = 0;
  std::string First;
  void Add(const std::string& What) {
    if (Count++ == 0) First = What;
  }
};

void CorpusNotation::CheckPage(TKVWindow& View, int32_t Page, int Zoom) {
  SCOPED_TRACE(::testing::Message() << "page " << Page + 1 << " at " << Zoom << " %");
  View.SetZoom(Zoom);
  const TKVPageRect size = View.PageRect(Page);
  const int w = size.Right - size.Left, h = size.Bottom - size.Top;
  TTaggingCanvas canvas(w + 64, h + 64);
  render::TKVPageDrawer drawer(View, canvas);
  canvas.Current = &drawer.CurrentRecord;
  drawer.DrawPageContent(Page, Zoom, Zoom, 0, 0);
  canvas.Finish();
  TFaults offPage, unmapped, heads, ledgerLines, beams;
  auto where = [](const TPoints& p) {
    return std::to_string(int(p.MinX)) + "," + std::to_string(int(p.MinY)) + " .. " + std::to_string(int(p.MaxX)) +
           "," + std::to_string(int(p.MaxY));
  };

  // No music-font code without an entry; nothing drawn for a record that
  // lies on the page, in a measure on the page, falls off it. (Staff lines,
  // measures and records stand where the page composer puts them.)
  auto onPage = [&](const TKVDisplayItem* Record) {
    const TKVMeasureRecord* m = Record ? Record->Owner : nullptr;
    if (!m || !m->System) return false;
    auto px = [&](int32_t v) { return double(int64_t(v) * Zoom / 100 / 8); };
    const TKVLayoutRect& r = Record->Bounds;
    return px(m->LeftX) >= 0 && px(m->RightX) <= w && px(m->System->Top) >= 0 && px(m->System->Bottom) <= h &&
           px(r.Left) >= 0 && px(r.Width) <= w && px(r.Top) >= 0 && px(r.Bottom) <= h;
  };
  for (size_t i = 0; i < canvas.Calls.size(); ++i) {
    const canvas::TCanvasCall& call = canvas.Calls[i];
    if (call.Name == "TextOutA" && musicfont::IsMusicFontName(call.Font.Name))
      for (char16_t code : call.Text)
        if (!musicfont::IsMapped(uint8_t(code))) unmapped.Add("code " + std::to_string(int(uint8_t(code))));
    const TPoints p = Extent(call);
    if (onPage(canvas.Tags[i]) && p.MinX <= p.MaxX && !(p.MinX >= 0 && p.MinY >= 0 && p.MaxX <= w && p.MaxY <= h))
      offPage.Add(call.Name + " at " + where(p) + " on " + std::to_string(w) + "x" + std::to_string(h));
  }

  std::map<const TKVDisplayItem*, std::vector<size_t>> byRecord;
  for (size_t i = 0; i < canvas.Calls.size(); ++i)
    if (canvas.Tags[i]) byRecord[canvas.Tags[i]].push_back(i);
  const TKVPageRecord& page = *ScoreLayoutRecords(*View.Score()).Pages[size_t(Page)];
  for (size_t s = 0; s < std::min<size_t>(page.SystemCount, page.Systems.size()); ++s) {
    const TKVSystemRecord& system = *page.Systems[s];
    if (!(system.Flags & 1)) continue;
    for (size_t m = 0; m < std::min<size_t>(system.MeasureCount, system.Measures.size()); ++m)
      for (size_t r = 0; r < system.Measures[m]->DisplayCount; ++r) {
        const TKVDisplayItem& record = *system.Measures[m]->Displays[r];
        const auto* note = dynamic_cast<const TKVNote*>(record.Item);
        if (!note || record.Hidden || !FiveLineStaff(record.StaffLine)) continue;
        if (note->Voice && note->Voice->Data().u8(VoiceBlock::Visible) == 0) continue;
        const std::vector<size_t>& calls = byRecord[&record];
        const double top = double(int64_t(record.StaffLine->Top) * Zoom / 100 / 8), space = record.StaffLine->DrawnLineSpacing;
        const std::string at = "a note at position " + std::to_string(note->StaffStep);
        if (record.RecordType == DisplayRecordType::Item && note->Kind() == ItemKind::Note) {
          // One head, on its line or space; ledger lines on the staff's
          // grid exactly when the note lies outside the staff.
          const bool glyph = !(record.DrawFlags & DisplayDrawFlag::Suppressed) && note->HeadType() != 2 && note->HeadType() != 4;
          size_t written = 0;
          std::set<double> ledgers;
          for (size_t i : calls) {
            const canvas::TCanvasCall& call = canvas.Calls[i];
            if (call.Name == "TextOutA" && musicfont::IsMusicFontName(call.Font.Name)) {
              ++written;
              if (std::fabs(call.Args[1] - (top + note->StaffStep * space / 2)) > 1)
                heads.Add(at + " written at y " + std::to_string(call.Args[1]));
            }
            if (call.Name == "LineTo") ledgers.insert(call.Args[1]);
          }
          if (written != (glyph ? 1u : 0u)) heads.Add(std::to_string(written) + " heads for " + at);
          // Compared on the page only: lines past the drawing's edge may be
          // left out.
          std::set<double> wanted;
          for (int k = 1; note->StaffStep <= -2 * k; ++k) wanted.insert(top - k * space);
          for (int k = 1; note->StaffStep >= 8 + 2 * k; ++k) wanted.insert(top + (4 + k) * space);
          std::erase_if(wanted, [&](double y) { return y < 0 || y > h; });
          std::erase_if(ledgers, [&](double y) { return y < 0 || y > h; });
          if (ledgers != wanted) ledgerLines.Add(std::to_string(ledgers.size()) + " ledger lines for " + at);
        }
        if (record.RecordType == DisplayRecordType::BeamGroup && calls.size() >= 3) {
          // The main beam follows the stems; its ends lie on the first and
          // last stem, at their far ends.
          std::vector<TPoints> stems;
          size_t i = 0;
          for (const TKVDisplayItem* stem : record.Links) {
            auto* n = stem ? dynamic_cast<const TKVNote*>(stem->Item) : nullptr;
            if (n && !n->NoStem() && i < calls.size()) stems.push_back(Extent(canvas.Calls[calls[i++]]));
          }
          if (stems.size() < 2 || i >= calls.size()) continue;
          const TPoints beam = Extent(canvas.Calls[calls[i]]);
          const bool touches = std::fabs(beam.MinX - stems.front().MinX) <= 1 && std::fabs(beam.MaxX - stems.back().MaxX) <= 1 &&
                               stems.front().MinY <= beam.MaxY + 1 && stems.front().MaxY >= beam.MinY - 1 &&
                               stems.back().MinY <= beam.MaxY + 1 && stems.back().MaxY >= beam.MinY - 1;
          if (!touches)
            beams.Add("beam " + where(beam) + " stems " + where(stems.front()) + " and " + where(stems.back()));
        }
      }
  }
  EXPECT_EQ(offPage.Count, 0u) << "drawn off the page, first: " << offPage.First;
  EXPECT_EQ(unmapped.Count, 0u) << "music-font codes without a shape, first: " << unmapped.First;
  EXPECT_EQ(heads.Count, 0u) << "heads, first: " << heads.First;
  EXPECT_EQ(ledgerLines.Count, 0u) << "ledger lines, first: " << ledgerLines.First;
  EXPECT_EQ(beams.Count, 0u) << "beams not touching their stems, first: " << beams.First;
}

TEST_P(CorpusNotation, NotationStandsWhereItsRecordsSay) {
  const std::string path = GetParam();
  std::unique_ptr<TKVScore> score;
  try {
    score = LoadLaidOut(path);
  } catch (const std::exception& e) {
    GTEST_SKIP() << "not loaded: " << e.what();
  }
  TKVWindow view;
  view.SetScore(score.get());
  const int32_t pages = ScoreLayoutRecords(*score).PageCount;
  for (int32_t p = 0; p < pages; ++p) CheckPage(view, p, 100);
  const std::string stem = fs::path(path).stem().string();
  // A sample at other zooms.
  if (pages > 0 && (stem.starts_with("0") || stem.starts_with("4"))) {
    CheckPage(view, 0, 75);
    CheckPage(view, 0, 150);
  }
  // Page 1 for people to look at: every MusicXML file, and the reviewed
  // ones (a MIDI file among them) also at 150 %.
  const bool reviewed = stem == "03a-Rhythm-Durations" || stem == "12a-Clefs" || stem == "43a-PianoStaff" ||
                        stem == "71e-TabStaves" || stem == "14a-StaffDetails-LineChanges" || stem == "music009";
  if (pages > 0 && (reviewed || fs::path(path).extension() == ".xml")) {
    view.SetZoom(100);
    DrawPageImage(view, 0).SaveToPngFile(ReviewImagePath("render-pages", stem));
  }
  if (pages > 0 && reviewed) {
    view.SetZoom(150);
    DrawPageImage(view, 0).SaveToPngFile(ReviewImagePath("render-pages", stem + "-150"));
  }
  view.SetScore(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusNotation, ::testing::ValuesIn(CorpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return CorpusTestName(info.param) + "_" + std::to_string(info.index);
                         });

}  // namespace
