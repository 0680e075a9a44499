// Beamed groups of a piano part whose notes change staff, from MusicXML
// documents written here: the notes of the upper staff take their stems
// down and those of the lower staff up (whatever stems the document wrote),
// the group lists its stems in time order, its beam runs between the two
// staves, and every stem meets the beam without reaching into the other
// staff's five lines. A beam over 200 notes that change staff at each note
// lays out and draws the same way.

#include <gtest/gtest.h>

#include <algorithm>

#include "render/ImportedScore.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"

namespace {

// An eighth of voice 1 on Staff (1 upper, 2 lower) with its beam value; a
// stem when Stem is not empty.
std::string Eighth(char Step, int Octave, int Staff, const std::string& Beam, const std::string& Stem = "") {
  return std::string("<note><pitch><step>") + Step + "</step><octave>" + std::to_string(Octave) +
         "</octave></pitch><duration>1</duration><voice>1</voice><type>eighth</type>" +
         (Stem.empty() ? "" : "<stem>" + Stem + "</stem>") + "<staff>" + std::to_string(Staff) +
         "</staff><beam number=\"1\">" + Beam + "</beam></note>";
}

std::string PianoAttributes(int Beats) {
  return "<attributes><divisions>2</divisions><time><beats>" + std::to_string(Beats) +
         "</beats><beat-type>4</beat-type></time><staves>2</staves><clef number=\"1\"><sign>G</sign><line>2</line>"
         "</clef><clef number=\"2\"><sign>F</sign><line>4</line></clef></attributes>";
}

// Groups of Count eighths of voice 1 that alternate between E4 on the upper
// staff and C3 on the lower one, Count / Size groups of Size.
std::string AlternatingGroups(int Count, int Size, const std::string& Stem = "") {
  std::string notes;
  for (int i = 0; i < Count; ++i) {
    const int at = i % Size;
    const std::string beam = at == 0 ? "begin" : at == Size - 1 ? "end" : "continue";
    notes += i % 2 == 0 ? Eighth('E', 4, 1, beam, Stem) : Eighth('C', 3, 2, beam, Stem);
  }
  return notes;
}

struct TBox {
  double Top, Bottom;
};

// Checks every beam group drawn on every page; returns the number of groups.
size_t CheckGroups(TImportedScore& Imported) {
  size_t groups = 0;
  for (int32_t p = 0; p < Imported.PageCount(); ++p) {
    std::unique_ptr<TTaggingCanvas> canvas = Imported.Draw(p);
    const TKVPageRecord& page = Imported.Page(p);
    auto box = [&](const TKVStaffLineRecord& Line) {
      const double top = Line.Top / 8;
      return TBox{top, top + 4.0 * Line.DrawnLineSpacing};
    };
    std::map<const TKVDisplayItem*, std::vector<const canvas::TCanvasCall*>> byRecord;
    for (size_t i = 0; i < canvas->Calls.size(); ++i)
      if (canvas->Tags[i] && canvas->Tags[i]->RecordType == DisplayRecordType::BeamGroup)
        byRecord[canvas->Tags[i]].push_back(&canvas->Calls[i]);
    for (const auto& [group, calls] : byRecord) {
      ++groups;
      const std::vector<TKVDisplayItem*>& stems = group->Links;
      if (calls.size() < stems.size() + 1) {
        ADD_FAILURE() << calls.size() << " drawings for " << stems.size() << " stems and their beam";
        continue;
      }
      // In time order, whatever staff the layout walked first.
      for (size_t i = 1; i < stems.size(); ++i)
        EXPECT_LT(static_cast<const TKVNote*>(stems[i - 1]->Item)->Position(),
                  static_cast<const TKVNote*>(stems[i]->Item)->Position());
      auto extent = [](const canvas::TCanvasCall& Call) {
        TBox b{1e9, -1e9};
        for (const auto& c : Call.Path)
          if (c.Kind == canvas::TPathCommand::Move || c.Kind == canvas::TPathCommand::Line)
            b.Top = std::min(b.Top, c.P[0].Y), b.Bottom = std::max(b.Bottom, c.P[0].Y);
        return b;
      };
      const TBox beam = extent(*calls[stems.size()]);
      const TKVStaffLineRecord* upper = nullptr;
      const TKVStaffLineRecord* lower = nullptr;
      for (size_t i = 0; i < stems.size(); ++i) {
        const auto& note = *static_cast<const TKVNote*>(stems[i]->Item);
        const TKVStaffLineRecord& own = *stems[i]->StaffLine;
        const bool onUpper = ItemStaff(note.StaffVoice()) == 0;
        (onUpper ? upper : lower) = &own;
        EXPECT_EQ(note.StemDown(), onUpper) << "note " << i;
        const TBox stem = extent(*calls[i]);
        EXPECT_GE(stem.Bottom + 1, beam.Top) << "note " << i << " meets the beam";
        EXPECT_LE(stem.Top - 1, beam.Bottom) << "note " << i << " meets the beam";
        for (int32_t l = 0; l < page.StaffLineCount; ++l) {
          const TKVStaffLineRecord* other = page.GetStaffLine(l);
          if (!other || other == &own || other->System != own.System || !other->Staff) continue;
          const TBox staff = box(*other);
          EXPECT_TRUE(stem.Bottom < staff.Top || stem.Top > staff.Bottom) << "note " << i << " crosses another staff";
        }
      }
      EXPECT_TRUE(upper && lower) << "a group over both staves";
      if (upper && lower) {
        EXPECT_GT(beam.Top, box(*upper).Bottom);
        EXPECT_LT(beam.Bottom, box(*lower).Top);
      }
    }
  }
  return groups;
}

// Two groups of four: the first as a document without stems writes it, the
// second with every stem written up.
TEST(CrossStaffBeams, BeamBetweenTheStavesAndStemsTowardsIt) {
  TImportedScore imported(PartwiseDocument(
      {"<measure number=\"1\">" + PianoAttributes(4) + AlternatingGroups(4, 4) + AlternatingGroups(4, 4, "up") +
       "</measure>"}));
  ASSERT_GT(imported.PageCount(), 0);
  EXPECT_EQ(CheckGroups(imported), 2u);
}

TEST(CrossStaffBeams, TwoHundredNotesChangingStaffAtEachNote) {
  TImportedScore imported(
      PartwiseDocument({"<measure number=\"1\">" + PianoAttributes(100) + AlternatingGroups(200, 200) + "</measure>"}));
  ASSERT_GT(imported.PageCount(), 0);
  const TKVMeasure& measure = *imported.Score->GetPiece(0)->GetPart(0)->GetMeasure(0);
  ASSERT_EQ(measure.Notes().size(), 200u);
  EXPECT_EQ(CheckGroups(imported), 1u);
}

}  // namespace
