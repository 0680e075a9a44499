// Every MusicXML file of the shared corpus and every fetched MIDI file,
// composed into pages with plain and with voice-wise spacing and with the
// systems stretched: properties of the pages, systems and staff lines that
// hold whatever the music, and breaks read from the MusicXML text apart
// from the importer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "base/Streams.h"
#include "platform/musicfont/MusicFont.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/midi/MidiImport.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/layout/FontServices.h"
#include "score/layout/ScoreLayout.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"
#include "score/model/Lyric.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "support/LayoutDump.h"
#include "support/Sanitized.h"
#include "support/sketch/LayoutSketch.h"
#include "support/sketch/ReviewImages.h"

namespace fs = std::filesystem;

namespace {

// The MIDI files are long pieces: under the sanitizers a quarter of them.
std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files, midiFiles;
  for (const fs::path& file : CorpusXMLFiles()) files.push_back(file.string());
  const char* midi = std::getenv("SONARID_MIDI_CACHE");
  std::error_code error;
  for (fs::recursive_directory_iterator it(midi && *midi ? midi : SONARID_MIDI_CACHE, error), end; !error && it != end;
       it.increment(error))
    if (it->is_regular_file() && it->path().extension() == ".mid") midiFiles.push_back(it->path().string());
  std::sort(midiFiles.begin(), midiFiles.end());
  for (const std::string& file : test_support::SanitizerShare(midiFiles, 4)) files.push_back(file);
  std::sort(files.begin(), files.end());
  if (files.empty()) files.push_back("");  // reported as skipped
  return files;
}

// Indexes of the first part's measures whose print element asks for a new
// system (or page), counted in the text.
std::vector<int> PrintBreaks(const std::string& Xml, const char* Attribute) {
  std::vector<int> breaks;
  const std::string part = Xml.substr(0, Xml.find("</part>")), mark = std::string(Attribute) + "=\"yes\"";
  const std::regex measure("<measure[\\s>]");
  std::sregex_token_iterator it(part.begin(), part.end(), measure, -1), end;
  for (int index = -1; it != end; ++it, ++index)  // the text before the first measure counts as -1
    if (index >= 0 && it->str().find(mark) != std::string::npos) breaks.push_back(index);
  return breaks;
}

class PageCorpus : public ::testing::TestWithParam<std::string> {
protected:
  PageCorpus() {
    try {
      InstallFontServices();
    } catch (const std::exception&) {
      text::InstallMeasurer(nullptr);
      musicfont::InstallMusicFont(nullptr);
    }
    RegisterScoreLayout();
    score = std::make_unique<TKVScore>();
  }
  ~PageCorpus() override {
    score.reset();
    text::InstallMeasurer(nullptr);
    musicfont::InstallMusicFont(nullptr);
    SetLayoutServiceFactory({});
  }

  const TKVScoreLayoutRecords& Store() { return ScoreLayoutRecords(*score); }
  std::string Dump() {
    std::string out = DumpPages(Store().Pages, Store().PageCount);
    // What the composer writes into the measure records, with every display
    // record's rectangles (the full record dump is too slow for the largest
    // files).
    std::ostringstream records;
    for (int32_t i = 0; i < score->GetPieceCount(); ++i)
      for (const auto& r : score->GetPiece(i)->Layout().MeasureRecords) {
        records << r->ColumnIndex << ":" << r->LeftX << "," << r->TopY << "," << r->RightX << "," << r->BottomY << ","
                << r->TotalWidth << "," << r->MusicWidth << "," << int(r->Flags) << "," << r->DisplayCount << " x";
        for (uint32_t x : r->TickTable) records << " " << x;
        // In any order: a layout from a later page makes the naturals that
        // close the page before again, behind that measure's other records.
        std::vector<std::string> rects;
        for (int32_t i = 0; const TKVDisplayItem* d = r->GetDisplay(i); ++i)
          rects.push_back(std::to_string(d->Bounds.Left) + "," + std::to_string(d->Bounds.Top) + "," +
                          std::to_string(d->Bounds.Width) + "," + std::to_string(d->Bounds.Bottom) + "," +
                          std::to_string(d->Bounds2.Left) + "," + std::to_string(d->Bounds2.Top));
        std::sort(rects.begin(), rects.end());
        for (const std::string& rect : rects) records << " r" << rect;
        records << "\n";
      }
    return out + records.str();
  }
  // Flags bit 0 chooses the spacing; Align 0 keeps the score's.
  void Compose(uint8_t Flags, uint8_t Align, bool A4) {
    score->BeginUpdate();
    score->Settings().SetFlags(uint8_t((score->Flags() & ~1) | Flags));
    if (Align) score->SetAlign(Align);
    if (A4) {
      score->Page().SetPaperSize(TKVPaperSize::A4);
      score->Page().SetOrientation(poPortrait);
    }
    score->EndUpdate();
    score->Reformat(0);
  }
  void CheckPages(uint8_t Align);
  void CheckRecords();
  void CheckLyricRoom();

  std::unique_ptr<TKVScore> score;
};

// Measures listed once, in order, by systems that fit their pages.
void PageCorpus::CheckPages(uint8_t Align) {
  const TKVScoreLayoutRecords& store = Store();
  const TKVPiece& piece = *score->GetPiece(0);
  const int32_t count = piece.Layout().MeasureRecordCount;
  const TKVPage& settings = score->Page();
  const int32_t pageHeight = int32_t(std::lround(double(settings.InternalValue(pvHeight) / 2.6458333L))) * 8;
  const int32_t bottomEdge =
      int32_t(std::lround(double((settings.InternalValue(pvHeight) - settings.InternalValue(pvBottomMargin)) * 768 / 254)));
  int32_t next = 0;
  ASSERT_GE(store.PageCount, 1);
  for (int32_t p = 0; p < store.PageCount; ++p) {
    const TKVPageRecord& page = *store.Pages[size_t(p)];
    SCOPED_TRACE("page " + std::to_string(p));
    for (uint16_t s = 0; s < page.SystemCount; ++s) {
      const TKVSystemRecord& system = *page.Systems[s];
      EXPECT_TRUE(s > 0 || page.FirstMeasure == system.FirstMeasure);
      EXPECT_TRUE(s == 0 || page.Systems[s - 1]->Bottom <= system.Top) << "systems overlap";
      EXPECT_GE(system.Top, 0);
      EXPECT_TRUE(page.SystemCount == 1 || system.Bottom <= pageHeight) << "system below the page";
      for (uint16_t m = 0; m < system.MeasureCount; ++m) {
        const TKVMeasureRecord& record = *system.Measures[m];
        ASSERT_EQ(record.ColumnIndex, next++) << "measure out of order";
        EXPECT_EQ(record.System, &system);
        EXPECT_TRUE(m == 0 || record.LeftX == system.Measures[m - 1]->RightX) << "a gap between measures";
      }
      const TKVMeasureRecord& last = *system.Measures[system.MeasureCount - 1];
      EXPECT_TRUE(s + 1 < page.SystemCount || page.LastMeasure == last.ColumnIndex);
      EXPECT_GE(system.Measures[0]->LeftX, system.LeftX);
      const bool pieceEnd = last.ColumnIndex + 1 >= count;
      const TKVColumn* column = piece.GetColumn(last.ColumnIndex);
      const bool broken = column && (column->Data().u8(ColumnBlock::SystemBreak) || column->Data().u16(ColumnBlock::PageBreak));
      const int32_t natural = last.RightX;  // stretching only adds room
      EXPECT_TRUE(system.MeasureCount == 1 || Align != 0 || natural <= system.RightX) << "past the right limit";
      EXPECT_TRUE(Align != 140 || pieceEnd || natural > system.RightX || natural >= system.RightX - 8) << "not stretched";
      if (Align == 104 && !pieceEnd && !broken) {
        EXPECT_EQ(system.MeasureCount, 4);
        EXPECT_GE(natural, system.RightX);
      }
      for (int32_t l = system.FirstStaffLine; l < system.LastStaffLine; ++l) {
        const TKVStaffLineRecord &a = *page.StaffLines[size_t(l)], &b = *page.StaffLines[size_t(l) + 1];
        if ((a.Flags & 1) && (b.Flags & 1)) {
          EXPECT_LT(a.Top, b.Top) << "staff lines out of order";
          EXPECT_EQ(a.BottomJoin, b.TopJoin) << "joins not shared";
        }
      }
    }
  }
  for (int32_t p = 0; p + 1 < store.PageCount; ++p) {
    const TKVPageRecord &page = *store.Pages[size_t(p)], &after = *store.Pages[size_t(p) + 1];
    const TKVColumn* column = piece.GetColumn(page.LastMeasure);
    if (page.SystemCount == 0 || after.SystemCount == 0 || (column && column->Data().u16(ColumnBlock::PageBreak)))
      continue;
    // The composed extents: the page positions narrow a system's own box to
    // its staff lines.
    const int32_t height = after.Systems[0]->BottomExtent - after.Systems[0]->TopExtent;
    EXPECT_GT(page.Systems[page.SystemCount - 1]->BottomExtent + height, bottomEdge - 2) << "page " << p << " had room";
  }
  EXPECT_EQ(next, count) << "measures not placed";
}

// Kinds the renderer draws from a measure's records (its dispatch table),
// besides grace groups, which it draws through their notes.
bool Drawn(uint8_t Kind) {
  static const std::set<int> kinds = {1,   2,   3,   4,   6,   7,   8,   20,  21,  27,  28,  30,  31,  33,  34,  35,
                                      36,  37,  40,  41,  42,  43,  45,  50,  70,  71,  72,  85,  110, 111, 112, 113,
                                      114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 130, 131, 132, 133,
                                      141, 142, 143, 149, 150, 151, 153, 154, 155, 156, 157, 158, 159, 160, 161, 169,
                                      170, 171, 172, 173, 200, 201, 202, 203, 204, 205, 206, 207};
  return kinds.count(Kind) != 0;
}

// Every drawn record of a page stands on the page: its anchor inside the
// page, a note inside its measure (a record left in measure coordinates
// fails at once).
void PageCorpus::CheckRecords() {
  const TKVScoreLayoutRecords& store = Store();
  const TKVPage& settings = score->Page();
  const int32_t width = int32_t(std::lround(double(settings.InternalValue(pvWidth) / 2.6458333L))) * 8;
  const int32_t height = int32_t(std::lround(double(settings.InternalValue(pvHeight) / 2.6458333L))) * 8;
  int failures = 0;
  for (int32_t p = 0; p < store.PageCount && failures < 5; ++p) {
    const TKVPageRecord& page = *store.Pages[size_t(p)];
    for (uint16_t s = 0; s < page.SystemCount; ++s)
      for (uint16_t m = 0; m < page.Systems[s]->MeasureCount; ++m) {
        const TKVMeasureRecord& record = *page.Systems[s]->Measures[m];
        // A measure wider than the page, or a system taller, stands past the
        // page's edge whatever stands in it.
        const bool onPage = record.RightX <= width && page.Systems[s]->Bottom <= height;
        if (record.Covered) continue;
        for (int32_t i = 0; const TKVDisplayItem* d = record.GetDisplay(i); ++i) {
          if (d->RecordType != DisplayRecordType::Item || !d->Item || d->Hidden ||
              (d->DrawFlags & DisplayDrawFlag::Suppressed) || !Drawn(d->Item->Kind()))
            continue;
          const uint8_t kind = d->Item->Kind();
          const bool object = kind == 161 || kind >= 200 || kind == 42;
          // A syllable is centred on its note: a long one reaches far left.
          const int32_t x = object ? d->Bounds2.Left : kind == 33 ? (d->Bounds.Left + d->Bounds.Width) / 2 : d->Bounds.Left;
          const int32_t y = object ? d->Bounds2.Top : d->Bounds.Top;
          // Notes far above or below the last staves of a page (any key reaches
          // within 24 line spaces of its staff) may hang past its edge.
          const TKVStaffLineRecord* line = d->StaffLine;
          auto onPageOrHanging = [&](int32_t v) {
            return (v >= 0 && v <= height) ||
                   (line && v >= line->Top - 24 * line->LineSpacing && v <= line->Bottom + 24 * line->LineSpacing);
          };
          const bool staffLine = line && line->System == record.System;
          const bool inside = !onPage || (x >= 0 && x <= width && onPageOrHanging(y));
          const bool note = kind == 20 && (d->Bounds.Left < record.LeftX || d->Bounds.Left > record.RightX ||
                                           !onPageOrHanging((d->Bounds.Top + d->Bounds.Bottom) / 2));
          // Part names stand left of their staves, endings and signs above them.
          const bool clear = !line || ((kind != 35 || d->Bounds.Width <= record.LeftX - line->LineSpacing) &&
                                       ((kind != 150 && kind != 151 && kind != 171) || d->Bounds.Bottom < line->InnerTop));
          if (staffLine && inside && !note && clear) continue;
          ADD_FAILURE() << "page " << p << " measure " << record.ColumnIndex << " kind " << int(kind) << " at " << x
                        << "," << y << " (" << d->Bounds.Left << "," << d->Bounds.Top << "," << d->Bounds.Width << ","
                        << d->Bounds.Bottom << ") measure " << record.LeftX << ".." << record.RightX << " staff "
                        << (line ? line->Top : -1) << ".." << (line ? line->Bottom : -1) << (staffLine ? "" : " not its system's");
          if (++failures == 5) break;
        }
      }
  }
}

// Two joined syllables of a measure leave room for "- " (the second
// continues a word) or " " between their texts, in the first one's font;
// a hyphen stands in that room.
void PageCorpus::CheckLyricRoom() {
  int pairs = 0;
  for (const auto& record : score->GetPiece(0)->Layout().MeasureRecords)
    for (const TKVDisplayItem* a : record->LyricDisplays)
      for (const TKVDisplayItem* b : record->LyricDisplays) {
        const auto* first = static_cast<const TKVLyric*>(a->Item);
        if (!first || first->SyllableLink != b->Item) continue;
        const auto* second = static_cast<const TKVLyric*>(b->Item);
        const text::TFontSpec font{first->Text().empty() ? "Arial" : first->Text(),
                                   first->FontSize() ? first->FontSize() * 8 : 64, first->FontStyle()};
        const int gap = text::CurrentMeasurer().TextWidth(font, (second->Flags() & 1) ? "- " : " ");
        EXPECT_GE(b->Bounds2.Left - a->Bounds2.Width, gap - 8) << "measure " << record->ColumnIndex;
        if (second->Flags() & 1) {
          EXPECT_GE(b->Bounds.Left, a->Bounds2.Width) << "measure " << record->ColumnIndex;
          EXPECT_LE(b->Bounds.Left + text::CurrentMeasurer().TextWidth(font, "-"), b->Bounds2.Left) << "measure " << record->ColumnIndex;
        }
        ++pairs;
      }
  EXPECT_GT(pairs, 0);
}

TEST_P(PageCorpus, PagesHoldEveryMeasureOnceInSystemsThatFit) {
  const std::string path = GetParam();
  if (path.empty()) GTEST_SKIP() << "no corpus";
  TMemoryStream file;
  file.LoadFromFile(path);
  const bool xml = fs::path(path).extension() == ".xml";
  try {
    if (xml)
      ImportMusicXML(*score, file);
    else
      ImportMIDI(*score, file);
  } catch (const std::exception& e) {
    GTEST_SKIP() << "not imported: " << e.what();
  }
  if (score->GetPieceCount() == 0) GTEST_SKIP() << "no piece";
  for (uint8_t flags : {0, 1}) {
    SCOPED_TRACE("spacing buffer " + std::to_string(flags));
    Compose(flags, 0, false);
    CheckPages(0);
    CheckRecords();
    const std::string name = fs::path(path).stem().string();
    if (name == "61a-Lyrics" || name == "61b-MultipleLyrics") CheckLyricRoom();
    const std::string once = Dump();
    score->Reformat(0);
    EXPECT_EQ(Dump(), once) << "a second layout differs";
    for (int32_t k = 1; k < Store().PageCount; k += std::max(1, Store().PageCount / 3)) {
      score->Reformat(k);
      ASSERT_EQ(Dump(), once) << "a layout from page " << k << " differs";
    }
  }
  const std::string stem = fs::path(path).stem().string();
  static const std::set<std::string> sketched = {"01a-Pitches-Pitches", "33c-Spanners-Slurs", "41c-StaffGroups",
                                                 "45d-Repeats-MultipleEndings", "52a-PageLayout", "61a-Lyrics",
                                                 "music009"};
  if (sketched.count(stem)) {
    // For review: the first page as a picture in the build folder; its staff
    // lines stand where the records say.
    const TKVPageRecord& page = *Store().Pages[0];
    const TKVPage& settings = score->Page();
    constexpr int zoom = 3;
    const canvas::TBitmap sketch =
        SketchPage(page, int32_t(std::lround(double(settings.InternalValue(pvWidth) / 2.6458333L))) * 8,
                   int32_t(std::lround(double(settings.InternalValue(pvHeight) / 2.6458333L))) * 8, zoom);
    sketch.SaveToPngFile(ReviewImagePath("layout-sketches", stem));
    for (const TKVStaffLineRecord* line = page.GetStaffLine(0); line; line = page.GetStaffLine(line->Index + 1))
      for (int32_t y : {line->InnerTop, line->InnerBottom})
        EXPECT_TRUE(!(line->Flags & 1) || y * zoom / 8 >= sketch.Height() ||
                    sketch.ColorAt(line->LeftX * zoom / 8 + 2, y * zoom / 8) == canvas::clBlack)
            << "line " << line->Index << " y " << y;
  }
  if (xml) {
    const std::string text = LoadCorpusFile(path);
    auto starts = [&](int measure, bool page) {
      for (int32_t p = 0; p < Store().PageCount; ++p)
        for (uint16_t s = 0; s < Store().Pages[size_t(p)]->SystemCount; ++s)
          if (Store().Pages[size_t(p)]->Systems[s]->FirstMeasure == measure && (!page || s == 0)) return true;
      return false;
    };
    for (int m : PrintBreaks(text, "new-system")) EXPECT_TRUE(starts(m, false)) << "measure " << m << " starts no system";
    EXPECT_TRUE(stem != "52b-Breaks" ||
                (Store().Pages[0]->Systems[1]->FirstMeasure == 1 && Store().Pages[1]->FirstMeasure == 2));
    for (int m : PrintBreaks(text, "new-page")) EXPECT_TRUE(starts(m, true)) << "measure " << m << " starts no page";
  }
  Compose(1, 140, true);
  CheckPages(140);
  CheckRecords();
  Compose(1, 104, true);
  CheckPages(104);
}

INSTANTIATE_TEST_SUITE_P(Files, PageCorpus, ::testing::ValuesIn(CorpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = fs::path(info.param).stem().string();
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name.empty() ? std::string("none") : name + "_" + std::to_string(info.index);
                         });

}  // namespace
