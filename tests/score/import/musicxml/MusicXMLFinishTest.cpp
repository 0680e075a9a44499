// The finishing pass on small documents: the accidental signs it shows and
// the keys the layout then plays, grace-note groups, percussion through the
// drum map, ties and slurs, and an error becoming the import's warning.
// (Pickups and the play time are checked on the corpus.)

#include <gtest/gtest.h>

#include "score/import/musicxml/MusicXMLCount.h"
#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/import/performance/PerformancePasses.h"
#include "support/LayoutDump.h"
#include "score/model/Column.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/LayoutRecords.h"

#include <map>

namespace {

using MusicXMLFinish = MusicXMLLayoutTest;

// A note such as "F#4" (b flat, n natural) lasting Duration quarters.
std::string N(const std::string& name, int duration = 1, const std::string& more = "") {
  const int alter = name[1] == '#' ? 1 : name[1] == 'b' ? -1 : 0;
  return "<note><pitch><step>" + name.substr(0, 1) + "</step><alter>" + std::to_string(alter) + "</alter><octave>" +
         name.substr(name.size() - 1) + "</octave></pitch><duration>" + std::to_string(duration) + "</duration>" +
         more + "</note>";
}

std::string Slur(const std::string& type) { return "<notations><slur number=\"1\" type=\"" + type + "\"/></notations>"; }

std::string Measure(int number, const std::string& content) {
  return "<measure number=\"" + std::to_string(number) + "\">" + content + "</measure>";
}

std::string Key(int fifths, int divisions = 1) {
  return "<attributes><divisions>" + std::to_string(divisions) + "</divisions><key><fifths>" + std::to_string(fifths) +
         "</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time></attributes>";
}

// The variant of each note's sign (a mark of kind 50) in measure and (sorted)
// list order, '-' for none.
std::string Signs(const TKVPart& part) {
  std::string signs;
  for (int32_t m = 0; m < part.GetMeasureCount(); ++m)
    for (TKVNote* note : ItemsOfKind<TKVNote>(*part.GetMeasure(m), ItemKind::Note)) {
      std::vector<TKVMark*> marks = ItemsOfKind<TKVMark>(*note, 50);
      signs += marks.empty() ? '-' : char('0' + marks[0]->Variant());
    }
  return signs;
}

// A sign wherever the alteration differs from the key and the measure's
// earlier signs, and every note sounds the key the document gives it.
TEST_F(MusicXMLFinish, SignsMakeTheLayoutPlayTheDocumentsKeys) {
  const std::string voice2 = "<voice>2</voice>", backup = "<backup><duration>4</duration></backup>",
                    tab = "<attributes><staff-details><staff-lines>6</staff-lines><staff-tuning line=\"1\"><tuning-step>E"
                          "</tuning-step><tuning-octave>2</tuning-octave></staff-tuning></staff-details></attributes>";
  const std::vector<std::pair<std::string, std::string>> cases = {  // measures, signs (0 flat, 2 sharp, 4 natural)
      // Two sharps: F sharp none, F natural a natural, C flat a flat once.
      {Measure(1, Key(2) + N("F#4") + N("Fn4") + N("Cb5") + N("Cb5")), "-40-"},
      // The bar line ends the signs; another octave has its own.
      {Measure(1, Key(0) + N("G#4", 2) + N("G#4") + N("G#5")) + Measure(2, N("G#4", 4)), "2-22"},
      // A key change ends the signs before it and sets every step.
      {Measure(1, Key(1) + N("Fn4", 2) + N("Fn4", 2)) + Measure(2, Key(0) + N("F#4", 2) + N("Fn4", 2)), "4-24"},
      // A voice written later in the document but sounding earlier.
      {Measure(1, Key(0) + N("F#4", 2) + N("F#4", 2) + backup + N("Fn4", 3, voice2)), "242"},
      // The highest octave has no row: each of its notes shows its sign.
      {Measure(1, Key(0) + N("C#9", 2) + N("C#9", 2)), "22"},
      // A slur over the bar line carries no sign; a tablature staff has no
      // key; eight fifths name none.
      {Measure(1, Key(0) + N("F#4", 4, Slur("start"))) + Measure(2, N("Fn4", 4, Slur("stop"))), "2-"},
      {Measure(1, Key(2) + tab + N("F#3") + N("C#4") + N("Fn3") + N("G3")), "22--"},
      {Measure(1, Key(8) + N("Fn4", 4)), "-"}};
  for (const auto& [measures, signs] : cases) {
    SCOPED_TRACE(signs);
    const std::string document = Partwise({measures});
    TKVScore score;
    ImportDocument(score, document);
    EXPECT_EQ(score.ImportWarning, "");
    EXPECT_EQ(Signs(*score.GetPiece(0)->GetPart(0)), signs);
    EXPECT_EQ(LaidOutKeys(*score.GetPiece(0)), CountMusicXML(document).Keys);
  }
}

// A slur between notes of one key strikes both; a grace note on the beat
// delays its tied note, which still sounds on to its tie's end.
TEST_F(MusicXMLFinish, SlursStrikeAndGracesKeepTies) {
  for (const auto& [measures, struck] : std::vector<std::pair<std::string, std::string>>{
           {Measure(1, Key(0) + N("G4", 2, Slur("start")) + N("G4", 2, Slur("stop"))), "67@0+256 67@256+256 "},
           {Measure(1, Key(0) + N("C4", 2) + "<note><grace/><pitch><step>D</step><octave>4</octave></pitch><type>eighth" +
                       "</type></note>" + N("E4", 2, "<tie type=\"start\"/>")) + Measure(2, N("E4", 4, "<tie type=\"stop\"/>")),
            "60@0+256 62@256+64 64@320+192 "}}) {
    TKVScore score;
    ImportDocument(score, Partwise({measures}));
    ApplyPerformancePasses(score);
    EXPECT_EQ(StruckNotes(score.GetPiece(0)->Layout()), struck);
  }
}

// Grace notes gather in a group at their note; a percussion note moves to
// its drum entry's position; a tie lasts its note, a slur reaches its end
// note, and one whose end note is removed (no duration, no type) ends nowhere.
TEST_F(MusicXMLFinish, GraceGroupsPercussionTiesAndSlurs) {
  TKVScore score;
  auto& entry = *score.DrumEntries().emplace_back(std::make_unique<TKVDrumEntry>());
  for (auto [at, value] : {std::pair{TKVDrumEntry::SoundingKey, 64}, {TKVDrumEntry::SetIndex, 1},
                           {TKVDrumEntry::StaffPosition, 23 + 4 * 7 + 6}, {TKVDrumEntry::Enabled, 1}})
    entry.Data.setU8(at, uint8_t(value));
  score.BuildDrumMap();
  const std::string grace = "<note><grace/><pitch><step>D</step><octave>4</octave></pitch><type>eighth</type></note>";
  auto slur = [](const std::string& type) { return "<notations><slur number=\"1\" type=\"" + type + "\"/></notations>"; };
  std::string document = Partwise({Measure(1, Key(0) + N("C4", 1, "<tie type=\"start\"/>" + slur("start")) + grace +
                                                  grace + N("E4", 1, slur("stop")) + N("G4", 1, slur("start")) +
                                                  "<note><pitch><step>A</step><octave>4</octave></pitch>" +
                                                  slur("stop") + "</note>")});
  document.replace(document.find("</score-part>"), 0, "<midi-instrument><midi-channel>10</midi-channel></midi-instrument>");
  ImportDocument(score, document);
  EXPECT_EQ(score.ImportWarning, "");
  const TKVMeasure& measure = *score.GetPiece(0)->GetPart(0)->GetMeasure(0);
  std::vector<int> lengths, pitches, graces;
  for (TKVNote* note : ItemsOfKind<TKVNote>(measure, ItemKind::Note)) {
    pitches.push_back(note->Pitch());
    for (TKVLiga* liga : ItemsOfKind<TKVLiga>(*note, ItemKind::Slur)) lengths.push_back(liga->Data().u16(LigaBlock::Length));
  }
  for (TKVVorschlag* group : ItemsOfKind<TKVVorschlag>(measure, ItemKind::GraceGroup))
    for (TKVNote* note : ItemsOfKind<TKVNote>(*group, ItemKind::Note)) graces.push_back(group->Position() + note->Position());
  EXPECT_EQ(graces, (std::vector<int>{128, 128 + 64}));
  EXPECT_EQ(lengths, (std::vector<int>{128, 128, 0}));
  EXPECT_EQ(pitches, (std::vector<int>{0x50, 0x46, 0x54}));  // the E (key 64) at the entry's position
}

// A slur above notes with stems down, one below (no placement) notes with
// stems up, and one shaped by the document: in the measure layout each end
// stands within two line spaces beyond its own note's head on the slur's
// side, and the curve bows away from the notes (the document's bezier kept
// as it gives it).
TEST_F(MusicXMLFinish, SlursEndBesideTheirNotesAndBow) {
  TKVScore score;
  auto slur = [](const std::string& type, const std::string& more = "") {
    return "<notations><slur number=\"1\" type=\"" + type + "\"" + more + "/></notations>";
  };
  const std::string up = "<stem>up</stem>", down = "<stem>down</stem>";
  ImportDocument(score, Partwise({Measure(1, Key(0, 2) + N("G4", 1, down + slur("start", " placement=\"above\"")) +
                                                N("D5", 1, down + slur("stop")) + N("C5", 1, up + slur("start")) +
                                                N("E4", 1, up + slur("stop")) +
                                                N("F4", 1, up + slur("start", " bezier-y=\"20\"")) +
                                                N("A4", 1, up + slur("stop")))}));
  const TKVMeasureRecord& record = *score.GetPiece(0)->Layout().MeasureRecords.at(0);
  std::map<const TKVItem*, const TKVDisplayItem*> heads;
  std::vector<const TKVDisplayItem*> slurs;
  for (int32_t i = 0; const TKVDisplayItem* d = record.GetDisplay(i); ++i)
    if (d->RecordType == DisplayRecordType::Item && d->Item && d->Item->Kind() == ItemKind::Note) heads[d->Item] = d;
    else if (d->Item && d->Item->Kind() == ItemKind::Slur) slurs.push_back(d);
  const std::vector<TKVNote*> notes = ItemsOfKind<TKVNote>(*score.GetPiece(0)->GetPart(0)->GetMeasure(0), ItemKind::Note);
  ASSERT_EQ(notes.size(), 6u);
  ASSERT_EQ(slurs.size(), 3u);
  const int32_t space = 48;
  for (size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const auto& liga = static_cast<const TKVLiga&>(*slurs[k]->Item);
    const bool below = liga.Flag(LigaFlag::OtherSide);
    EXPECT_EQ(below, k > 0);
    const TKVLayoutRect& points = slurs[k]->Bounds2;
    for (auto [y, head] : {std::pair{points.Top, heads[notes[2 * k]]}, std::pair{points.Bottom, heads[notes[2 * k + 1]]}}) {
      const int32_t beyond = below ? y - head->Bounds.Bottom : head->Bounds.Top - y;
      EXPECT_GE(beyond, 0) << "on the slur's side of its head";
      EXPECT_LE(beyond, 2 * space) << "near its head";
    }
    EXPECT_EQ(liga.Control1Y(), k == 2 ? -96 : below ? 72 : -72) << "bows away from the notes";
    EXPECT_EQ(liga.Control2Y(), k == 2 ? 0 : liga.Control1Y());
  }
}

// A tuplet note of Divisions lasting Type (a written value) under
// Actual:Normal, with a normal type and dot when given.
std::string TupletNote(int divisions, const std::string& type, int actual, int normal, const std::string& normalType = "",
                       bool normalDot = false) {
  return N("C5", divisions, "<type>" + type + "</type><time-modification><actual-notes>" + std::to_string(actual) +
                                "</actual-notes><normal-notes>" + std::to_string(normal) + "</normal-notes>" +
                                (normalType.empty() ? "" : "<normal-type>" + normalType + "</normal-type>") +
                                (normalDot ? "<normal-dot/>" : "") + "</time-modification>");
}

// A measure lasts as its meter and its notes say, whatever ratios its
// tuplets are given by: nested ones, normal types and dots, and a ratio
// whose tuplet would reach past a measure that has no meter. Each document
// is two such measures; their time is worked out by hand (100 quarters a
// minute: 600 ms a quarter) and the independent count agrees.
TEST_F(MusicXMLFinish, TupletsOfAnyRatioLastAsTheirNotes) {
  auto attributes = [](int divisions, int beats, int type) {
    return "<attributes><divisions>" + std::to_string(divisions) + "</divisions>" +
           (beats ? "<time><beats>" + std::to_string(beats) + "</beats><beat-type>" + std::to_string(type) +
                        "</beat-type></time>"
                  : std::string()) +
           "</attributes>";
  };
  // 3:2 sixteenths inside 5:4 eighths (15:8 in all) fill a 2/4 measure: 4 x 6 + 3 x 2 of 15 a quarter.
  std::string nested;
  for (int i = 0; i < 5; ++i) nested += i == 2 ? TupletNote(2, "16th", 15, 8, "16th") + TupletNote(2, "16th", 15, 8, "16th") +
                                                     TupletNote(2, "16th", 15, 8, "16th")
                                               : TupletNote(6, "eighth", 5, 4, "eighth");
  // Duplet quarters in the time of a dotted quarter: four fill 6/8.
  std::string duplets;
  for (int i = 0; i < 4; ++i) duplets += TupletNote(3, "quarter", 2, 1, "quarter", true);
  // Two quarters, then an eighth triplet whose first eighth holds three
  // eighths written 9:4 of normal type quarter (their tuplet alone would
  // reach two measures further).
  const std::string nine = N("A4", 9) + N("B4", 9) + TupletNote(1, "eighth", 9, 4, "quarter") +
                           TupletNote(1, "eighth", 9, 4, "quarter") + TupletNote(1, "eighth", 9, 4, "quarter") +
                           TupletNote(3, "eighth", 3, 2, "eighth") + TupletNote(3, "eighth", 3, 2, "eighth");
  const struct {
    std::string First, Content;
    double Ms;
  } cases[] = {{attributes(15, 2, 4), nested, 4 * 600.0},   {attributes(15, 0, 0), nested, 4 * 600.0},
               {attributes(4, 6, 8), duplets, 6 * 600.0},   {attributes(4, 0, 0), duplets, 6 * 600.0},
               {attributes(9, 3, 4), nine, 6 * 600.0},      {attributes(9, 0, 0), nine, 6 * 600.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.First);
    const std::string document = Partwise({Measure(1, c.First + c.Content) + Measure(2, c.Content)});
    TKVScore score;
    ImportDocument(score, document);
    EXPECT_EQ(score.ImportWarning, "");
    EXPECT_DOUBLE_EQ(score.GetPiece(0)->Layout().RunningTime, c.Ms);
    EXPECT_DOUBLE_EQ(PlayTimeOfMusicXML(document), c.Ms);
  }
}

// An error in the guarded steps ends them; the piece stays and the error's
// text is the import's warning. Chord symbols without a text ask the host.
TEST_F(MusicXMLFinish, ErrorInTheNotationStepBecomesTheWarning) {
  TKVScore score;
  int asked = 0;
  score.GetChordText = [&](TObject*, TByteBlock*, TKVChordEntryList*) { ++asked; };
  score.OnGetInstrument = [](TObject*, TKVPart*) { throw EConvertError("no instrument"); };
  ImportDocument(score, Partwise({Measure(1, "<attributes><divisions>1</divisions><staves>2</staves></attributes><harmony>"
                                             "<root><root-step>C</root-step></root><kind>major</kind></harmony><barline>"
                                             "<bar-style>light-heavy</bar-style></barline>" + N("C4", 4))}));
  EXPECT_EQ(score.ImportWarning, "no instrument");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(score.GetPiece(0)->Layout().RunningTime, 512 * 60000.0 / (100 * 128));
  // The barlines were still to be placed.
  EXPECT_EQ(ItemsOfKind<TKVMark>(*score.GetPiece(0)->GetColumn(0), 158).at(0)->Position(), 0);
}

}  // namespace
