// Chord symbols (kind 31) and chord frames (kind 36) of the item pass. A
// chord symbol's pieces follow each other left to right, each from the end
// of the piece it is anchored to and on its own level; the layout writes
// where each piece stands into the piece for the renderer.

#include <algorithm>

#include "score/layout/staff/ItemMarks.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

namespace {

// The common start of both kinds: removal past the measure's end, the
// staff, and the record with the item's size; nil when removed.
template <class T>
TKVDisplayItem* StartChordItem(TKVFormatContext& Ctx, T& Item, uint16_t Position, uint8_t Size) {
  if (Position >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Item);
    return nullptr;
  }
  if ((Item.StaffVoice() >> 4) >= Ctx.Part->GetStaffCount()) Item.SetStaffVoice(0);
  Ctx.Staff = Ctx.Part->GetStaff(Item.StaffVoice() >> 4);
  Item.RuntimeStaff = uint8_t(Item.StaffVoice() >> 4);
  Item.DisplayLink = nullptr;
  TKVDisplayItem& R = AddDisplayItem(Ctx, &Item, true);
  ApplyItemSize(R, Size);
  return &R;
}

void PlaceBox(TKVFormatContext& Ctx, TKVDisplayItem& R, int32_t W, int32_t Top, int32_t Bottom, int16_t OffsetX,
              int16_t OffsetY) {
  R.Bounds = ScaleLayoutRect(Ctx, -(W / 2), Top - 48, W, Bottom - 48, R.SizePercent);
  ApplyItemOffsets(Ctx, R.Bounds, OffsetX, OffsetY);
}

}  // namespace

void LayoutChordSymbol(TKVFormatContext& Ctx, TKVChord& Chord) {
  TKVDisplayItem* R = StartChordItem(Ctx, Chord, Chord.Position(), Chord.SizePercent());
  if (!R) return;
  TKVLayoutCanvas& canvas = Ctx.Canvas;
  canvas.Font.Name = TextFontName(Ctx.Score, 10, Chord.Text());
  canvas.Font.Size = Chord.FontSize() ? Chord.FontSize() * 8 : 64;
  int32_t x = 0, width = 0, top = 0, bottom = 0;
  TKVChordEntryList& pieces = Chord.Entries();
  for (int32_t i = 0; i < pieces.Count(); ++i) {
    TByteBlock& piece = pieces.Get(i)->Record;
    const uint8_t anchor = piece.u8(ChordBlock::EntryAnchor);
    if (anchor < i) x = pieces.Get(anchor)->Record.i16(ChordBlock::EntryEndX);
    canvas.Font.Style = uint8_t(Chord.FontStyle() | piece.u8(ChordBlock::EntryStyle));
    piece.setI16(ChordBlock::EntryStartX, int16_t(x));
    x = std::clamp(x + canvas.TextWidth(pieces.Get(i)->Text), -32768, 32767);
    piece.setI16(ChordBlock::EntryEndX, int16_t(x));
    width = std::max(width, x);
    const int32_t y = piece.i16(ChordBlock::EntryLevel) * 32;
    top = std::min(top, y);
    bottom = std::max(bottom, y + canvas.TextHeight());
  }
  for (int32_t i = 0; i < pieces.Count(); ++i) {
    TByteBlock& piece = pieces.Get(i)->Record;
    piece.setI16(ChordBlock::EntryY, int16_t(std::clamp(piece.i16(ChordBlock::EntryLevel) * 32 - top, -32768, 32767)));
  }
  canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  PlaceBox(Ctx, *R, width, top, bottom, Chord.OffsetX(), Chord.OffsetY());
}

void LayoutChordFrame(TKVFormatContext& Ctx, TKVFrame& Frame) {
  TKVDisplayItem* R = StartChordItem(Ctx, Frame, Frame.Position(), Frame.SizePercent());
  if (!R) return;
  TKVLayoutCanvas& canvas = Ctx.Canvas;
  canvas.Font = {TextFontName(Ctx.Score, 12, Frame.Text()), 8, Frame.FontStyle()};
  const int32_t columns = Frame.EntryCount(), rows = Frame.ValueCount();
  const bool numeral = Frame.Numeral(), upright = Ctx.Score.FrameOrientation() == foTop;
  int32_t w, h;
  if (upright) {
    w = numeral ? (canvas.TextWidth(IntToRoman(columns + 1)) + columns * 6) * 8 : columns * 48;
    h = (rows * 6 + (numeral ? 10 : 12)) * 8;
  } else {
    w = (rows * 6 + (numeral ? 10 : 12)) * 8;
    h = numeral ? (canvas.TextHeight() + columns * 6) * 8 : columns * 48;
  }
  canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  PlaceBox(Ctx, *R, w, 0, h, Frame.OffsetX(), Frame.OffsetY());
}
