// The walk over small documents: values it guards, slurs and tuplets settled
// when their notes close, unpitched notes, wedges, chord symbols, the header,
// the part list, barlines, layout settings, tempo and tablature tuning.

#include <gtest/gtest.h>

#include <map>

#include "platform/text/TextMeasurer.h"
#include "score/import/ImportErrors.h"
#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/import/musicxml/MusicXMLVoices.h"
#include "score/model/Chord.h"
#include "score/model/Column.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Page.h"
#include "score/model/PageTexts.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "support/Raised.h"

namespace {

std::vector<int> Values(const std::vector<TKVNote*>& notes, uint16_t (TKVNote::*field)() const) {
  std::vector<int> values;
  for (TKVNote* note : notes) values.push_back((note->*field)());
  return values;
}

// Divisions and beat types of 0, too many staves or staff lines and tuplet
// counts out of range leave what was there.
TEST(MusicXMLWalk, GuardedValuesKeepThePreviousOnes) {
  const std::string tuplet = "<time-modification><actual-notes>%</actual-notes></time-modification>";
  auto count = [&](const char* n) { return std::string(tuplet).replace(tuplet.find('%'), 1, n); };
  TWalkedDocument walked(Partwise({"<measure number=\"1\"><attributes><divisions>2</divisions><time><beats>3</beats>"
                                   "<beat-type>0</beat-type></time><staves>17</staves><staff-details>"
                                   "<staff-lines>30</staff-lines></staff-details></attributes>" +
                                   XMLNote("C", 3) + "<attributes><divisions>0</divisions></attributes>" +
                                   XMLNote("D", 1, count("0")) + XMLNote("E", 1, count("65")) + "</measure>"}));
  TKVMeasure* measure = walked.Measure(0, 0);
  EXPECT_EQ(Values(ItemsOfKind<TKVNote>(*measure, ItemKind::Note), &TKVNote::Value), (std::vector<int>{192, 64, 64}));
  EXPECT_TRUE(ItemsOfKind<TKVMark>(*measure, ItemKind::Tuplet).empty());
  EXPECT_EQ(measure->Length, 512);
  EXPECT_EQ(ItemsOfKind<TKVMark>(*walked.Piece->GetColumn(0), ItemKind::Meter).at(0)->Value(), 0x0304);
  EXPECT_EQ(walked.Piece->GetPart(0)->GetStaffCount(), 1);
  EXPECT_EQ(walked.Piece->GetPart(0)->GetStaff(0)->LineCount(), 5);
}

TEST(MusicXMLWalk, TimewiseDocumentIsRefused) {
  TKVScore score;
  EXPECT_EQ(RaisedBy<EImportError>(
                [&] { ImportDocument(score, "<?xml version=\"1.0\"?><score-timewise><part-list/></score-timewise>"); }),
            SNotMusicXMLFile);
  ASSERT_EQ(score.GetPieceCount(), 1);
  EXPECT_EQ(score.GetPiece(0)->GetPartCount(), 0);
  EXPECT_EQ(score.GetPiece(0)->Tempo(), 100);
}

// A triplet of eighths in voice 2 whose slur stops on its first note and
// starts on its last, the last note of the document.
TEST(MusicXMLWalk, TupletAndSlurOfTheLastNoteAreSettled) {
  auto eighth = [](const std::string& step, const std::string& slur) {
    return XMLNote(step, 2,
                   "<voice>2</voice><type>eighth</type><time-modification><actual-notes>3</actual-notes>"
                   "</time-modification>" + (slur.empty() ? "" : "<notations><slur type=\"" + slur + "\"/></notations>"));
  };
  TWalkedDocument walked(Partwise({"<measure><attributes><divisions>6</divisions></attributes>" + eighth("C", "stop") +
                                   eighth("D", "") + eighth("E", "start") + "</measure>"}));
  TKVMeasure* measure = walked.Measure(0, 0);
  std::vector<TKVNote*> notes = ItemsOfKind<TKVNote>(*measure, ItemKind::Note);
  EXPECT_EQ(Values(notes, &TKVNote::Position), (std::vector<int>{0, 42, 85}));
  EXPECT_EQ(Values(notes, &TKVNote::Duration), (std::vector<int>{42, 43, 43}));
  std::vector<TKVMark*> tuplets = ItemsOfKind<TKVMark>(*measure, ItemKind::Tuplet);
  ASSERT_EQ(tuplets.size(), 1u);
  EXPECT_EQ(tuplets[0]->StaffVoice(), 0x01);
  ASSERT_EQ(walked.Walk->Slurs.size(), 1u);
  const TKVXMLSlur& slur = walked.Walk->Slurs[0];
  EXPECT_EQ(slur.Slur->Owner(), notes[2]);
  EXPECT_EQ(slur.EndNote, notes[0]);
  EXPECT_FALSE(slur.Open);
  EXPECT_EQ(ItemsOfKind<TKVLiga>(*notes[2], ItemKind::Slur).size(), 1u);
  EXPECT_TRUE(ItemsOfKind<TKVLiga>(*notes[0], ItemKind::Slur).empty());
}

// Slurs pair within their part; a stop that finds no start is released.
TEST(MusicXMLWalk, SlursPairWithinTheirPart) {
  std::string start = XMLNote("C", 1, "<notations><slur type=\"start\"/></notations>");
  std::string stop = XMLNote("D", 1, "<notations><slur type=\"stop\"/></notations>");
  TWalkedDocument walked(Partwise({"<measure>" + start + "</measure>", "<measure>" + stop + "</measure>"}));
  ASSERT_EQ(walked.Walk->Slurs.size(), 1u);
  EXPECT_TRUE(walked.Walk->Slurs[0].Open);
  EXPECT_EQ(walked.Walk->Slurs[0].Slur->GetMeasure(), walked.Measure(0, 0));
}

TEST(MusicXMLWalk, UnpitchedNoteTakesItsDisplayPosition) {
  TWalkedDocument walked(Partwise({"<measure><note><unpitched><display-step>E</display-step><display-octave>5"
                                   "</display-octave></unpitched><duration>1</duration></note></measure>"}));
  EXPECT_EQ(ItemsOfKind<TKVNote>(*walked.Measure(0, 0), ItemKind::Note).at(0)->Pitch(), 0x62);
}

// Without a display position an unpitched note stands on the middle line
// of its staff, under the clef in force there: B4 under the treble and the
// percussion clef, D3 under the bass clef, C4 under the C clef; a display
// step without its octave does not place it.
struct TMiddleLineCase {
  const char* Clefs;  // the attributes' clef elements
  const char* Note;   // inside the note, after unpitched
  uint8_t Pitch;
};
class UnpitchedNote : public ::testing::TestWithParam<TMiddleLineCase> {};
TEST_P(UnpitchedNote, WithoutADisplayPositionStandsOnTheMiddleLine) {
  const TMiddleLineCase& c = GetParam();
  TWalkedDocument walked(Partwise({std::string("<measure><attributes><staves>2</staves>") + c.Clefs +
                                   "</attributes><note><unpitched>" + c.Note + "<duration>1</duration></note></measure>"}));
  std::vector<TKVNote*> notes;
  for (int32_t m = 0; m < walked.Piece->GetPart(0)->GetMeasureCount(); ++m)
    for (TKVNote* note : ItemsOfKind<TKVNote>(*walked.Measure(0, m), ItemKind::Note)) notes.push_back(note);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0]->Pitch(), c.Pitch);
}
INSTANTIATE_TEST_SUITE_P(
    Clefs, UnpitchedNote,
    ::testing::Values(TMiddleLineCase{"", "</unpitched>", 0x56},
                      TMiddleLineCase{"<clef><sign>percussion</sign></clef>", "</unpitched>", 0x56},
                      TMiddleLineCase{"<clef><sign>F</sign><line>4</line></clef>", "</unpitched>", 0x41},
                      TMiddleLineCase{"<clef><sign>C</sign><line>3</line></clef>", "</unpitched>", 0x50},
                      TMiddleLineCase{"<clef number=\"1\"><sign>G</sign></clef><clef number=\"2\"><sign>F</sign></clef>",
                                      "</unpitched><staff>2</staff>", 0x41},
                      TMiddleLineCase{"<clef><sign>F</sign></clef>", "<display-step>E</display-step></unpitched>", 0x41}));

// A crescendo from tick 256 to Next 128 of the next measure; a wedge left
// open in one part is not stopped by another part, nor by another number.
TEST(MusicXMLWalk, WedgesSpanMeasuresWithinTheirPart) {
  auto wedge = [](const std::string& type, const std::string& number = "1") {
    return "<direction><direction-type><wedge type=\"" + type + "\" number=\"" + number +
           "\"/></direction-type></direction>";
  };
  std::string c = XMLNote("C", 1);
  TWalkedDocument walked(Partwise({"<measure>" + c + c + c + wedge("crescendo") + c + "</measure><measure>" + c +
                                       wedge("stop") + c + wedge("crescendo", "2") + wedge("diminuendo") + c +
                                       c + wedge("stop", "2") + "</measure>",
                                   "<measure>" + wedge("stop") + c + "</measure>"}));
  std::vector<TKVMark*> first = ItemsOfKind<TKVMark>(*walked.Measure(0, 0), ItemKind::Dynamic);
  std::vector<TKVMark*> second = ItemsOfKind<TKVMark>(*walked.Measure(0, 1), ItemKind::Dynamic);
  ASSERT_EQ(first.size(), 1u);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(first[0]->Position(), 256);
  EXPECT_EQ(first[0]->Value(), 382);
  EXPECT_EQ(second[0]->Value(), 512 - 128 - 2);
  EXPECT_EQ(second[1]->Value(), 0);
}

TEST(MusicXMLWalk, ChordSymbolBlocks) {
  TWalkedDocument walked(Partwise(
      {"<measure><harmony><root><root-step>G</root-step></root><kind text=\"7\">dominant</kind></harmony>"
       "<harmony><root><root-step>C</root-step></root><kind>major</kind><bass><bass-step>E</bass-step></bass></harmony>"
       "<harmony><root><root-step>D</root-step><root-alter>1</root-alter></root><kind>sus47</kind></harmony>"
       "<harmony><bass><bass-step>F</bass-step></bass><kind>major</kind></harmony>" +
       XMLNote("C", 1) + "</measure>"}));
  std::vector<TKVChord*> chords = ItemsOfKind<TKVChord>(*walked.Measure(0, 0), ItemKind::Chord);
  ASSERT_EQ(chords.size(), 3u);
  EXPECT_EQ(chords[0]->Notes(), (std::vector<uint8_t>{2, 0, 4, 0x12}));
  ASSERT_EQ(chords[0]->Entries().Count(), 1);
  EXPECT_EQ(chords[0]->Entries().Get(0)->Text, "7");
  EXPECT_EQ(chords[1]->Notes(), (std::vector<uint8_t>{3, 1, 0, 0x30, 0x10, 2}));
  EXPECT_EQ(chords[2]->Notes(), (std::vector<uint8_t>{3, 0, 0x11, 0x20, 0x10}));  // unknown kinds read as minor
  EXPECT_EQ(chords[2]->Data().i16(ChordBlock::OffsetY), -128);
}

// Work title centred, composer ending at the right margin, the movement
// title followed by its number on one centred line.
TEST(MusicXMLWalk, HeaderPageTexts) {
  TWalkedDocument walked(Partwise(
      {"<measure/>"}, "<work><work-title>Sonata</work-title></work><movement-number>2</movement-number>"
                      "<movement-title>Adagio</movement-title><identification><creator type=\"composer\">Anon"
                      "</creator><rights>Free</rights></identification>"));
  const TKVPage& page = walked.Score.Page();
  const int32_t w8 = RoundExtended(page.InternalValue(pvWidth) * 96 / 254) * 8;
  auto width = [](const std::u16string& text, int size) {
    return text::CurrentMeasurer().TextWidthW({"Arial", 8 * size, 0}, text);
  };
  std::map<std::u16string, std::pair<int, int>> at;
  for (int32_t i = 0; i < walked.Score.GetItemCount(); ++i) {
    auto* text = dynamic_cast<TKVText*>(walked.Score.GetItem(i));
    at[text->Lines().at(0)] = {text->Data().i16(PageObjectBlock::X), text->Data().i16(PageObjectBlock::Y)};
  }
  ASSERT_EQ(at.size(), 5u);
  EXPECT_EQ(at[u"Sonata"].first, (w8 - width(u"Sonata", 16)) / 2);
  const int32_t right = RoundExtended((page.InternalValue(pvWidth) - page.InternalValue(pvRightMargin)) * 96 / 254) * 8;
  EXPECT_EQ(at[u"Anon"].first + width(u"Anon", 10), right);
  EXPECT_EQ(at[u"Adagio"].first, (w8 - width(u"2 Adagio", 14)) / 2);
  EXPECT_EQ(at[u"2"].first, at[u"Adagio"].first + width(u"Adagio ", 14));
  EXPECT_EQ(walked.Score.FileText(0), "Anon");
  EXPECT_EQ(walked.Score.FileText(2), "Free");
  EXPECT_EQ(walked.Walk->TextsToAlign.size(), 2u);  // title and rights
}

TEST(MusicXMLWalk, PartListAndItsFirstMeasure) {
  TKVScore score;
  ImportDocument(score, "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"V\"><part-name>Violin"
                        "</part-name><score-instrument id=\"i\"><instrument-name>Solo</instrument-name>"
                        "</score-instrument><midi-instrument id=\"i\"><midi-channel>10</midi-channel>"
                        "<midi-program>41</midi-program></midi-instrument></score-part></part-list>"
                        "<part id=\"v\"><measure number=\"0\"/><measure number=\"1\"/></part></score-partwise>");
  TKVPart* part = score.GetPiece(0)->GetPart(0);
  EXPECT_EQ(part->Name(), "Solo");
  EXPECT_EQ(part->Channel(), 9);
  EXPECT_EQ(part->Program(), 40);
  ASSERT_EQ(part->GetMeasureCount(), 2);
  auto* label = dynamic_cast<TKVLyric*>(part->GetMeasure(0)->GetItem(0));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Kind(), ItemKind::LyricLine);
  EXPECT_EQ(label->Lines(), (TKVWideList{u"Violin"}));
  EXPECT_EQ(part->GetMeasure(0)->Number, 0);
}

// Barlines come from the first part only; an unlisted style removes the mark.
TEST(MusicXMLWalk, BarlinesOfTheFirstPart) {
  auto barline = [](const std::string& location, const std::string& content) {
    return "<barline location=\"" + location + "\">" + content + "</barline>";
  };
  TWalkedDocument walked(Partwise(
      {"<measure>" + barline("right", "<bar-style>light-heavy</bar-style>") + "</measure><measure>" +
           barline("left", "<bar-style>heavy-light</bar-style><repeat direction=\"forward\"/>") +
           "</measure><measure>" + barline("right", "<bar-style>regular</bar-style>") + "</measure>",
       "<measure/><measure/><measure>" + barline("right", "<bar-style>light-light</bar-style>") + "</measure>"}));
  std::vector<std::vector<int>> kinds;
  for (int32_t c = 0; c < walked.Piece->GetColumnCount(); ++c) {
    std::vector<int> column;
    for (TKVItem* item : walked.Piece->GetColumn(c)->Items())
      column.push_back(item->Kind() << 16 | dynamic_cast<TKVMark*>(item)->Position());
    kinds.push_back(column);
  }
  EXPECT_EQ(kinds, (std::vector<std::vector<int>>{{158 << 16 | 512}, {155 << 16}, {}}));
}

// Breaks after the measure before; two in one measure count once. Distances
// of a print element wait for the finishing pass, those of the defaults set
// the score and page.
TEST(MusicXMLWalk, BreaksAndLayoutDistances) {
  TWalkedDocument walked(Partwise(
      {"<measure/><measure><print new-system=\"yes\" new-page=\"yes\"><system-layout><system-distance>80"
       "</system-distance></system-layout><staff-layout number=\"2\"><staff-distance>60</staff-distance>"
       "</staff-layout></print></measure><measure><print new-system=\"yes\"/></measure>"},
      "<defaults><scaling><millimeters>7</millimeters><tenths>40</tenths></scaling><system-layout>"
      "<system-distance>100</system-distance></system-layout><staff-layout><staff-distance>80</staff-distance>"
      "</staff-layout></defaults>"));
  EXPECT_EQ(walked.Piece->GetColumn(0)->Data().u8(ColumnBlock::SystemBreak), 1);
  EXPECT_EQ(walked.Piece->GetColumn(0)->Data().u16(ColumnBlock::PageBreak), 1);
  EXPECT_EQ(walked.Piece->GetColumn(1)->Data().u8(ColumnBlock::SystemBreak), 1);
  // 7 mm per 40 tenths: 100 tenths are 175 tenths of a millimetre.
  EXPECT_DOUBLE_EQ(double(walked.Score.Settings().SystemDistance()), 175.0);
  EXPECT_DOUBLE_EQ(double(walked.Score.Page().InternalValue(pvInterval)), 140.0);
  const auto& records = walked.Walk->SpacingRecords;
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Measure, walked.Measure(0, 1));
  EXPECT_EQ(records[0].SystemCount, 1);
  EXPECT_EQ(records[0].StaffIndex, -1);
  EXPECT_EQ(records[0].Value, 140);
  EXPECT_EQ(records[1].StaffIndex, 1);
  EXPECT_EQ(records[1].Value, 105);
}

// A decimal tempo rounds; the second tempo becomes a mark of its column.
// Tablature strings hold their open-string MIDI keys.
TEST(MusicXMLWalk, TempoAndTablatureTuning) {
  TWalkedDocument walked(Partwise(
      {"<measure><attributes><staff-details><staff-lines>6</staff-lines><staff-tuning line=\"1\"><tuning-step>E"
       "</tuning-step><tuning-octave>2</tuning-octave></staff-tuning></staff-details></attributes>"
       "<sound tempo=\"112.5\"/></measure><measure><sound tempo=\"90\"/></measure>"}));
  EXPECT_EQ(walked.Piece->Tempo(), 112);
  std::vector<TKVMark*> tempo = ItemsOfKind<TKVMark>(*walked.Piece->GetColumn(1), 6);
  ASSERT_EQ(tempo.size(), 1u);
  EXPECT_EQ(tempo[0]->Value(), 90);
  TKVStaff* staff = walked.Piece->GetPart(0)->GetStaff(0);
  EXPECT_EQ(staff->LineCount(), 6);
  EXPECT_EQ(staff->Data().u8(StaffBlock::Tablature), 1);
  EXPECT_EQ(staff->LineArray()[0], 40);
}

// A voice names one voice of the part: met on a second staff it becomes a
// cross-staff voice there.
TEST(MusicXMLWalk, VoicesOfAPartAcrossStaves) {
  TKVScore score;
  TKVPart* part = score.NewPiece()->NewPart();
  part->NewStaff();
  EXPECT_EQ(MapXMLVoice(*part, 0x00).VoiceByte, 0x00);
  TKVXMLVoice crossed = MapXMLVoice(*part, 0x10);
  EXPECT_EQ(crossed.VoiceByte, 0x10);
  EXPECT_EQ(crossed.Voice->Staff(), part->GetStaff(0));
  EXPECT_EQ(crossed.Voice->SecondStaff(), part->GetStaff(1));
  TKVXMLVoice second = MapXMLVoice(*part, 0x11);
  EXPECT_EQ(second.VoiceByte, 0x11);
  EXPECT_EQ(second.Voice->Number(), 1);
  EXPECT_EQ(part->VoiceRenumberingSwitch(), 0);
}

}  // namespace
