// Files of the corpus read item by item: the spanners file's triplet, slur
// and wedges, and lyrics, chord symbols and dynamics on the notes they
// belong to.

#include <gtest/gtest.h>

#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/model/Chord.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Pause.h"
#include "score/model/ScoreImporters.h"

namespace {

size_t Occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST(MusicXMLCorpusFiles, SpannersTripletSlurAndWedges) {
  std::string document = LoadCorpusFile("33a-Spanners.xml");
  if (document.empty()) GTEST_SKIP() << "no MusicXML corpus";
  TWalkedDocument walked(document);
  // Measure 1: a triplet of quarters over two beats, then a quarter rest.
  TKVMeasure* first = walked.Measure(0, 0);
  std::vector<TKVNote*> notes = ItemsOfKind<TKVNote>(*first, ItemKind::Note);
  ASSERT_EQ(notes.size(), 3u);
  std::vector<int> at, lasts;
  for (TKVNote* note : notes) {
    at.push_back(note->Position());
    lasts.push_back(note->Duration());
  }
  EXPECT_EQ(at, (std::vector<int>{0, 85, 170}));
  EXPECT_EQ(lasts, (std::vector<int>{85, 85, 86}));
  std::vector<TKVMark*> tuplets = ItemsOfKind<TKVMark>(*first, ItemKind::Tuplet);
  ASSERT_EQ(tuplets.size(), 1u);
  EXPECT_EQ(tuplets[0]->Variant(), 3);
  EXPECT_EQ(tuplets[0]->Value(), 128);
  EXPECT_EQ(tuplets[0]->Position(), 0);
  EXPECT_EQ(ItemsOfKind<TKVPause>(*first, ItemKind::Rest).at(0)->Position(), 256);

  // Measure 2: one slur from the first note to the third.
  std::vector<TKVNote*> second = ItemsOfKind<TKVNote>(*walked.Measure(0, 1), ItemKind::Note);
  auto slur = std::find_if(walked.Walk->Slurs.begin(), walked.Walk->Slurs.end(),
                           [&](const TKVXMLSlur& s) { return s.Slur->Owner() == second.at(0); });
  ASSERT_NE(slur, walked.Walk->Slurs.end());
  EXPECT_EQ(slur->EndNote, second.at(2));
  EXPECT_FALSE(slur->Open);

  // Measures 4 and 5: wedges over two quarters.
  for (int32_t m : {3, 4}) {
    std::vector<TKVMark*> wedges = ItemsOfKind<TKVMark>(*walked.Measure(0, m), ItemKind::Dynamic);
    ASSERT_EQ(wedges.size(), 1u);
    EXPECT_EQ(wedges[0]->Value(), 254);
    EXPECT_EQ(wedges[0]->Variant(), m == 3 ? 50 : 51);
  }
}

struct TLanding {
  const char* Name;
  const char* File;
  uint8_t Kind;
  const char* Element;  // the element each item comes from
  bool SameVoice;       // the item carries its note's voice byte
};

class MusicXMLLanding : public ::testing::TestWithParam<TLanding> {};

// Every item of the kind starts with a note of its measure (in its voice
// where it carries one), and the file's elements all became items.
TEST_P(MusicXMLLanding, ItemsStartOnTheirNotes) {
  const TLanding& p = GetParam();
  std::string document = LoadCorpusFile(p.File);
  if (document.empty()) GTEST_SKIP() << "no MusicXML corpus";
  TWalkedDocument walked(document);
  size_t items = 0;
  for (int32_t part = 0; part < walked.Piece->GetPartCount(); ++part) {
    for (int32_t m = 0; m < walked.Piece->GetPart(part)->GetMeasureCount(); ++m) {
      TKVMeasure* measure = walked.Measure(part, m);
      std::vector<TKVNote*> notes = ItemsOfKind<TKVNote>(*measure, ItemKind::Note);
      for (TKVItem* item : measure->Items()) {
        auto* mark = dynamic_cast<TKVMark*>(item);
        // Wedges share the dynamics' kind.
        if (item->Kind() != p.Kind || (mark && mark->Variant() >= 50)) continue;
        auto* lyric = dynamic_cast<TKVLyric*>(item);
        auto* chord = dynamic_cast<TKVChord*>(item);
        const uint16_t position = lyric ? lyric->Position() : chord ? chord->Position() : mark->Position();
        bool landed = std::any_of(notes.begin(), notes.end(), [&](TKVNote* note) {
          return note->Position() == position && (!p.SameVoice || note->StaffVoice() == lyric->StaffVoice());
        });
        EXPECT_TRUE(landed) << "measure " << m << " tick " << position;
        ++items;
      }
    }
  }
  EXPECT_EQ(items, Occurrences(document, p.Element));
}

INSTANTIATE_TEST_SUITE_P(
    Files, MusicXMLLanding,
    ::testing::Values(TLanding{"Lyrics", "61b-MultipleLyrics.xml", ItemKind::Syllable, "<lyric ", true},
                      TLanding{"StaffLyrics", "43f-MultiStaff-Lyrics.xml", ItemKind::Syllable, "<lyric ", true},
                      TLanding{"ChordSymbols", "71a-Chordnames.xml", ItemKind::Chord, "<harmony", false},
                      TLanding{"Dynamics", "31a-Directions.xml", ItemKind::Dynamic, "<dynamics", false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace

// In the directions file each dynamic stands before a note whose lyric
// names it (in the file's order; it has no "esf").
TEST(MusicXMLCorpusFiles, DynamicsMatchTheLyricsOfTheirNotes) {
  std::string document = LoadCorpusFile("31a-Directions.xml");
  if (document.empty()) GTEST_SKIP() << "no MusicXML corpus";
  TWalkedDocument walked(document);
  const std::vector<std::u16string> names = {u"p",  u"pp", u"ppp", u"mp",  u"fp", u"mf", u"f",
                                             u"ff", u"fff", u"sf", u"esf", u"fz", u"sfz"};
  std::vector<std::u16string> named;
  for (int32_t m = 0; m < walked.Piece->GetPart(0)->GetMeasureCount(); ++m) {
    TKVMeasure* measure = walked.Measure(0, m);
    std::vector<TKVLyric*> lyrics = ItemsOfKind<TKVLyric>(*measure, ItemKind::Syllable);
    for (TKVMark* mark : ItemsOfKind<TKVMark>(*measure, ItemKind::Dynamic)) {
      auto lyric = std::find_if(lyrics.begin(), lyrics.end(), [&](TKVLyric* l) { return l->Position() == mark->Position(); });
      if (mark->Variant() >= 50 || lyric == lyrics.end() || (*lyric)->Lines().empty()) continue;
      std::u16string text = (*lyric)->Lines()[0];
      if (std::find(names.begin(), names.end(), text) == names.end()) continue;
      EXPECT_EQ(names.at(mark->Variant()), text) << "measure " << m;
      named.push_back(text);
    }
  }
  EXPECT_EQ(named, (std::vector<std::u16string>{u"p", u"pp", u"ppp", u"f", u"ff", u"fff", u"mp", u"mf", u"sf", u"fp",
                                                u"sfz", u"fz"}));
}

TEST(MusicXMLCorpusFiles, ChordSymbolBlocks) {
  std::string document = LoadCorpusFile("71a-Chordnames.xml");
  if (document.empty()) GTEST_SKIP() << "no MusicXML corpus";
  TWalkedDocument walked(document);
  std::vector<std::vector<uint8_t>> blocks;
  for (TKVChord* chord : ItemsOfKind<TKVChord>(*walked.Measure(0, 0), ItemKind::Chord)) blocks.push_back(chord->Notes());
  // C major, C major seventh, B dominant, E flat major (degrees are not read).
  EXPECT_EQ(blocks, (std::vector<std::vector<uint8_t>>{
                        {3, 0, 0, 0x30, 0x10}, {3, 0, 0, 0x12, 0x30}, {2, 0, 6, 0x12}, {3, 0, 0x22, 0x30, 0x10}}));
}

TEST(MusicXMLCorpusFiles, LoadFromFileReadsXmlThroughTheImporter) {
  std::filesystem::path path = MusicXMLCorpusDir() / "43a-PianoStaff.xml";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no MusicXML corpus";
  RegisterMusicXMLImporter();
  TKVScore score;
  score.LoadFromFile(path.string());
  RegisterScoreImporter(TKVImportFormat::MusicXML, {});
  ASSERT_EQ(score.GetPieceCount(), 1);
  EXPECT_EQ(score.GetPiece(0)->GetPart(0)->GetStaffCount(), 2);
  EXPECT_FALSE(score.Importing());
}
