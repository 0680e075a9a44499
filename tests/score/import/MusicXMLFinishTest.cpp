// The finishing pass on small documents: the accidental signs it shows and
// the keys the layout then plays, grace-note groups, the pickup and the
// measure numbering, percussion through the drum map, ties and slurs, and
// an error in its guarded steps becoming the import's warning.

#include <gtest/gtest.h>

#include "score/import/MusicXMLCount.h"
#include "score/import/MusicXMLTestSupport.h"
#include "score/model/Chord.h"
#include "score/model/Column.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"

namespace {

using MusicXMLFinish = MusicXMLLayoutTest;

constexpr uint8_t SignKind = 50;

std::string Pitched(const std::string& step, int alter, int octave, int duration, const std::string& more = "") {
  return "<note><pitch><step>" + step + "</step><alter>" + std::to_string(alter) + "</alter><octave>" +
         std::to_string(octave) + "</octave></pitch><duration>" + std::to_string(duration) + "</duration>" + more +
         "</note>";
}

std::string Measure(int number, const std::string& content) {
  return "<measure number=\"" + std::to_string(number) + "\">" + content + "</measure>";
}

std::string Attributes(int fifths) {
  return "<attributes><divisions>1</divisions><key><fifths>" + std::to_string(fifths) +
         "</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time></attributes>";
}

// Each note's sign variant in measure and (sorted) list order, '-' for none.
std::string Signs(const TKVPart& part) {
  std::string signs;
  for (int32_t m = 0; m < part.GetMeasureCount(); ++m)
    for (TKVNote* note : ItemsOfKind<TKVNote>(*part.GetMeasure(m), ItemKind::Note)) {
      std::vector<TKVMark*> marks = ItemsOfKind<TKVMark>(*note, SignKind);
      signs += marks.empty() ? '-' : char('0' + marks[0]->Variant());
    }
  return signs;
}

struct TAccidentalCase {
  const char* Name;
  std::string Measures;
  const char* Signs;  // 0 flat, 2 sharp, 4 natural
};

class MusicXMLAccidentals : public MusicXMLFinish, public testing::WithParamInterface<TAccidentalCase> {};

// A sign wherever the alteration differs from the key and the measure's
// earlier signs, and every note sounds the key the document gives it.
TEST_P(MusicXMLAccidentals, SignsMakeTheLayoutPlayTheDocumentsKeys) {
  const std::string document = Partwise({GetParam().Measures});
  TKVScore score;
  ImportDocument(score, document);
  EXPECT_EQ(score.ImportWarning, "");
  const TKVPiece& piece = *score.GetPiece(0);
  EXPECT_EQ(Signs(*piece.GetPart(0)), GetParam().Signs);
  EXPECT_EQ(LaidOutKeys(piece), CountMusicXML(document).Keys);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MusicXMLAccidentals,
    testing::Values(
        // Two sharps: F sharp none, F natural a natural, C flat a flat once.
        TAccidentalCase{"KeyOfTwoSharps",
                        Measure(1, Attributes(2) + Pitched("F", 1, 4, 1) + Pitched("F", 0, 4, 1) +
                                       Pitched("C", -1, 5, 1) + Pitched("C", -1, 5, 1)),
                        "-40-"},
        // The bar line ends the signs; another octave has its own.
        TAccidentalCase{"BarLineAndOctave",
                        Measure(1, Attributes(0) + Pitched("G", 1, 4, 2) + Pitched("G", 1, 4, 1) +
                                       Pitched("G", 1, 5, 1)) +
                            Measure(2, Pitched("G", 1, 4, 4)),
                        "2-22"},
        // A key change ends the signs before it and sets every step.
        TAccidentalCase{"KeyChange",
                        Measure(1, Attributes(1) + Pitched("F", 0, 4, 2) + Pitched("F", 0, 4, 2)) +
                            Measure(2, "<attributes><key><fifths>0</fifths></key></attributes>" +
                                           Pitched("F", 1, 4, 2) + Pitched("F", 0, 4, 2)),
                        "4-24"},
        // A voice written later in the document but sounding earlier.
        TAccidentalCase{"TimeOrderAcrossVoices",
                        Measure(1, Attributes(0) + Pitched("F", 1, 4, 2, "<voice>1</voice>") +
                                       Pitched("F", 1, 4, 2, "<voice>1</voice>") + "<backup><duration>4</duration></backup>" +
                                       Pitched("F", 0, 4, 3, "<voice>2</voice>")),
                        "242"},
        // The highest octave has no row: each of its notes shows its sign.
        TAccidentalCase{"OctaveNine", Measure(1, Attributes(0) + Pitched("C", 1, 9, 2) + Pitched("C", 1, 9, 2)), "22"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MusicXMLFinish, GraceNotesGatherBeforeTheirNote) {
  const std::string grace = "<note><grace/><pitch><step>D</step><octave>4</octave></pitch><type>eighth</type></note>";
  TKVScore score;
  ImportDocument(score, Partwise({Measure(1, Attributes(0) + XMLNote("C", 2) + grace + grace + XMLNote("E", 2))}));
  const TKVMeasure& measure = *score.GetPiece(0)->GetPart(0)->GetMeasure(0);
  std::vector<TKVVorschlag*> groups = ItemsOfKind<TKVVorschlag>(measure, ItemKind::GraceGroup);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0]->Position(), 256);
  std::vector<int> at;
  for (TKVNote* note : ItemsOfKind<TKVNote>(*groups[0], ItemKind::Note)) at.push_back(note->Position());
  EXPECT_EQ(at, (std::vector<int>{0, 64}));
  EXPECT_EQ(ItemsOfKind<TKVNote>(measure, ItemKind::Note).size(), 2u);
}

struct TPickupCase {
  const char* Name;
  std::string FirstMeasure;
  uint16_t Meter;   // the piece's pickup meter
  int Length;       // of the first measure
  int NumberedFrom; // the column of the measure-number mark
};

class MusicXMLPickup : public MusicXMLFinish, public testing::WithParamInterface<TPickupCase> {};

TEST_P(MusicXMLPickup, FirstMeasureAndNumbering) {
  const TPickupCase& c = GetParam();
  TKVScore score;
  ImportDocument(score, Partwise({c.FirstMeasure + Measure(2, XMLNote("C", 4))}));
  TKVPiece& piece = *score.GetPiece(0);
  EXPECT_EQ(piece.Meter(), c.Meter);
  EXPECT_EQ(piece.GetPart(0)->GetMeasure(0)->Length, c.Length);
  EXPECT_EQ(piece.Layout().MeasureRecords.at(0)->Length, c.Length);
  EXPECT_EQ(ItemsOfKind<TKVMark>(*piece.GetColumn(c.NumberedFrom), 27).size(), 1u);
}

const std::string ThreeEighths = "<attributes><divisions>2</divisions><time><beats>4</beats><beat-type>4</beat-type>"
                                 "</time></attributes>" + XMLNote("C", 1) + XMLNote("D", 1) + XMLNote("E", 1);
const std::string Triplet = "<time-modification><actual-notes>3</actual-notes></time-modification>";

INSTANTIATE_TEST_SUITE_P(
    Cases, MusicXMLPickup,
    testing::Values(TPickupCase{"ThreeEighths", Measure(0, ThreeEighths), 0x0308, 192, 1},
                    // A triplet's share is no power-of-two fraction: no pickup meter.
                    TPickupCase{"TripletQuarter", Measure(1, Attributes(0) + XMLNote("C", 1, "<type>quarter</type>" + Triplet)),
                                0, 512, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MusicXMLFinish, PercussionNotesMoveToTheDrumMapsPositions) {
  TKVScore score;
  auto entry = std::make_unique<TKVDrumEntry>();
  entry->Data.setU8(TKVDrumEntry::SoundingKey, 38);
  entry->Data.setU8(TKVDrumEntry::SetIndex, 1);
  entry->Data.setU8(TKVDrumEntry::StaffPosition, 23 + 4 * 7 + 6);  // B in octave nibble 4
  entry->Data.setU8(TKVDrumEntry::Enabled, 1);
  score.DrumEntries().push_back(std::move(entry));
  score.BuildDrumMap();
  const std::string d2 = "<note><pitch><step>D</step><octave>2</octave></pitch><duration>4</duration></note>";
  std::string document = Partwise({Measure(1, Attributes(0) + d2)});
  document.replace(document.find("</score-part>"), 0, "<midi-instrument><midi-channel>10</midi-channel></midi-instrument>");
  ImportDocument(score, document);
  TKVNote* note = ItemsOfKind<TKVNote>(*score.GetPiece(0)->GetPart(0)->GetMeasure(0), ItemKind::Note).at(0);
  EXPECT_EQ(note->Pitch(), 0x46);
  EXPECT_EQ(note->HeadType(), 6);
}

// A tie lasts its note; a slur reaches its end note over the bar line; a
// slur whose end note is removed (no duration, no type) ends nowhere.
TEST_F(MusicXMLFinish, TiesAndSlursGetTheirLengths) {
  const std::string slur = "<notations><slur number=\"1\" type=\"%\"/></notations>";
  auto slurred = [&](const char* type) { return std::string(slur).replace(slur.find('%'), 1, type); };
  TKVScore score;
  ImportDocument(score, Partwise({Measure(1, Attributes(0) + XMLNote("C", 2, "<tie type=\"start\"/>") +
                                                 XMLNote("C", 1) + XMLNote("D", 1, slurred("start"))) +
                                  Measure(2, XMLNote("E", 1) + XMLNote("F", 1, slurred("stop")) +
                                                 XMLNote("G", 1, slurred("start")) +
                                                 "<note><pitch><step>A</step><octave>4</octave></pitch>" +
                                                 slurred("stop") + "</note>")}));
  EXPECT_EQ(score.ImportWarning, "");
  const TKVPart& part = *score.GetPiece(0)->GetPart(0);
  std::vector<int> lengths;
  for (int32_t m = 0; m < part.GetMeasureCount(); ++m)
    for (TKVNote* note : ItemsOfKind<TKVNote>(*part.GetMeasure(m), ItemKind::Note))
      for (TKVLiga* liga : ItemsOfKind<TKVLiga>(*note, ItemKind::Slur)) lengths.push_back(liga->Data().u16(LigaBlock::Length));
  EXPECT_EQ(lengths, (std::vector<int>{256, 256, 0}));
  EXPECT_EQ(ItemsOfKind<TKVNote>(*part.GetMeasure(1), ItemKind::Note).size(), 3u);
}

// An error in the guarded steps ends them; the piece stays and the error's
// text is the import's warning. Chord symbols without a text ask the host.
TEST_F(MusicXMLFinish, ErrorInTheNotationStepBecomesTheWarning) {
  TKVScore score;
  int asked = 0;
  score.GetChordText = [&](TObject*, TByteBlock*, TKVChordEntryList*) { ++asked; };
  score.OnGetInstrument = [](TObject*, TKVPart*) { throw EConvertError("no instrument"); };
  ImportDocument(score, Partwise({Measure(1, "<attributes><divisions>1</divisions><staves>2</staves></attributes>"
                                             "<harmony><root><root-step>C</root-step></root><kind>major</kind>"
                                             "</harmony><barline><bar-style>light-heavy"
                                             "</bar-style></barline>" + XMLNote("C", 4))}));
  EXPECT_EQ(score.ImportWarning, "no instrument");
  EXPECT_EQ(asked, 1);
  const TKVPiece& piece = *score.GetPiece(0);
  EXPECT_EQ(ItemsOfKind<TKVNote>(*piece.GetPart(0)->GetMeasure(0), ItemKind::Note).size(), 1u);
  EXPECT_EQ(piece.Layout().RunningTime, 512 * 60000.0 / (100 * 128));
  // The barlines were still to be placed.
  EXPECT_EQ(ItemsOfKind<TKVMark>(*piece.GetColumn(0), 158).at(0)->Position(), 0);
}

}  // namespace
