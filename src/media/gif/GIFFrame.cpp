// One frame of a GIF image: its shared data item, its place, transparency
// and timing, and its bitmap, decoded from the data when first needed.

#include <algorithm>

#include "media/gif/GIFImage.h"

namespace gif {

namespace {

[[noreturn]] void StreamReadError() { throw forms::EInvalidGraphicOperation("Stream read error"); }

// The GIF classes' colour value for "the bottom-left pixel" is the canvas's clNone.
TColor CanvasColor(TColor gifColor) { return gifColor == kGIFBottomLeft ? canvas::clNone : gifColor; }
TColor GIFColor(TColor canvasColor) { return canvasColor == canvas::clNone ? kGIFBottomLeft : canvasColor; }

// The most pixels that LZW data of Bytes bytes can give: every code takes
// at least three bits, and the k-th code after a clear gives at most k
// pixels, never more than a full table's longest string.
std::int64_t MostLZWPixels(std::int64_t bytes) {
  constexpr std::int64_t kLongest = 4097;
  std::int64_t codes = bytes * 8 / 3;
  if (codes <= kLongest) return codes * (codes + 1) / 2;
  return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

}  // namespace

void TExtension::Assign(const TExtension& source) {
  Kind = source.Kind;
  BlockHeader = source.BlockHeader;
  if (!source.SubBlocks) return SubBlocks.reset();
  if (!SubBlocks) SubBlocks = std::make_unique<TStringList>();
  SubBlocks->AssignStrings(*source.SubBlocks);
}

TGIFsFrame::TGIFsFrame(TGIFsImage* image) : Image(image) {}

void TGIFsFrame::Decode() {
  const TGIFsItem& data = *Data;
  int cb = data.ColorBits, depth = cb == 1 ? 1 : cb >= 2 && cb <= 4 ? 4 : cb >= 5 && cb <= 8 ? 8 : 0;
  if (!depth) GIFError(gmColorCount);
  // A frame is refused before anything is allocated when its pixels exceed
  // the picture limit, its data could not fill them or its BMP image would
  // not fit 32 bits.
  std::int64_t w = data.Width, h = data.Height;
  if (w * h > canvas::TBitmap::kMaxPixels || w * h > MostLZWPixels(std::int64_t(data.EncodedData.Bytes().size())) ||
      std::int64_t(canvas::TDib::Stride(int(w), depth)) * h + 54 + 4 * 256 > 0xFFFFFFFFll)
    StreamReadError();
  canvas::TDib dib(int(w), int(h), depth);
  std::fill(dib.Palette.begin(), dib.Palette.end(), canvas::TRgbQuad{0x80, 0x80, 0x80, 0x80});
  for (int i = 0; i < std::min<int>(data.ColorTable.Count, int(dib.Palette.size())); ++i)
    dib.Palette[std::size_t(i)] = {data.ColorTable.Colors[i][2], data.ColorTable.Colors[i][1], data.ColorTable.Colors[i][0], 0};
  TMemoryStream encoded(data.EncodedData.Bytes());
  TLZWTarget target{int(w), int(h), depth, cb, Interlaced};
  Corrupt = DecodeGIFLZW(encoded, target, dib.Pixels().data(), TolerateCorruptData,
                         Image ? Image->OnProgress : forms::TProgressEvent(), Image) || Corrupt;
  auto bitmap = std::make_unique<forms::TBitmap>();
  bitmap->SetDib(std::move(dib));
  bitmap->TransparentIndex = TransparentIndex;
  FBitmap = std::move(bitmap);
}

forms::TBitmap& TGIFsFrame::GetBitmap() {
  if (FBitmap && !FBitmap->GetEmpty()) return *FBitmap;
  if (Data->EncodedData.GetSize() > 0)
    Decode();
  else if (!FBitmap)
    FBitmap = std::make_unique<forms::TBitmap>();
  return *FBitmap;
}

bool TGIFsFrame::Empty() const { return !FBitmap && Data->EncodedData.GetSize() == 0; }

// The size without decoding: a decoded frame has its data item's size.
int TGIFsFrame::Width() { return FBitmap ? FBitmap->GetWidth() : Empty() ? 0 : Data->Width; }
int TGIFsFrame::Height() { return FBitmap ? FBitmap->GetHeight() : Empty() ? 0 : Data->Height; }

TStringList& TGIFsFrame::Comments() {
  if (!Extensions) Extensions = std::make_unique<TExtensionList>();
  auto it = std::find_if(Extensions->begin(), Extensions->end(), [](const auto& e) { return e->Kind == ekComment; });
  if (it == Extensions->end()) {
    Extensions->push_back(std::make_unique<TExtension>());
    it = Extensions->end() - 1;
  }
  if (!(*it)->SubBlocks) (*it)->SubBlocks = std::make_unique<TStringList>();
  return *(*it)->SubBlocks;
}

void TGIFsFrame::Clear() {
  Data = std::make_shared<TGIFsItem>();
  FBitmap.reset();
  TransparentColor = kGIFNone;
  TransparentIndex = -1;
}

void TGIFsFrame::Assign(TGIFsFrame* source) {
  if (source == this) return;
  Data = source->Data;
  HasLocalColorTable = source->Image == Image ? source->HasLocalColorTable : true;
  Left = source->Left;
  Top = source->Top;
  Interlaced = source->Interlaced;
  FBitmap.reset();
  if (source->FBitmap) {
    FBitmap = std::make_unique<forms::TBitmap>();
    FBitmap->Assign(source->FBitmap.get());
  }
  TransparentColor = source->TransparentColor;
  TransparentIndex = source->TransparentIndex;
  Delay = source->Delay;
  Disposal = source->Disposal;
  Corrupt = source->Corrupt;
  bool comments = source->Extensions && std::any_of(source->Extensions->begin(), source->Extensions->end(),
                                                    [](const auto& e) { return e->Kind == ekComment; });
  if (comments) Comments().AssignStrings(source->Comments());
  if (Image) Image->UpdateScreenSize();
}

void TGIFsFrame::Assign(TGIFsImage* source) {
  if (source->Frames.empty()) {
    Clear();
    if (Image) Image->UpdateScreenSize();
    return;
  }
  Assign(source->Frames[std::size_t(std::max(source->CurrentFrame, 0))].get());
}

void TGIFsFrame::Assign(forms::TGraphic* source) {
  if (auto* image = dynamic_cast<TGIFsImage*>(source)) return Assign(image);
  Clear();
  if (source && !source->GetEmpty()) {
    FBitmap = std::make_unique<forms::TBitmap>();
    FBitmap->Assign(source);
    FBitmap->SetTransparent(false);
    const canvas::TDib& dib = FBitmap->Dib();
    Data->Width = dib.Width();
    Data->Height = dib.Height();
    Data->ColorBits = std::uint8_t(std::min(dib.BitsPerPixel(), 8));
    if (source->GetTransparent()) {
      auto* b = dynamic_cast<forms::TBitmap*>(source);
      // A graphic that is no bitmap is keyed on its canvas's brush colour, white.
      TransparentColor = b ? GIFColor(b->TransparentColor) : canvas::clWhite;
      TransparentIndex = b ? b->TransparentIndex : -1;
    }
  }
  if (Image) Image->UpdateScreenSize();
}

void TGIFsFrame::AssignTo(forms::TGraphic* dest) {
  if (auto* image = dynamic_cast<TGIFsImage*>(dest)) return image->Assign(this);
  forms::TBitmap& bitmap = GetBitmap();
  dest->Assign(&bitmap);
  auto* b = dynamic_cast<forms::TBitmap*>(dest);
  if (b && TransparentColor != kGIFNone) {
    b->TransparentColor = CanvasColor(TransparentColor);
    b->TransparentIndex = TransparentIndex;
    b->SetTransparent(true);
  }
}

void TGIFsFrame::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect, bool transparent) {
  forms::TBitmap& b = GetBitmap();
  bool keyed = transparent && TransparentColor != kGIFNone;
  b.SetTransparent(keyed);
  b.TransparentIndex = TransparentIndex;
  // Without a palette entry to key on, a monochrome bitmap keys on white.
  b.TransparentColor = b.Monochrome() ? canvas::clWhite : CanvasColor(TransparentColor);
  b.Draw(canvas, rect);
}

}  // namespace gif
