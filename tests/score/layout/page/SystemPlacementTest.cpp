// The room rules of the system placement that tell rests, hidden records
// and bar lines apart, each a worked example on one 4/4 measure (512 ticks)
// with plain spacing: every record asks for 2 pixels before and 4 after its
// tick; at alignment 60 a duration of d ticks asks for at least (60 - 49) x f
// after it, f = 1, 2, 4 ... 32 for d up to 16, 32, 64 ... ticks and more.
// Before spacing, a tick's table entry holds the room after it in its high
// half.

#include "score/layout/LayoutFixture.h"

#include <functional>

#include "score/layout/page/PageComposer.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"

namespace {

class SystemPlacement : public LayoutTest {
protected:
  // Lays the measure out, gives every record the room (2, 4) and places it
  // at Alignment, with the staff shown or not; Prepare may change the
  // records first.
  TKVMeasureRecord& Place(uint8_t Alignment, bool StaffShown = true,
                          const std::function<void(TKVMeasureRecord&)>& Prepare = {}) {
    Layout();
    TKVMeasureRecord& record = Record(0);
    record.Spaced = 0;
    for (int32_t i = 0; i < record.DisplayCount; ++i)
      std::tie(record.GetDisplay(i)->LeftSpace, record.GetDisplay(i)->RightSpace) = std::pair(2, 4);
    if (Prepare) Prepare(record);
    ctx = std::make_unique<TKVComposerContext>(*score, Service().Steps());
    std::tie(ctx->Piece, ctx->SystemStart, ctx->Alignment) = std::tuple(piece, 1, Alignment);
    ctx->StaffShown = {uint8_t(StaffShown)};
    PlaceSystems(*ctx);
    return record;
  }
  static uint32_t After(const TKVMeasureRecord& Record, int Tick) { return Record.TickTable.at(size_t(Tick)) >> 16; }

  std::unique_ptr<TKVComposerContext> ctx;
};

struct TRestCase {
  const char* Name;
  uint16_t Position, Value, Duration;
  uint8_t Flags;      // the rest's flag byte (bit 7: a filler)
  bool SecondVoice;   // a note of a second voice on the staff
  uint32_t After;     // room after the rest's tick
};
void PrintTo(const TRestCase& c, std::ostream* os) { *os << c.Name; }

class RestSpacing : public SystemPlacement, public testing::WithParamInterface<TRestCase> {};

TEST_P(RestSpacing, FollowsTheRules) {
  const TRestCase& c = GetParam();
  MakePiece(1, 1);
  TKVPause* rest = AddRest(Measure(0, 0), c.Position, c.Value);
  rest->SetDuration(c.Duration);
  rest->SetFlags(c.Flags);
  if (c.SecondVoice) {
    AddNote(Measure(0, 0), 448, 0x50, 64, 0x01);
    Measure(0, 0)->UpdateVoiceLayout(-1, false);
  }
  EXPECT_EQ(After(Place(60), c.Position), c.After);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, RestSpacing,
    testing::Values(
        // 64 ticks: f = 4, 11 x 4 = 44 > 4.
        TRestCase{"AQuarterRestTakesItsLeastRoom", 0, 64, 64, 0, false, 44},
        TRestCase{"AFillerRestOnlyItsOwn", 0, 64, 64, 0x80, false, 4},
        // Its position's low byte is 0x80, which is no flag.
        TRestCase{"ARestAtTick128TakesItsLeastRoomToo", 128, 64, 64, 0, false, 44},
        // Value 512 = the measure, 300 ticks on a one-voice staff: f = 1,
        // 11 > 4; beside a second voice f = 32, 352.
        TRestCase{"AMeasureLongRestCountsAsTheShortest", 0, 512, 300, 0, false, 11},
        TRestCase{"NotBesideASecondVoice", 0, 512, 300, 0, true, 352},
        // Ending 2 ticks before the measure's end: no least room.
        TRestCase{"NoneNearTheEnd", 0, 512, 510, 0, false, 4}),
    [](const auto& info) { return std::string(info.param.Name); });

// A rest on a staff the system hides, and a record the layout hides, take
// no room at all; the same rest and note shown do.
TEST_F(SystemPlacement, HiddenStavesAndRecordsTakeNoRoom) {
  MakePiece(1, 1);
  AddRest(Measure(0, 0), 64, 64);
  AddNote(Measure(0, 0), 128, 0x50, 64);
  EXPECT_EQ(Place(30, false).TickTable.at(64), 0u);
  EXPECT_EQ(Place(30, true).TickTable.at(64), 2u | 4u << 16);
  EXPECT_EQ(Place(30).TickTable.at(128), 2u | 4u << 16);
  TKVMeasureRecord& hidden = Place(30, true, [](TKVMeasureRecord& r) {
    for (int32_t i = 0; i < r.DisplayCount; ++i) r.GetDisplay(i)->Hidden = 1;
  });
  EXPECT_EQ(hidden.TickTable.at(64), 0u);
  EXPECT_EQ(hidden.TickTable.at(128), 0u);
}

// A bar line inside the measure stands after the nearest earlier tick that
// holds room (notes at 0 and 256 here), or at its own tick without one.
TEST_F(SystemPlacement, ABarLineIsAnchoredToTheTickBeforeIt) {
  MakePiece(1, 1);
  AddNote(Measure(0, 0), 100, 0x50, 64);
  AddNote(Measure(0, 0), 256, 0x52, 64);
  const std::pair<uint16_t, uint16_t> bars[] = {{300, 256}, {200, 100}, {256, 100}, {60, 60}};
  std::vector<TKVMark*> marks;
  for (auto [tick, anchor] : bars) marks.push_back(AddMark(Column(0), ItemKind::BarLine, tick));
  TKVMeasureRecord& record = Place(30);
  for (size_t b = 0; b < marks.size(); ++b) {
    int records = 0;
    for (int32_t i = 0; i < record.DisplayCount; ++i)
      if (record.GetDisplay(i)->Item == marks[b]) {
        ++records;
        EXPECT_EQ(record.GetDisplay(i)->AnchorTick, bars[b].second) << bars[b].first;
      }
    EXPECT_GE(records, 1);
  }
}

}  // namespace
