// The player view's state: answers without a score, the
// writers that act while playing, the stored view state, the cursor and its
// moves, and the arrangement of the pages.

#include "WindowFixture.h"

#include <array>
#include <vector>

#include "base/Streams.h"
#include "score/model/Note.h"

namespace {

class TPlayingWindow : public TKVWindow {
public:
  using TKVWindow::SetPlaying;
};

TEST(Window, WithoutScoreEveryQueryAnswersNothing) {
  TKVWindow view;
  view.SetStyle(wsRealTime);
  view.SeekTime(100);
  view.GotoEnd();
  EXPECT_EQ(view.GetCursorTime() + view.GetTotalTime() + view.GetPositionTime(0, 0, 10), 0);
  EXPECT_EQ(view.GetCursorTempo(), 60);
  EXPECT_EQ(view.SnapTick(100) + view.GetClefShift(-1, -1, -1, -1) + view.GetCursorStaffLine() +
                view.GetCursorLineEntry() + view.GetCursorSystemNumber(),
            0);
  EXPECT_TRUE(!view.GetCursorPiece() && !view.GetCursorVoice() && !view.GetCursorMeasure());
}

// A Tone change while playing silences channel 1 once; the tempo scale
// changes the speed of the tempo in force and never reaches 0.
TEST(Window, ToneAndTempoScaleActOnAPlayingView) {
  TPlayingWindow view;
  std::vector<std::array<int, 5>> sent;
  view.OnPlayShort = [&](TObject*, uint8_t status, uint8_t data1, uint8_t data2, int32_t vst, bool show) {
    sent.push_back({status, data1, data2, vst, show});
  };
  view.SetTone(2);
  EXPECT_TRUE(sent.empty());
  view.SetPlaying(true);
  view.PlayState().Tempo = 90;
  view.SetTone(2);
  view.SetTone(-3);
  EXPECT_EQ(sent, (std::vector<std::array<int, 5>>{{0xB0, 120, 0, 0, 1}}));
  view.SetTempoScale(50);
  EXPECT_DOUBLE_EQ(view.PlayState().MsPerTick, 6000000.0 / 90 / 128 / 50);
  view.SetTempoScale(-7);
  EXPECT_EQ(view.TempoScale(), 1);
}

// The view divides by both.
TEST(Window, StoredZoomAndTempoScaleStayUsable) {
  TKVWindow view;
  TMemoryStream stream;
  for (int32_t value : {0, -5, 5000}) stream.WriteI32(value);
  stream.Seek(0, TSeekOrigin::soBeginning);
  view.ReadZoom(stream);
  view.ReadTempoScale(stream);
  EXPECT_EQ(view.Zoom(), MinZoom);
  EXPECT_EQ(view.TempoScale(), 1);
  view.ReadZoom(stream);
  EXPECT_EQ(view.Zoom(), MaxZoom);
}

// The tempo walk starts at the play of the cursor measure: after the
// repeat of measures 0-1 that is play 4 for measure 2, not play 2.
TEST_F(WindowTest, CursorTempoComesFromTheCursorMeasuresPlay) {
  TKVPiece* piece = AddPiece(3, 70);
  Add(piece->GetColumn(1), 156, 512);
  TKVMark* mark = Add(piece->GetColumn(2), ItemKind::TempoMark, 0, 60, 2);
  mark->SetFlags(0x10);
  score->Reformat(0);
  SetCursor(0, 1, 0);
  EXPECT_EQ(view.GetCursorTempo(), 70);
  SetCursor(0, 2, 0);
  EXPECT_EQ(view.GetCursorTempo(), 90) << "dotted quarter 60";
  mark->SetFlags(0);
  mark->SetVariant(3);
  score->Reformat(0);
  EXPECT_EQ(view.GetCursorTempo(), 30);
}

TEST_F(WindowTest, CursorLevelAndLineStayInTheirRanges) {
  TKVPiece* piece = AddPiece(1);
  piece->GetPart(0)->GetStaff(0)->SetRange(4);
  view.SetCursorLevel(255);
  EXPECT_EQ(view.CursorLevel(), 3);
  EXPECT_EQ(view.Hint(), "3");
  view.SetCursorLevel(7);
  EXPECT_EQ(view.CursorLevel(), 0);
  view.SetCursorLine(100);
  EXPECT_EQ(view.CursorLine(), 89);
  view.SetCursorLine(-4);
  EXPECT_EQ(view.CursorLine(), 37);
}

// Notes at 0 and 256: 10000 snaps to 256, or to the end of a measure
// without meter; a tie goes to the earlier candidate.
TEST_F(WindowTest, SnapTickTakesTheNearestCandidate) {
  for (uint16_t meter : {0x0404, 0}) {
    TKVPiece* piece = AddPiece(1, 120, false, meter);
    for (uint16_t at : {0, 256}) Add<TKVNote>(piece->GetPart(0)->GetMeasure(0), ItemKind::Note, at)->SetDuration(256);
    score->Reformat(0);
    SetCursor(piece->GetIndex(), 0, 0);
    EXPECT_EQ(view.SnapTick(10000), meter ? 256 : 512) << meter;
    EXPECT_EQ(view.SnapTick(128), 0);
  }
}

// Start and end are those of the plain pieces unless the cursor is in a
// separate piece; an index out of range is clamped.
TEST_F(WindowTest, GotoStartAndEndKeepToPlainPiecesOrTheSeparateOne) {
  AddPiece(1, 120, true);
  AddPiece(2);
  AddPiece(3);
  AddPiece(2, 120, true);
  SetCursor(1, 1, 0);
  auto at = [&] { return std::array<int32_t, 3>{view.CursorPiece(), view.CursorMeasure(), view.CursorTick()}; };
  view.GotoEnd();
  EXPECT_EQ(at(), (std::array<int32_t, 3>{2, 2, 0}));
  view.GotoStart();
  EXPECT_EQ(at(), (std::array<int32_t, 3>{1, 0, 0}));
  view.GotoPosition(9, 7, false, 9999);
  EXPECT_EQ(at(), (std::array<int32_t, 3>{3, 1, 0}));
  view.GotoStart();
  EXPECT_EQ(at(), (std::array<int32_t, 3>{3, 0, 0}));
}

// Seven pages three to a row; eight pages of a book in the preview as
// folded sheets [3 | 0] [1 | 2] [7 | 4] [5 | 6], all rows at the top. The
// table never shrinks, and leaving the score keeps it.
TEST_F(WindowTest, PagesFillRowsOrFoldedSheets) {
  view.SetPagePerHorz(3);
  SetPages(std::vector<uint16_t>(7));
  int32_t w = view.GetPageSize().Right, h = view.GetPageSize().Bottom;
  EXPECT_EQ(view.PageRows(), 3);
  EXPECT_EQ(view.PageRect(5), (TKVPageRect{2 * w, h, 3 * w, 2 * h}));
  EXPECT_EQ(view.PageRect(6), (TKVPageRect{0, 2 * h, w, 3 * h}));
  view.SetStyle(wsPreview);
  score->Page().SetBook(true);
  view.SetPagePerHorz(1);
  SetPages(std::vector<uint16_t>(8));
  EXPECT_EQ(view.GetPageSize().Right, w / 2);
  w = view.GetPageSize().Right;
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(view.PageRect(i), (TKVPageRect{w * (i % 2 == 0), 0, w * (i % 2 == 0) + w, h})) << i;
  SetPages({0, 0, 0});
  view.SetScore(nullptr);
  EXPECT_EQ(score->GetWindowCount(), 0);
  EXPECT_EQ(view.PageCount(), 3);
}

// The cursor shows the last page that starts at or before it, or the page
// a separate piece keeps.
TEST_F(WindowTest, ValidateCursorShowsThePageOfTheCursorMeasure) {
  AddPiece(4);
  AddPiece(1, 120, true);
  SetPages({0, 2});
  for (auto [piece, measure, page] : {std::array{0, 1, 0}, {0, 3, 1}, {1, 0, 0}}) {
    SetCursor(piece, measure, 0);
    EXPECT_EQ(view.ActivePage(), page) << piece << measure;
  }
}

}  // namespace
