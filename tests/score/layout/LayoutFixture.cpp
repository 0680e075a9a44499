#include "LayoutFixture.h"

#include "base/Strings.h"
#include "platform/musicfont/MusicFont.h"
#include "platform/text/FakeMeasurer.h"
#include "score/layout/measure/MeasureSetup.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Staff.h"
#include "support/LayoutDump.h"

LayoutTest::LayoutTest() {
  text::InstallMeasurer(nullptr);
  musicfont::InstallMusicFont(nullptr);
  RegisterScoreLayout();
  score = std::make_unique<TKVScore>();
}

LayoutTest::~LayoutTest() {
  score.reset();
  SetLayoutServiceFactory({});
}

TKVPiece* LayoutTest::MakePiece(int Parts, int Columns, uint16_t Meter, int Staves) {
  score->BeginUpdate();
  piece = score->NewPiece();
  piece->SetMeter(Meter);
  for (int p = 0; p < Parts; ++p) {
    TKVPart* part = piece->NewPart();
    for (int s = 0; s < Staves; ++s) part->NewStaff()->NewVoice();
    for (int m = 0; m < Columns; ++m) part->NewMeasure();
  }
  for (int c = 0; c < Columns; ++c) piece->NewColumn();
  score->EndUpdate();
  return piece;
}

TKVMeasure* LayoutTest::Measure(int Part, int Column) { return piece->GetPart(Part)->GetMeasure(Column); }
TKVColumn* LayoutTest::Column(int Index) { return piece->GetColumn(Index); }

TKVMark* LayoutTest::AddMark(TObject* Owner, uint8_t Kind, uint16_t Position, uint16_t Value, uint8_t Variant) {
  auto* mark = static_cast<TKVMark*>(CreateItemByKind(Kind, Owner));
  mark->SetPosition(Position);
  mark->SetValue(Value);
  mark->SetVariant(Variant);
  return mark;
}

TKVNote* LayoutTest::AddNote(TObject* Owner, uint16_t Position, uint8_t Pitch, uint16_t Value, uint8_t StaffVoice) {
  auto* note = static_cast<TKVNote*>(CreateItemByKind(20, Owner));
  note->SetPosition(Position);
  note->SetPitch(Pitch);
  note->SetValue(Value);
  note->SetDuration(Value);
  note->SetStaffVoice(StaffVoice);
  return note;
}

TKVPause* LayoutTest::AddRest(TObject* Owner, uint16_t Position, uint16_t Value, uint8_t StaffVoice) {
  auto* rest = static_cast<TKVPause*>(CreateItemByKind(21, Owner));
  rest->SetPosition(Position);
  rest->SetValue(Value);
  rest->SetDuration(Value);
  rest->SetStaffVoice(StaffVoice);
  return rest;
}

TKVLyric* LayoutTest::AddLyric(TObject* Owner, uint8_t Kind, uint16_t Position,
                               std::initializer_list<std::u16string> Lines) {
  auto* lyric = static_cast<TKVLyric*>(CreateItemByKind(Kind, Owner));
  lyric->SetPosition(Position);
  lyric->Lines().assign(Lines.begin(), Lines.end());
  return lyric;
}

void LayoutTest::WithoutPages() {
  Service().Steps().PaginatePages = [](TKVScore& Score, int32_t) { Score.SetFirstDirtyPage(-1); };
  TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
  for (int32_t i = 0; i < score->GetPieceCount(); ++i)
    for (auto& record : score->GetPiece(i)->Layout().MeasureRecords) record->System = nullptr;
  store.Pages.clear();
  store.PageCount = 0;
}

void LayoutTest::AddPage(uint16_t FirstMeasure) {
  TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
  store.Pages.push_back(std::make_unique<TKVPageRecord>());
  store.Pages.back()->FirstMeasure = FirstMeasure;
  store.PageCount = int32_t(store.Pages.size());
}

TKVMeasureRecord& LayoutTest::Record(int Index) { return *piece->Layout().MeasureRecords.at(size_t(Index)); }

std::string LayoutTest::Dump() { return DumpMeasureRecords(piece->Layout(), piece->Layout().MeasureRecordCount); }

std::unique_ptr<TKVFormatContext> LayoutTest::Context(int Index, int Part) {
  auto ctx = std::make_unique<TKVFormatContext>(*score, *piece, Index);
  CollectStaves(*ctx);
  CalcMeasureLengths(*ctx);
  ctx->Part = piece->GetPart(Part);
  ctx->Measure = ctx->Part ? ctx->Part->GetMeasure(Index) : nullptr;
  ctx->Staff = ctx->Part ? ctx->Part->GetStaff(0) : nullptr;
  return ctx;
}

int LayoutTest::FakeWidth(const std::string& Text, int Size) {
  int em = text::PixelEm(Size), w = 0;
  for (unsigned char c : Text) w += MulDiv(em, text::TFakeMeasurer::AdvanceMilli(c), 1000);
  return w;
}
