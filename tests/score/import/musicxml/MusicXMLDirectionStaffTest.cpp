// Directions of a two-staff part after import: each dynamic, wedge, pedal
// and words on the staff its direction names, whatever note was read before
// it; a staff the part lacks names nothing and makes no staff; no
// horizontal default offset; the metronome mark after its tempo words.

#include <gtest/gtest.h>

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
    for (TKVMark* mark : ItemsOfKind<TKVMark>(*piece.GetPart(0)->GetMeasure(1), ItemKind::Dynamic)) {
      EXPECT_EQ(mark->OffsetX(), 0);
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

}  // namespace
