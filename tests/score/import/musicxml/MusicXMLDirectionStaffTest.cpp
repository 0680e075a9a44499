// Directions of a two-staff part after import: each dynamic, wedge, pedal
// and words on the staff its direction names, whatever note was read before
// it; a staff the part lacks names nothing and makes no staff; no
// horizontal default offset; the metronome mark after its tempo words.
// A dynamic in a note's notations at that note's tick and staff; a dynamic
// placed below stands below its staff, not a staff's height further.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/model/Column.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"

namespace {

using MusicXMLDirectionStaff = MusicXMLLayoutTest;

std::string Note(int Staff, int Voice) {
  return XMLNote(Staff == 1 ? "E" : "C", 1,
                 "<voice>" + std::to_string(Voice) + "</voice><staff>" + std::to_string(Staff) + "</staff>");
}

std::string Direction(const std::string& Type, const std::string& Staff) {
  return "<direction placement=\"below\"><direction-type>" + Type + "</direction-type>" + Staff + "</direction>";
}

// Two measures of 1/4 with both staves; the second measure's directions
// come first, after the first measure's left-hand note (voice 5, staff 2).
std::string Piano(const std::string& Staff) {
  const std::string attributes =
      "<attributes><divisions>1</divisions><time><beats>1</beats><beat-type>4</beat-type></time><staves>2</staves>"
      "</attributes>";
  const std::string second =
      Direction("<dynamics default-x=\"80\" default-y=\"-80\"><f/></dynamics>", Staff) +
      Direction("<wedge default-x=\"30\" type=\"crescendo\"/>", Staff) + Direction("<words>dolce</words>", Staff) +
      Direction("<pedal type=\"start\"/>", Staff) + Note(1, 1) + Direction("<wedge type=\"stop\"/>", Staff) +
      "<backup><duration>1</duration></backup>" + Note(2, 5);
  return Partwise({"<measure number=\"1\">" + attributes + Note(1, 1) + "<backup><duration>1</duration></backup>" +
                   Note(2, 5) + "</measure><measure number=\"2\">" + second + "</measure>"});
}

// The staff index of each kind's item in measure 2: dynamic, wedge, pedal, words.
std::vector<int> Staves(const TKVPiece& Piece) {
  const TKVMeasure& measure = *Piece.GetPart(0)->GetMeasure(1);
  std::vector<int> staves(4, -1);
  for (TKVMark* mark : ItemsOfKind<TKVMark>(measure, ItemKind::Dynamic))
    staves[mark->Variant() == 50 ? 1 : 0] = ItemStaff(mark->StaffVoice());
  for (TKVMark* mark : ItemsOfKind<TKVMark>(measure, ItemKind::Pedal)) staves[2] = ItemStaff(mark->StaffVoice());
  for (TKVLyric* words : ItemsOfKind<TKVLyric>(measure, ItemKind::LyricText))
    staves[3] = ItemStaff(words->StaffVoice());
  return staves;
}

TEST_F(MusicXMLDirectionStaff, EachItemOfADirectionGoesToTheStaffItNames) {
  struct Row {
    const char* Staff;
    std::vector<int> Expected;  // dynamic, wedge, pedal, words
  };
  // Without a staff (or with one the part lacks) the dynamic keeps the
  // staff of the note before it, the left hand's; the rest stand on the
  // first staff, where they are made.
  const Row rows[] = {{"<staff>1</staff>", {0, 0, 0, 0}}, {"<staff>2</staff>", {1, 1, 1, 1}},
                      {"", {1, 0, 0, 0}},                 {"<staff>0</staff>", {1, 0, 0, 0}},
                      {"<staff>99</staff>", {1, 0, 0, 0}}, {"<staff>3</staff>", {1, 0, 0, 0}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Staff);
    TKVScore score;
    ImportDocument(score, Piano(row.Staff));
    ASSERT_EQ(score.GetPieceCount(), 1);
    const TKVPiece& piece = *score.GetPiece(0);
    EXPECT_EQ(piece.GetPart(0)->GetStaffCount(), 2);
    EXPECT_EQ(Staves(piece), row.Expected);
    // default-x 80 is not taken; default-y -80 is 80 x 24 / 5 = 384 down.
    // The hairpin's default-x 30 is not taken either: it starts a space
    // after the f at its tick. With the fake metrics the f (code 6F hex at
    // 144) is 192 x 800 / 1000 = 154 wide, centred; a space of Arial at 64
    // is 85 x 700 / 1000 = 60; the opening starts 32 before the offset:
    // 77 + 60 + 32.
    for (TKVMark* mark : ItemsOfKind<TKVMark>(*piece.GetPart(0)->GetMeasure(1), ItemKind::Dynamic)) {
      EXPECT_EQ(mark->OffsetX(), mark->Variant() == 6 ? 0 : 169);
      if (mark->Variant() == 6) {
        EXPECT_EQ(mark->OffsetY(), 384);
      }
    }
  }
}

// A second tempo: its mark stands after the words of its direction, at the
// words' tick, by at least their width; one without words keeps offset 0.
TEST_F(MusicXMLDirectionStaff, TheMetronomeMarkStandsAfterItsTempoWords) {
  const std::string tempo =
      "<direction placement=\"above\"><direction-type><words>Meno mosso</words></direction-type><direction-type>"
      "<metronome><beat-unit>quarter</beat-unit><per-minute>96</per-minute></metronome></direction-type>"
      "<sound tempo=\"96\"/></direction>";
  const std::string bare = "<direction><sound tempo=\"80\"/></direction>";
  TKVScore score;
  ImportDocument(score, Partwise({"<measure number=\"1\"><attributes><divisions>1</divisions></attributes>" + bare +
                                  XMLNote("C", 4) + "</measure><measure number=\"2\">" + tempo + XMLNote("C", 4) +
                                  "</measure><measure number=\"3\">" + bare + XMLNote("C", 4) + "</measure>"}));
  const TKVPiece& piece = *score.GetPiece(0);
  std::vector<TKVMark*> marks;
  for (int32_t c = 0; c < piece.GetColumnCount(); ++c)
    for (TKVMark* mark : ItemsOfKind<TKVMark>(*piece.GetColumn(c), ItemKind::TempoMark)) marks.push_back(mark);
  ASSERT_EQ(marks.size(), 2u);  // the first tempo is the piece's
  const std::vector<TKVLyric*> words = ItemsOfKind<TKVLyric>(*piece.GetPart(0)->GetMeasure(1), ItemKind::LyricText);
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(marks[0]->Position(), words[0]->Position());
  EXPECT_GE(marks[0]->OffsetX(),
            words[0]->OffsetX() + text::CurrentMeasurer().TextWidthW({"Arial", 64, 0}, u"Meno mosso"));
  EXPECT_EQ(marks[1]->OffsetX(), 0);
}

// A note of a two-staff measure: its head (pitch, and chord or grace), its
// duration (none for 0), voice 1 on staff 1 or 5 on staff 2, its notations.
std::string RawNote(const std::string& Head, int Duration, int Staff, const std::string& Notations) {
  return "<note>" + Head + (Duration ? "<duration>" + std::to_string(Duration) + "</duration>" : "") + "<voice>" +
         std::to_string(Staff == 1 ? 1 : 5) + "</voice><staff>" + std::to_string(Staff) + "</staff><notations>" +
         Notations + "</notations></note>";
}

std::string Pitch(const char* Step, int Octave) {
  return std::string("<pitch><step>") + Step + "</step><octave>" + std::to_string(Octave) + "</octave></pitch>";
}

// One measure of 2/4, two divisions a quarter (64 ticks an eighth): on the
// upper staff an eighth with fp, an eighth chord whose second note has mf,
// a grace note with ff and a closing quarter with p; on the lower staff a
// half note with sf. Each dynamic at its own note: 0, 64 (the chord's
// start), 128 (the grace note takes no time), 128, 0, on the note's staff.
// At the tick after its note the p and sf stood at 256, the measure's end,
// and the layout dropped them.
TEST_F(MusicXMLDirectionStaff, ADynamicOfANoteStandsAtThatNoteOnItsStaff) {
  auto dynamic = [](const char* Letters) { return std::string("<dynamics><") + Letters + "/></dynamics>"; };
  const std::string measure =
      "<measure number=\"1\"><attributes><divisions>2</divisions><time><beats>2</beats><beat-type>4</beat-type>"
      "</time><staves>2</staves></attributes>" +
      RawNote(Pitch("E", 5), 1, 1, dynamic("fp")) + RawNote(Pitch("C", 5), 1, 1, "") +
      RawNote("<chord/>" + Pitch("A", 4), 1, 1, dynamic("mf")) +
      RawNote("<grace/>" + Pitch("G", 4), 0, 1, dynamic("ff")) +
      RawNote(Pitch("F", 4), 2, 1, dynamic("p")) + "<backup><duration>4</duration></backup>" +
      RawNote(Pitch("C", 3), 4, 2, dynamic("sf")) + "</measure>";
  TKVScore score;
  ImportDocument(score, Partwise({measure}));
  ASSERT_EQ(score.GetPieceCount(), 1);
  struct Row {
    uint8_t Variant;
    int Position, Staff;
  };
  // fp 4, mf 5, ff 7, p 0, sf 9.
  const Row expected[] = {{4, 0, 0}, {5, 64, 0}, {7, 128, 0}, {0, 128, 0}, {9, 0, 1}};
  const TKVMeasure& read = *score.GetPiece(0)->GetPart(0)->GetMeasure(0);
  const std::vector<TKVMark*> marks = ItemsOfKind<TKVMark>(read, ItemKind::Dynamic);
  EXPECT_EQ(marks.size(), std::size(expected));
  for (const Row& row : expected) {
    SCOPED_TRACE(int(row.Variant));
    auto found = std::find_if(marks.begin(), marks.end(), [&](TKVMark* m) { return m->Variant() == row.Variant; });
    ASSERT_NE(found, marks.end());
    EXPECT_EQ((*found)->Position(), row.Position);
    EXPECT_EQ(ItemStaff((*found)->StaffVoice()), row.Staff);
  }
}

// The vertical offset of a dynamic or pedal from its staff's top line with
// the default line space of 6 pixels (48 units): a dynamic centred 48 + 7 x
// 48 = 384 below, 48 - 5 x 48 = -192 above; a pedal at 0 above, 4 x 48 + 48 =
// 240 below. Placed below, a dynamic above its staff goes to 384 and one
// below stays; a pedal moves from 0 by 240. The staff's height further put
// a dynamic at 624, in the next staff, or at 48, on its own lines.
TEST_F(MusicXMLDirectionStaff, ADynamicPlacedBelowStandsBelowItsStaff) {
  struct Row {
    const char* Case;
    std::string Content;  // of the measure, before its note
    std::string Notations;
    uint8_t Kind;
    int OffsetY;
  };
  const std::string above = "<direction placement=\"above\"><direction-type>";
  const std::string below = "<direction placement=\"below\"><direction-type>";
  const std::string end = "</direction-type></direction>";
  const Row rows[] = {
      {"in notations, placed below", "", "<dynamics placement=\"below\"><fp/></dynamics>", ItemKind::Dynamic, 384},
      {"in notations after a slur above", "",
       "<slur type=\"start\" placement=\"above\"/><dynamics placement=\"below\"><fp/></dynamics>",
       ItemKind::Dynamic, 384},
      {"in notations, no placement", "", "<dynamics><fp/></dynamics>", ItemKind::Dynamic, 384},
      {"direction below, placed below", below + "<dynamics placement=\"below\"><p/></dynamics>" + end, "",
       ItemKind::Dynamic, 384},
      {"direction above, placed below", above + "<dynamics placement=\"below\"><p/></dynamics>" + end, "",
       ItemKind::Dynamic, 384},
      {"direction above", above + "<dynamics><p/></dynamics>" + end, "", ItemKind::Dynamic, -192},
      // default-y -40 tenths: 40 x 24 / 5 = 192 down, already below.
      {"default-y below, placed below", below + "<dynamics default-y=\"-40\" placement=\"below\"><p/></dynamics>" + end,
       "", ItemKind::Dynamic, 192},
      {"pedal above, placed below", above + "<pedal type=\"start\" placement=\"below\"/>" + end, "",
       ItemKind::Pedal, 240},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Case);
    TKVScore score;
    ImportDocument(score, Partwise({"<measure number=\"1\"><attributes><divisions>1</divisions></attributes>" +
                                    row.Content + XMLNote("C", 1, "<notations>" + row.Notations + "</notations>") +
                                    XMLNote("D", 1) + "</measure>"}));
    ASSERT_EQ(score.GetPieceCount(), 1);
    const std::vector<TKVMark*> marks = ItemsOfKind<TKVMark>(*score.GetPiece(0)->GetPart(0)->GetMeasure(0), row.Kind);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0]->OffsetY(), row.OffsetY);
  }
}

}  // namespace
