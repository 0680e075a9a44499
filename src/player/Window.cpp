// The view's life, its score link and its properties.

#include "player/Window.h"

#include <algorithm>

#include "base/Strings.h"
#include "platform/forms/ScrollBar.h"
#include "platform/threads/Clock.h"
#include "player/ClipPlayer.h"
#include "player/PlayThread.h"
#include "player/Rule.h"
#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/DisplayUnits.h"
#include "score/model/Score.h"

TKVWindow::TKVWindow()
    : FScreenResolution(ScreenPixelsPerInch),
      FClock(&TRealClock::Instance()),
      FClipPlayer(&NullClipPlayer()),
      FRule(std::make_unique<TKVRule>(this)) {}

void TKVWindow::LinkScore(TKVScore* Score) {
  if (Score != FScore) {
    ForgetRecords();
    Hit = {};
    FHoverLink = nullptr;
  }
  TKVScoreView::LinkScore(Score);
}

void TKVWindow::SetScore(TKVScore* Value) {
  if (Value == FScore) return;
  if (FScore) FScore->RemoveWindow(this);
  LinkScore(nullptr);
  FScore = Value;
  if (!Value) return;
  Value->AddWindow(this);
  UpdatePageTable();
  AdjustScrollBars();
}

int32_t TKVWindow::PageRecordCount() const {
  auto* store = FScore ? dynamic_cast<const TKVScoreLayoutRecords*>(FScore->LayoutRecords()) : nullptr;
  return store ? std::min(store->PageCount, int32_t(store->Pages.size())) : 0;
}

TKVPageRecord* TKVWindow::PageRecord(int32_t Index) const {
  if (Index < 0 || Index >= PageRecordCount()) return nullptr;
  return static_cast<const TKVScoreLayoutRecords*>(FScore->LayoutRecords())->Pages[size_t(Index)].get();
}

void TKVWindow::UpdatePageTable() {
  ForgetRecords();
  if (!FScore) {
    FPageCount = 0;
    return;
  }
  FPageCount = PageRecordCount();
  if (FPageTable.size() < size_t(FPageCount)) FPageTable.resize(size_t(FPageCount));
  // The page buttons see the pages inside one update bracket, so that their
  // repaints come once at its end.
  struct TUpdate {
    TKVScore& Score;
    explicit TUpdate(TKVScore& S) : Score(S) { Score.BeginUpdate(); }
    ~TUpdate() { Score.EndUpdate(); }
  };
  {
    TUpdate update(*FScore);
    LayoutPageButtons();
    UpdatePageButtons();
  }
  ArrangePages();
  ValidateCursor(true);
}

void TKVWindow::SetDataStyle(TKVDataStyle Value) {
  if (Value == FDataStyle) return;
  FDataStyle = Value;
  InvalidateScore();
}

void TKVWindow::SetTone(int32_t Value) {
  if (Value == FTone) return;
  std::lock_guard lock(FPlayLock);
  FTone = Value;
  if (Playing() && OnPlayShort) OnPlayShort(this, 0xB0, 120, 0, 0, true);
}

// The tempo in force stays: only the speed changes.
void TKVWindow::SetTempoScale(int32_t Percent) {
  Percent = std::max(Percent, 1);
  if (Percent == FTempoScale) return;
  std::lock_guard lock(FPlayLock);
  FTempoScale = Percent;
  if (Playing()) FPlay.MsPerTick = MsPerTick(std::max<uint16_t>(FPlay.Tempo, 1), FTempoScale);
}

void TKVWindow::SetCursorType(TKVCursorType Value) {
  if (Value == FCursorType) return;
  ShowCursor(false);
  FCursorType = Value;
  ShowCursor(true);
}

void TKVWindow::SetCursorColor(uint32_t Value) {
  if (Value == FCursorColor) return;
  ShowCursor(false);
  FCursorColor = Value;
  ShowCursor(true);
}

void TKVWindow::SetButtonsOffset(int32_t Value) {
  if (Value == FButtonsOffset) return;
  FButtonsOffset = Value;
  LayoutPageButtons();
  UpdatePageButtons();
}

void TKVWindow::SetVertOffset(int32_t Value) {
  if (Value == FVertOffset) return;
  FVertOffset = Value;
  if (forms::TScrollBar* bar = VertScrollBar()) {
    bar->SetTop(Value);
    bar->SetHeight(FControl->ClientHeight() - HorzScrollBar()->Height() - Value);
  }
  AdjustScrollBars();
  if (HasWindow()) InvalidateClient(GetClientAreaRect(), true);
}

void TKVWindow::SetCursorLevel(int32_t Value) {
  if (FScore) {
    const int32_t levels = FScore->GetMaxStaffRange();
    if (Value >= 255)
      Value = levels - 1;
    else if (Value >= levels)
      Value = 0;
  }
  const auto level = uint8_t(std::clamp(Value, 0, 255));
  if (level == FCursorLevel) return;
  FCursorLevel = level;
  SetHint(IntToStr(level));
}

void TKVWindow::CursorChanged(TObject* Voice) {
  if (FDataStyle == dsActiveVoice) InvalidateScore();
  if (OnActiveChanged) OnActiveChanged(Voice);
}

void TKVWindow::DoStopPlay() {
  PlayEnded = 1;
  if (OnStopPlay) OnStopPlay(this);
}

int32_t TKVWindow::ScaleSize(int32_t Value) const {
  return int32_t(int64_t(Value) * FZoom * FScreenResolution / 9600);
}

int32_t TKVWindow::PixelsToScore(int32_t Value) const {
  return int32_t(int64_t(Value) * 76800 / FZoom / FScreenResolution);
}

int32_t TKVWindow::ScoreToPixels(int32_t Value) const {
  return int32_t(int64_t(Value) * FZoom * FScreenResolution / 9600 / 8);
}

const TKVWindow::TKVSelectionGroup* TKVWindow::FindSelected(const TKVPiece* Piece) const {
  for (const TKVSelectionGroup& group : SelectionGroups)
    if (group.Piece == Piece) return &group;
  return nullptr;
}

void TKVWindow::ClearSelection() {
  SelectedRecords.clear();
  SelectionGroups.clear();
  EditedText = nullptr;
}

void TKVWindow::ForgetRecords() {
  ClearSelection();
  FocusedRecord = DragRecord = nullptr;
  AnchorRecord = nullptr;
}
