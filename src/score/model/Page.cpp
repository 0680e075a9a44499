#include "score/model/Page.h"

#include <algorithm>
#include <cmath>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "score/model/Persistent.h"
#include "score/model/Score.h"

namespace {

// Block offsets of the eight lengths, by TKVPageValue. Each is a 10-byte
// extended float; all but the last are followed by 6 unused bytes.
constexpr size_t kValueOffset[8] = {4, 20, 52, 36, 68, 84, 100, 116};
constexpr size_t kOrientation = TKVPage::OrientationByte, kPaperSize = TKVPage::PaperSizeByte,
                 kMetrix = TKVPage::MetrixByte, kBook = 129, kTurn = 130, kAutoSize = 131;
constexpr int32_t kValueCount = 8;

struct PaperRow {
  long double Width, Height;
};
// Portrait sizes in millimetres of paper sizes 1 to 26. Ledger is stored
// wider than tall and Note is 279.0 high, as the paper table has always had.
constexpr PaperRow kPaper[26] = {
    {215.9L, 279.4L}, {215.9L, 279.4L}, {279.4L, 431.8L}, {431.8L, 279.4L}, {215.9L, 355.6L}, {139.7L, 215.9L},
    {190.5L, 254.0L}, {297.0L, 420.0L}, {210.0L, 297.0L}, {210.0L, 297.0L}, {148.0L, 210.0L}, {250.0L, 354.0L},
    {182.0L, 257.0L}, {215.9L, 330.2L}, {215.0L, 275.0L}, {254.0L, 355.6L}, {279.4L, 431.8L}, {215.9L, 279.0L},
    {98.43L, 225.4L}, {104.8L, 241.3L}, {114.3L, 263.5L}, {101.6L, 279.4L}, {127.0L, 292.1L}, {100.0L, 100.0L},
    {100.0L, 100.0L}, {100.0L, 100.0L}};

bool ValidLength(const TExtended80& raw) {
  long double v;
  return TryExtendedToLongDouble(raw, v) && std::fabs(v) <= TKVPage::MaxInternalLength;
}

}  // namespace

bool PaperDimensions(TKVPaperSize Size, long double& WidthMM, long double& HeightMM) {
  int index = int(Size);
  if (index < 1 || index > 26) return false;
  WidthMM = kPaper[index - 1].Width;
  HeightMM = kPaper[index - 1].Height;
  return true;
}

TKVPage::TKVPage(TKVScore* Owner) : FOwner(Owner) {
  FBrush.OnChange = [this](TObject*) { BrushChanged(); };
  FPicture.OnChange = [this](TObject*) { PictureChanged(); };
  FData.setU32(0, 0xFFFFFF);
  const long double defaults[kValueCount] = {1000, 800, 100, 100, 100, 100, 120, 15.875L};
  for (int32_t i = 0; i < kValueCount; ++i) SetInternal(i, defaults[i]);
  FData.setU8(kPaperSize, uint8_t(TKVPaperSize::Custom));
}

void TKVPage::Assign(const TObject& Source) {
  const auto* page = dynamic_cast<const TKVPage*>(&Source);
  if (!page) RaiseAssignError(Source, *this);
  FData.Overlay(page->FData.Data(), page->DataSize());
  // Taking the source's background is part of the copy, not a change of
  // the score: it must not fire the score's Changed.
  FAssigning = true;
  FBrush.Assign(page->FBrush);
  FPicture.Assign(page->FPicture);
  FAssigning = false;
  if (FOwner) {
    FOwner->Reformat(0);
    FOwner->InvalidateRulers();
    FOwner->InvalidateViews();
  }
}

long double TKVPage::InternalValue(int32_t Index) const {
  if (Index < 0 || Index >= kValueCount) return 0;
  return ExtendedToLongDouble(FData.ext(kValueOffset[Index]));
}

void TKVPage::SetInternal(int32_t Index, long double Value) {
  FData.setExt(kValueOffset[Index], ExtendedFromLongDouble(Value));
}

void TKVPage::SetComposedLength(int32_t Index, long double Value) {
  if ((Index != pvWidth && Index != pvHeight) || std::isnan(Value)) return;
  SetInternal(Index, std::clamp(Value, 0.0L, MaxInternalLength));
}

long double TKVPage::GetValue(int32_t Index) const {
  if (Index < 0 || Index >= kValueCount) return 0;
  return ToDisplayUnits(Metrix(), InternalValue(Index));
}

void TKVPage::SetValue(int32_t Index, long double Value) {
  if (Index < 0 || Index >= kValueCount || !std::isfinite(Value)) return;
  Value = std::min(Value, 100000.0L);
  if ((Index == pvWidth || Index == pvHeight) && PaperSize() != TKVPaperSize::Custom) return;
  long double internal = FromDisplayUnits(Metrix(), Value);
  if (internal == InternalValue(Index)) return;
  SetInternal(Index, internal);
  if (FOwner) {
    FOwner->Reformat(0);
    FOwner->InvalidateViews();
  }
  Changed();
}

void TKVPage::StoreLength(int32_t Index, const TExtended80& Raw) {
  if (Index >= 0 && Index < kValueCount && ValidLength(Raw)) FData.setExt(kValueOffset[Index], Raw);
}

TKVPaperSize TKVPage::PaperSize() const {
  uint8_t v = FData.u8(kPaperSize);
  return v <= uint8_t(TKVPaperSize::Custom) ? TKVPaperSize(v) : TKVPaperSize::Custom;
}

TKVMetrix TKVPage::Metrix() const {
  uint8_t v = FData.u8(kMetrix);
  return v <= rmPixels ? TKVMetrix(v) : rmMM;
}

void TKVPage::SetColor(uint32_t Color) {
  if (Color == this->Color()) return;
  FData.setU32(0, Color);
  Notify();
}

void TKVPage::Notify() {
  if (FOwner) FOwner->InvalidateViews();
  Changed();
}

void TKVPage::BrushChanged() {
  if (!FAssigning) Notify();
}

void TKVPage::PictureChanged() {
  if (!FAssigning) Notify();
}

void TKVPage::SetBrush(const TKVBrush& Value) { FBrush.Assign(Value); }

void TKVPage::SetPicture(const TKVPicture& Value) { FPicture.Assign(Value); }

void TKVPage::LayoutChanged(bool rulers) {
  if (FOwner) {
    FOwner->Reformat(0);
    if (rulers) FOwner->InvalidateRulers();
    FOwner->InvalidateViews();
  }
  Changed();
}

void TKVPage::SetOrientation(TPrinterOrientation Value) {
  if (Value == Orientation()) return;
  FData.setU8(kOrientation, Value);
  TExtended80 width = FData.ext(kValueOffset[pvWidth]);
  FData.setExt(kValueOffset[pvWidth], FData.ext(kValueOffset[pvHeight]));
  FData.setExt(kValueOffset[pvHeight], width);
  LayoutChanged(true);
}

void TKVPage::SetPaperSize(TKVPaperSize Value) {
  if (Value == PaperSize()) return;
  FData.setU8(kPaperSize, uint8_t(Value));
  long double width, height;
  if (PaperDimensions(Value, width, height)) {
    if (Orientation() == poLandscape) std::swap(width, height);
    SetInternal(pvWidth, width * 10);
    SetInternal(pvHeight, height * 10);
  }
  LayoutChanged(true);
}

void TKVPage::SetMetrix(TKVMetrix Value) {
  if (Value == Metrix()) return;
  FData.setU8(kMetrix, Value);
  if (FOwner) FOwner->InvalidateRulers();
}

void TKVPage::SetOption(size_t offset, uint8_t value) {
  if ((FData.u8(offset) != 0) == (value != 0)) return;
  FData.setU8(offset, value);
  LayoutChanged(false);
}

void TKVPage::SetBook(bool Value) { SetOption(kBook, Value); }
void TKVPage::SetTurn(bool Value) { SetOption(kTurn, Value); }
void TKVPage::SetAutoSize(bool Value) { SetOption(kAutoSize, Value); }

int32_t TKVPage::Pixels(int32_t Index) const { return RoundExtended(ToDisplayUnits(rmPixels, InternalValue(Index))); }

int32_t TKVPage::GetWidthPixels() const {
  long double px = ToDisplayUnits(rmPixels, InternalValue(pvWidth));
  return RoundExtended(Book() ? px / 2 : px);
}
int32_t TKVPage::GetHeightPixels() const { return Pixels(pvHeight); }
int32_t TKVPage::GetLeftMarginPixels() const { return Pixels(pvLeftMargin); }
int32_t TKVPage::GetTopMarginPixels() const { return Pixels(pvTopMargin); }
int32_t TKVPage::GetRightMarginPixels() const { return Pixels(pvRightMargin); }
int32_t TKVPage::GetBottomMarginPixels() const { return Pixels(pvBottomMargin); }

void TKVPage::PushMetrix(TKVMetrix Unit) {
  FSavedMetrix = FData.u8(kMetrix);
  FData.setU8(kMetrix, Unit);
}

void TKVPage::PopMetrix() { FData.setU8(kMetrix, FSavedMetrix); }

void TKVPage::Changed() {
  if (FOwner) FOwner->Changed();
}

void TKVPage::ReadData(TStream& Stream) {
  uint32_t length = Stream.ReadU32();
  int64_t end = Stream.GetPosition() + length;
  if (end > Stream.GetSize()) throw EReadError();
  auto take = [&](int64_t count) {
    if (Stream.GetPosition() + count > end) throw EReadError();
  };
  take(2);
  if (Stream.ReadU16() != 0) {
    take(2);
    uint16_t size = Stream.ReadU16();
    take(size);
    std::vector<uint8_t> bytes = Stream.ReadBytes(std::min<int64_t>(size, DataBlockSize));
    TByteBlock previous = FData;
    FData.Overlay(bytes.data(), bytes.size());
    for (size_t offset : kValueOffset)
      if (!ValidLength(FData.ext(offset))) FData.setExt(offset, previous.ext(offset));
  }
  Stream.SetPosition(end);
}
