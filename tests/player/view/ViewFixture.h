#pragma once
// A visible score view on the headless window host: a form with the view's
// control filling it (800 x 600), input injected through the host at the
// control's client points and delivered by the window system, and scores
// laid out by the real layout with the fake text measurer.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms/ScrollBar.h"
#include "player/Rule.h"
#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "score/layout/ScoreLayout.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "support/forms/FormsTestSupport.h"

class ViewTest : public forms::test::FormsTest {
protected:
  ViewTest() {
    RegisterScoreLayout();
    form = MakeForm();
    form->SetBounds(100, 100, 800, 600);
    control = new TKVViewControl(form);
    control->SetParent(form);
    control->SetBounds(0, 0, 800, 600);
    Pump();
  }
  ~ViewTest() override {
    view().SetScore(nullptr);
    score.reset();
    SetLayoutServiceFactory({});
  }

  TKVWindow& view() { return control->View(); }
  forms::TScrollBar& horz() { return control->HorzScrollBar(); }
  forms::TScrollBar& vert() { return control->VertScrollBar(); }

  // A score of one piece: Staves staves of Lines lines in one part, each
  // measure filled with quarter notes of voice 0 on every staff.
  TKVPiece* MakeScore(int Measures, int Staves = 1, int Lines = 5, uint16_t Meter = 0x0404) {
    score = std::make_unique<TKVScore>();
    score->BeginUpdate();
    TKVPiece* piece = score->NewPiece();
    piece->SetMeter(Meter);
    TKVPart* part = piece->NewPart();
    for (int s = 0; s < Staves; ++s) {
      TKVStaff* staff = part->NewStaff();
      staff->NewVoice();
      staff->Data().setU8(StaffBlock::LineCount, uint8_t(Lines));
    }
    for (int m = 0; m < Measures; ++m) {
      TKVMeasure* measure = part->NewMeasure();
      piece->NewColumn();
      for (int s = 0; s < Staves; ++s)
        for (uint16_t at = 0; at < 512; at += 128) AddNote(measure, at, uint8_t(s));
    }
    score->EndUpdate();
    view().SetScore(score.get());
    Pump();
    return piece;
  }
  static TKVNote* AddNote(TKVMeasure* Measure, uint16_t At, uint8_t Staff = 0, uint16_t Voice = 0) {
    auto* note = static_cast<TKVNote*>(CreateItemByKind(ItemKind::Note, Measure));
    note->SetPosition(At);
    note->SetDuration(128);
    note->VoiceKey().StaffIndex = Staff;
    note->VoiceKey().VoiceNumber = Voice;
    return note;
  }
  // Pages of Width x Height pixels at zoom 100, the music Top pixels down.
  void PageOfPixels(long double Width, long double Height, long double Top = 40) {
    TKVPage& page = score->Page();
    page.SetPaperSize(TKVPaperSize::Custom);
    page.PushMetrix(rmPixels);
    page.SetWidth(Width);
    page.SetHeight(Height);
    page.SetTopMargin(Top);
    page.PopMetrix();
    score->Reformat(0);
    Pump();
  }
  TKVScoreLayoutRecords& Store() { return ScoreLayoutRecords(*score); }
  TKVPageRecord& PageRecordAt(int Index) { return *Store().Pages.at(size_t(Index)); }

  // Input at client points of the view's control.
  canvas::TPoint Screen(canvas::TPoint P) const { return control->ClientToScreen(P); }
  void Move(canvas::TPoint P) { MoveTo(control, P); }
  void Press(canvas::TPoint P, window::TMouseButton Button = window::mbLeft, window::TShiftState Shift = 0) {
    Host->SetModifiers(Shift);
    Move(P);
    Host->PressButton(Button);
    Pump();
  }
  void Release(window::TMouseButton Button = window::mbLeft) {
    Host->ReleaseButton(Button);
    Host->SetModifiers(0);
    Pump();
  }
  void ClickAt(canvas::TPoint P, window::TMouseButton Button = window::mbLeft, window::TShiftState Shift = 0) {
    Press(P, Button, Shift);
    Release(Button);
  }
  void WheelAt(canvas::TPoint P, int Delta, window::TShiftState Shift = 0) {
    Host->SetModifiers(Shift);
    Move(P);
    Host->Wheel(Delta);
    Pump();
    Host->SetModifiers(0);
  }
  // The rectangles the window repaints from now on, in its pixels.
  std::vector<window::TRect>& WatchPaints() {
    form->WindowHook = [this](window::TMessage& Msg) {
      if (Msg.Kind == window::TMessageKind::Paint) Paints.push_back(Msg.UpdateRect);
      return false;
    };
    Paints.clear();
    return Paints;
  }

  forms::TForm* form = nullptr;
  TKVViewControl* control = nullptr;
  std::unique_ptr<TKVScore> score;
  std::vector<window::TRect> Paints;
};
