// User symbols with their play actions, and lyrics and staff texts with
// their boxes and actions.

#include "score/layout/LayoutFixture.h"


#include "platform/text/FakeMeasurer.h"
#include "score/layout/staff/LyricLayout.h"
#include "score/layout/play/PlayActions.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/UserSymbol.h"

namespace {

class PlayActions : public LayoutTest {
protected:
  PlayActions() {
    MakePiece(1, 1);
    piece->GetPart(0)->SetChannel(2);
    auto* symbol = new TKVUserSymbol;
    symbol->SetSize(100, 40);
    score->UserSymbols().AddObject("sym", symbol);
  }
  // A user symbol with play action Kind.
  TKVMark* Symbol(uint16_t Position, uint8_t Kind, uint16_t First, uint16_t Second, const std::string& Data = "") {
    TKVMark* mark = AddMark(Measure(0, 0), 160, Position, 0);
    mark->SetDynamics(std::make_unique<TKVDynamicsSetting>());
    mark->Dynamics()->SetAction(Kind, First, Second);
    mark->Dynamics()->Text = Data;
    return mark;
  }
};

struct TTempoActionCase {
  int16_t StartTempo, First, Second, Tempo;
};

class TempoAction : public PlayActions, public ::testing::WithParamInterface<TTempoActionCase> {};

// Absolute when the first value is above 0, relative otherwise; never below 1.
TEST_P(TempoAction, SetsOrChangesTheTempo) {
  const TTempoActionCase& c = GetParam();
  piece->SetTempo(uint16_t(c.StartTempo));
  TKVMark* mark = Symbol(128, 2, uint16_t(c.First), uint16_t(c.Second));
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_EQ(r.Tempo, c.Tempo);
  EXPECT_DOUBLE_EQ(r.MsPerTick, 60000.0 / c.Tempo / 128);
  ASSERT_EQ(r.Positions.size(), 1u);
  EXPECT_EQ(r.Positions[0]->Item, mark);
  EXPECT_EQ(r.Positions[0]->Action, PositionAction::TempoChange);
  EXPECT_EQ(r.Positions[0]->Param, uint8_t(c.First));
  EXPECT_EQ(r.Positions[0]->Word, uint16_t(c.Second + 100));
  EXPECT_DOUBLE_EQ(r.Duration, 128 * 60000.0 / c.StartTempo / 128 + 384 * r.MsPerTick);
}

INSTANTIATE_TEST_SUITE_P(Cases, TempoAction,
                         ::testing::Values(TTempoActionCase{60, 1, 90, 90}, TTempoActionCase{60, 0, 30, 90},
                                           TTempoActionCase{20, 0, -30, 1}, TTempoActionCase{60, 1, -5, 1},
                                           TTempoActionCase{30000, 0, 10000, 32767}));

TEST_F(PlayActions, MidiActionsPrepareTheMessageOnThePartsChannel) {
  TKVMark* note = Symbol(0, 3, 1, 0, "90403F");
  TKVMark* plain = Symbol(0, 3, 0, 0, "90403");
  TKVMark* lower = Symbol(0, 3, 0, 0, "b07f");
  Layout();
  EXPECT_EQ(note->MidiBytes, (std::vector<uint8_t>{0x92, 0x40, 0x3F}));
  EXPECT_EQ(plain->MidiBytes, (std::vector<uint8_t>{0x90, 0x40}));
  EXPECT_EQ(lower->MidiBytes, (std::vector<uint8_t>{0xB0, 0x7F}));
  for (auto& entry : Record(0).Positions) EXPECT_EQ(entry->Action, PositionAction::MidiMessage);
}

TEST_F(PlayActions, SymbolsOutsideTheListOrTheMeasureGetNothing) {
  WithoutPages();
  TKVMark* unknown = Symbol(0, 1, 0, 0);
  unknown->SetValue(5);
  Symbol(512, 1, 0, 0);  // at the end: deleted
  TKVMark* jump = Symbol(64, 4, 0, 0);
  TKVMark* dynamic = Symbol(32, 1, 0, 0);
  dynamic->SetOffsetX(10);
  dynamic->SetOffsetY(-20);
  Layout();
  EXPECT_EQ(Measure(0, 0)->GetItemCount(), 3);
  const TKVMeasureRecord& r = Record(0);
  ASSERT_EQ(r.DisplayCount, 4) << "the staff's background, the unknown symbol, the dynamic, the bar-line connector";
  EXPECT_EQ(r.GetDisplay(2)->Bounds, (TKVLayoutRect{-40, -20, 100, 20}));
  EXPECT_EQ(r.PlayMarks, std::vector<TKVItem*>{jump});
  ASSERT_EQ(r.DynamicCount, 1);
  EXPECT_EQ(r.GetDynamic(0)->Item, dynamic);
}

TEST_F(LayoutTest, LyricBoxesAreMeasuredOnceUnlessTurned) {
  MakePiece(1, 1, 0x0404, 2);
  WithoutPages();
  TKVLyric* empty = AddLyric(Measure(0, 0), 33, 0, {});
  empty->SetStaffVoice(0x05);  // voice 5 of a staff with one voice
  TKVLyric* narrow = AddLyric(Measure(0, 0), 33, 0, {u"T", u"i"});
  narrow->SetOffsetX(100);
  TKVLyric* turned = AddLyric(Measure(0, 0), 33, 0, {u"Allegro assai"});
  turned->SetAngle(90);
  Layout();
  const TKVMeasureRecord& r = Record(0);
  ASSERT_EQ(r.LyricDisplays.size(), 3u);
  const int height = text::TFakeMeasurer().TextHeight({"Arial", 64, 0});
  EXPECT_EQ(r.LyricDisplays[0]->Bounds,
            (TKVLayoutRect{-FakeWidth("Empty", 64) / 2, 0, FakeWidth("Empty", 64), height + 24}));
  EXPECT_EQ(empty->StaffVoice(), 0x00);
  EXPECT_EQ(r.LyricDisplays[1]->Bounds, (TKVLayoutRect{100 - 32, 0, 64, 2 * height + 24}));
  EXPECT_EQ(narrow->BoxWidth(), 64);
  // Turned a quarter: width and height change places, the box is not kept.
  const int w = FakeWidth("Allegro assai", 64);
  EXPECT_EQ(r.LyricDisplays[2]->Bounds, (TKVLayoutRect{-w / 2, -w, height + 24, 0}));
  EXPECT_EQ(turned->BoxWidth(), 0);
  EXPECT_EQ(r.LyricDisplays[2]->LyricMarker, 1);
  EXPECT_EQ(r.Positions.size(), 3u);
  EXPECT_EQ(r.PartRecords[0]->StaffRecords[0]->LyricFlag, 1);
  // Laid out again from the kept box.
  narrow->Lines().push_back(u"a much longer line than before");
  Layout();
  EXPECT_EQ(Record(0).LyricDisplays[1]->Bounds.Width, 64);
}

TEST_F(LayoutTest, StaffTextsActThroughTheirOwnRecordOrTheHostsTerms) {
  MakePiece(1, 1);
  TKVLyric* own = AddLyric(Measure(0, 0), 34, 0, {u"fine"});
  own->SetDynamics(std::make_unique<TKVDynamicsSetting>());
  own->Dynamics()->SetAction(4, 0, 0);
  TKVLyric* faster = AddLyric(Measure(0, 0), 34, 256, {u"piu mosso"});
  TKVLyric* again = AddLyric(Measure(0, 0), 34, 384, {u"piu mosso"});
  TKVLyric* silent = AddLyric(Measure(0, 0), 34, 0, {});
  TKVLyric* label = AddLyric(Measure(0, 0), 35, 0, {u"Piano"});
  label->SetOffsetX(500);
  label->SetFlags(1);
  int calls = 0;
  // The host sets Value2 once; the second text finds it still there.
  score->OnGetTerms = [&](TObject*, int32_t, TKVWideList*, int32_t&, int32_t& v2, std::string&) {
    if (++calls == 1) v2 = 30;
    return 2;
  };
  Layout();
  const TKVMeasureRecord& r = Record(0);
  EXPECT_EQ(r.PlayMarks, (std::vector<TKVItem*>{own, faster, again, silent}));
  EXPECT_EQ(calls, 2) << "texts with an action or without lines are not asked about";
  EXPECT_EQ(r.Tempo, 120);
  EXPECT_EQ(r.DisplayCount, 6) << "the staff's background; the part label keeps a record of its own; one bar-line connector";
  ASSERT_EQ(r.TextDisplays.size(), 1u);
  EXPECT_EQ(r.TextDisplays[0]->Bounds.Left, 0);
  EXPECT_EQ(label->DisplayLink, r.TextDisplays[0]);
  Layout();
  EXPECT_EQ(Record(0).OwnTextDisplays.size(), 1u);
}

}  // namespace
