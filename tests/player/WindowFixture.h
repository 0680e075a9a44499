#pragma once
// A player view on a score that the real layout formats: pieces of one
// part, marks and notes made by the item factory.

#include <gtest/gtest.h>

#include <memory>

#include "player/Window.h"
#include "score/layout/ScoreLayout.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

class WindowTest : public ::testing::Test {
protected:
  WindowTest() {
    RegisterScoreLayout();
    score = std::make_unique<TKVScore>();
    view.SetScore(score.get());
  }
  ~WindowTest() override {
    score.reset();
    SetLayoutServiceFactory({});
  }

  TKVPiece* AddPiece(int Measures, uint16_t Tempo = 120, bool Separate = false, uint16_t Meter = 0x0404) {
    score->BeginUpdate();
    TKVPiece* piece = score->NewPiece();
    piece->SetMeter(Meter);
    piece->SetTempo(Tempo);
    piece->SetSeparate(Separate);
    TKVPart* part = piece->NewPart();
    part->NewStaff()->NewVoice();
    for (int m = 0; m < Measures; ++m) part->NewMeasure(), piece->NewColumn();
    score->EndUpdate();
    return piece;
  }
  template <class T = TKVMark>
  static T* Add(TObject* Owner, uint8_t Kind, uint16_t Position, uint16_t Value = 0, uint8_t Variant = 0) {
    auto* item = static_cast<T*>(CreateItemByKind(Kind, Owner));
    item->SetPosition(Position);
    if constexpr (std::is_same_v<T, TKVMark>) item->SetValue(Value), item->SetVariant(Variant);
    return item;
  }
  static TKVMeasureRecord& Record(TKVPiece* Piece, int Index) { return *Piece->Layout().MeasureRecords.at(size_t(Index)); }
  void SetCursor(int32_t Piece, int32_t Measure, int32_t Tick) { view.GotoPosition(Piece, Measure, false, Tick); }
  // Page records of piece 0 starting at FirstMeasures (the list only grows).
  void SetPages(std::vector<uint16_t> FirstMeasures) {
    TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
    while (store.Pages.size() < FirstMeasures.size()) store.Pages.push_back(std::make_unique<TKVPageRecord>());
    for (size_t i = 0; i < FirstMeasures.size(); ++i) store.Pages[i]->FirstMeasure = FirstMeasures[i];
    store.PageCount = int32_t(FirstMeasures.size());
    view.UpdatePageTable();
  }

  std::unique_ptr<TKVScore> score;
  TKVWindow view;
};
