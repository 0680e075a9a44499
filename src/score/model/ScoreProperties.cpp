// The score's property writers: each does nothing when the value is equal,
// otherwise stores it and lays out, repaints and notifies as the property
// needs.

#include "score/model/Score.h"
#include "score/model/ScoreView.h"

namespace {

// Stores Value in Field; false when it was already equal.
template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void TKVScore::LayoutChanged(bool changed) {
  Reformat(0);
  InvalidateViews();
  if (changed) Changed();
}

void TKVScore::SetScale(int32_t Value) {
  if (Value == Scale()) return;
  FSettings.SetScale(Value);
  LayoutChanged(true);
}

void TKVScore::SetOptimization(bool Value) { FSettings.SetOptimization(Value); }

void TKVScore::SetNoteInterval(int32_t Value) {
  if (Value == NoteInterval()) return;
  FSettings.SetNoteInterval(Value);
  LayoutChanged(false);
}

void TKVScore::SetStemLength(int32_t Value) { FSettings.SetStemLength(Value); }

void TKVScore::SetViewStyle(TKVViewStyle Value) {
  if (Value == ViewStyle()) return;
  FSettings.SetViewStyle(Value);
  LayoutChanged(false);
  if (TKVScoreView* view = GetActiveWindow()) {
    view->ScrollToCursor(-1, false);
    view->ShowCursor(false);
    view->ValidateCursor(false);
    view->ShowCursor(true);
    view->UpdateRuleMarkers();
    view->UpdatePageButtons();
    view->CursorChanged(ActiveVoiceObject());
  }
  Changed();
}

void TKVScore::SetAlign(uint8_t Value) {
  if (Value == Align()) return;
  FSettings.SetAlign(Value);
  if (!FLoading) LayoutChanged(true);
}

void TKVScore::SetAutoJoin(uint8_t Value) {
  if (Value == AutoJoin()) return;
  FSettings.SetAutoJoin(Value);
  Changed();
}

void TKVScore::SetAutoLyric(bool Value) {
  if (Store(FAutoLyric, Value)) LayoutChanged(true);
}

void TKVScore::SetPages(bool Value) {
  if (Store(FPages, Value)) LayoutChanged(false);
}

void TKVScore::SetFrameOrientation(TKVFrameOrientation Value) {
  if (Store(FFrameOrientation, Value)) LayoutChanged(false);
}

void TKVScore::SetTabulatureStyle(TKVTabulatureStyle Value) {
  if (Store(FTabulatureStyle, Value)) LayoutChanged(false);
}

void TKVScore::SetNoteNames(const std::string& Value) {
  if (Store(FNoteNames, Value)) InvalidateViews();
}

void TKVScore::SetFlazholetName(const std::string& Value) {
  if (Store(FFlazholetName, Value)) InvalidateViews();
}

void TKVScore::SetInsertName(const std::string& Value) {
  if (Store(FInsertName, Value)) InvalidateModeIndicator();
}

void TKVScore::SetOverwriteName(const std::string& Value) {
  if (Store(FOverwriteName, Value)) InvalidateModeIndicator();
}

void TKVScore::SetAddState(TKVAddState Value) {
  if (Store(FAddState, Value)) InvalidateModeIndicator();
}
