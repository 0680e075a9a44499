// The cursor keys over a corpus file and over built scores: Right and Left
// against a list of stops taken from the measures' items, Home and End,
// Up and Down through voices, staves and staff lines across pages, the page
// keys, the preview's scrolling, and the edge cases of the moves.

#include <algorithm>
#include <set>

#include "ViewFixture.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Voice.h"
#include "support/sketch/ReviewImages.h"

namespace {

using TStop = std::pair<int32_t, int32_t>;  // measure, tick

class ViewKeys : public ViewTest {
protected:
  ViewKeys() { control->SetFocus(); }
  TStop At() { return {view().CursorMeasure(), view().CursorTick()}; }
  // Presses Key until the cursor stops moving; the stops on the way.
  std::vector<TStop> Walk(int Key, window::TShiftState Shift = 0) {
    std::vector<TStop> stops{At()};
    for (int i = 0; i < 5000; ++i) {
      this->Key(Key, Shift);
      if (At() == stops.back()) break;
      stops.push_back(At());
    }
    return stops;
  }
  std::array<int32_t, 5> Place() {
    return {view().ActivePage(), view().CursorPart(), view().CursorStaff(), view().CursorVoice(),
            view().GetCursorStaffLine()};
  }
};

// The stops of voice 0 of staff 0, measure by measure: the start of every
// note and rest in the measure, once each.
std::vector<TStop> StopsOf(const TKVPiece& Piece) {
  std::vector<TStop> stops;
  const TKVPart* part = Piece.GetPart(0);
  for (int32_t m = 0; m < Piece.MeasureRecordCount(); ++m) {
    std::set<int32_t> ticks;
    const TKVMeasure* measure = part->GetMeasure(m);
    for (int32_t i = 0; measure && i < measure->Items().Count(); ++i) {
      const TKVItem* item = measure->Items().Get(i);
      const bool stop = item->Kind() == ItemKind::Note || item->Kind() == ItemKind::Rest;
      if (stop && item->GetVoiceKey()->VoiceNumber == 0 && item->GetVoiceKey()->StaffIndex == 0)
        ticks.insert(ItemPosition(item));
    }
    for (int32_t t : ticks) stops.emplace_back(m, t);
  }
  return stops;
}

class CorpusKeys : public ViewKeys {
protected:
  CorpusKeys() {
    score = LoadLaidOut(std::string(SONARID_CORPUS_DIR) + "/musicxml/01a-Pitches-Pitches.xml");
    view().SetScore(score.get());
    Pump();
  }
  ~CorpusKeys() override { view().SetScore(nullptr), score.reset(); }
  TRealLayout layout;
};

// Right and Left walk the stops in order; Home and End keep to the
// cursor's system, Ctrl takes the whole piece.
TEST_F(CorpusKeys, RightLeftHomeAndEndFollowTheNotesOfTheVoice) {
  ASSERT_GT(score->GetPieceCount(), 0);
  const std::vector<TStop> stops = StopsOf(*score->GetPiece(0));
  ASSERT_GT(stops.size(), 20u);
  view().GotoPosition(0, 0, true, 0);
  EXPECT_EQ(Walk(window::VK_RIGHT), stops);
  std::vector<TStop> back = Walk(window::VK_LEFT);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, stops);
  const int32_t last = stops.back().first;
  view().GotoPosition(0, last / 2, true, 0);
  const TKVSystemRecord* system = view().GetCursorSystem();
  ASSERT_NE(system, nullptr);
  Key(window::VK_HOME);
  EXPECT_EQ(At(), TStop(system->FirstMeasure, 0));
  Key(window::VK_END);
  auto lastIn = [&](int32_t m) {
    return std::find_if(stops.rbegin(), stops.rend(), [&](const TStop& s) { return s.first == m; })->second;
  };
  const int32_t end = system->FirstMeasure + system->MeasureCount - 1;
  EXPECT_EQ(At(), TStop(end, lastIn(end)));
  Key(window::VK_END, window::ssCtrl);
  EXPECT_EQ(At(), TStop(last, lastIn(last)));
  Key(window::VK_HOME, window::ssCtrl);
  EXPECT_EQ(At(), TStop(0, 0));
}

class BuiltKeys : public ViewKeys {
protected:
  // Two staves of two voices each over pages that hold one system.
  TKVPiece* MakePages(int Measures) {
    TKVPiece* piece = MakeScore(Measures, 2);
    for (int s = 0; s < 2; ++s) piece->GetPart(0)->GetStaff(s)->NewVoice();
    const uint16_t second = uint16_t(piece->GetPart(0)->GetStaff(0)->GetVoice(1)->Number());
    for (int m = 0; m < Measures; ++m)
      for (uint16_t at : {0, 256}) AddNote(piece->GetPart(0)->GetMeasure(m), at, 0, second);
    PageOfPixels(900, 330, 30);
    return piece;
  }
};

// Voices, then staves, then the next staff line; from the last staff line
// of a page to the first of the next page, staff 0, voice 0; Up retraces.
TEST_F(BuiltKeys, UpAndDownCrossVoicesStavesAndPages) {
  MakePages(24);
  ASSERT_GE(view().PageCount(), 2);
  ASSERT_EQ(PageRecordAt(0).SystemCount, 1);
  using P = std::array<int32_t, 5>;  // page, part, staff, voice, staff line
  const std::vector<P> down = {{0, 0, 0, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 1, 0, 1}, {0, 0, 1, 1, 1}, {1, 0, 0, 0, 0}};
  std::vector<P> seen{Place()};
  for (size_t i = 1; i < down.size(); ++i) Key(window::VK_DOWN), seen.push_back(Place());
  EXPECT_EQ(seen, down);
  EXPECT_EQ(view().CursorMeasure(), PageRecordAt(1).Systems[0]->FirstMeasure);
  for (size_t i = down.size() - 1; i-- > 0;) {
    Key(window::VK_UP);
    EXPECT_EQ(Place(), down[i]) << i;
  }
  Key(window::VK_UP);
  EXPECT_EQ(Place(), down[0]) << "nothing above the first staff of the first page";
}

// Page Up stays on page 0, Ctrl+Page Down goes to the last page; in the
// preview the arrows scroll 10 pixels, Home and End go to the ends and the
// wheel turns the pages.
TEST_F(BuiltKeys, PageKeysAndThePreview) {
  MakePages(24);
  const int32_t last = view().PageCount() - 1;
  Key(window::VK_PRIOR);
  EXPECT_EQ(view().ActivePage(), 0);
  Key(window::VK_NEXT, window::ssCtrl);
  EXPECT_EQ(view().ActivePage(), last);
  Key(window::VK_PRIOR);
  EXPECT_EQ(view().ActivePage(), last - 1);
  view().SetStyle(wsPreview);
  view().SetZoom(300);
  Key(window::VK_END);
  EXPECT_EQ(std::pair(horz().Position(), vert().Position()),
            std::pair(horz().Max() - horz().PageSize(), vert().Max() - vert().PageSize()));
  Key(window::VK_HOME);
  Key(window::VK_RIGHT);
  Key(window::VK_DOWN);
  Key(window::VK_DOWN);
  EXPECT_EQ(std::pair(horz().Position(), vert().Position()), std::pair(10, 20));
  WheelAt({300, 300}, -120);
  EXPECT_EQ(view().ActivePage(), last);
  WheelAt({300, 300}, 120);
  EXPECT_EQ(view().ActivePage(), last - 1);
}

// In a measure without meter Right stops at its end before the next
// measure; Shift+Left stays in the piece at measure 0, Left goes to the
// previous piece's last measure at its last stop.
TEST_F(BuiltKeys, EndsOfMeasuresAndPieces) {
  TKVPiece* first = MakeScore(2, 1, 5, 0);
  score->BeginUpdate();
  TKVPiece* second = score->NewPiece();
  second->SetMeter(0x0404);
  TKVPart* part = second->NewPart();
  part->NewStaff()->NewVoice();
  for (int m = 0; m < 2; ++m) {
    part->NewMeasure(), second->NewColumn();
    AddNote(part->GetMeasure(m), 0);
  }
  score->EndUpdate();
  Pump();
  ASSERT_EQ(first->Layout().MeasureRecords.at(0)->Meter, 0);
  view().GotoPosition(0, 0, false, 384);
  Key(window::VK_RIGHT);
  EXPECT_EQ(At(), TStop(0, 512));
  Key(window::VK_RIGHT);
  EXPECT_EQ(At(), TStop(1, 0));
  view().GotoPosition(1, 0, false, 0);
  Key(window::VK_LEFT, window::ssShift);
  EXPECT_EQ(std::pair(view().CursorPiece(), At()), std::pair(1, TStop(0, 0)));
  Key(window::VK_LEFT);
  EXPECT_EQ(std::pair(view().CursorPiece(), At()), std::pair(0, TStop(1, 512)));
}

// A renderer that counts the overlay toggles and draws nothing.
struct TOverlayCounter : TKVScoreRenderer {
  int* Toggles;
  explicit TOverlayCounter(int* T) : Toggles(T) {}
  void Paint() override {}
  void ShowCursor(bool) override {}
  void DrawHoverOverlay(bool) override { ++*Toggles; }
  void CalcRuleMarkers() override {}
};

// The voice steps leave the hover overlay alone; the other moves take it
// off and put it back.
TEST_F(BuiltKeys, OnlyVoiceStepsLeaveTheHoverOverlayAlone) {
  int toggles = 0;
  SetScoreRendererFactory([&](TKVWindow&) { return std::make_unique<TOverlayCounter>(&toggles); });
  auto* counted = new TKVViewControl(form);
  SetScoreRendererFactory({});
  counted->SetParent(form);
  counted->SetBounds(0, 0, 800, 600);
  MakePages(4);
  counted->View().SetScore(score.get());
  counted->SetFocus();
  counted->View().GotoPosition(0, 0, false, 0);
  Key(window::VK_DOWN);
  EXPECT_EQ(toggles, 0) << "voice 0 to voice 1";
  Key(window::VK_DOWN);
  EXPECT_EQ(toggles, 2) << "to staff 1";
  Key(window::VK_RIGHT);
  EXPECT_EQ(toggles, 4);
  counted->View().SetScore(nullptr);
  delete counted;
}

}  // namespace
