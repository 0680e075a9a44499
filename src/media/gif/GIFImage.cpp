// The GIF image as a graphic of the class library: its frames, drawing of
// the current frame, assignment, form data, clipboard and registration.

#include <algorithm>

#include "platform/forms/Clipboard.h"
#include "platform/forms/Picture.h"
#include "media/gif/GIFImage.h"

namespace gif {

TGIFsImage::TGIFsImage() {
  Reset();
  FTransparent = true;
}

TGIFsImage::~TGIFsImage() { OnChange = nullptr; }

void TGIFsImage::Reset() {
  Header = std::make_shared<TGIFsData>();
  Frames.clear();
  Looping = false;
  CurrentFrame = -1;
  BackgroundColor = kGIFNone;
  LoopCount = 1;
  Version = 0;
}

void TGIFsImage::UpdateScreenSize() {
  int w = 0, h = 0;
  for (const auto& f : Frames) {
    w = std::max(w, f->Left + f->Width());
    h = std::max(h, f->Top + f->Height());
  }
  ScreenWidth = std::uint16_t(std::min(w, 65535));
  ScreenHeight = std::uint16_t(std::min(h, 65535));
}

void TGIFsImage::Assign(forms::TGraphic* source) {
  if (source == this) return;
  if (auto* image = dynamic_cast<TGIFsImage*>(source)) {
    Frames.clear();
    Header = image->Header;
    Version = image->Version;
    BackgroundColor = image->BackgroundColor;
    LoopCount = image->LoopCount;
    Looping = image->Looping;
    ScreenWidth = image->ScreenWidth;
    ScreenHeight = image->ScreenHeight;
    CurrentFrame = image->CurrentFrame;
    for (const auto& f : image->Frames) {
      auto frame = std::make_unique<TGIFsFrame>(this);
      frame->Assign(f.get());
      frame->HasLocalColorTable = f->HasLocalColorTable;
      Frames.push_back(std::move(frame));
    }
  } else if (auto* bitmap = dynamic_cast<forms::TBitmap*>(source)) {
    Reset();
    AddFrame(bitmap);
  } else if (!source) {
    Reset();
  } else {
    return TGraphic::Assign(source);
  }
  Changed();
}

void TGIFsImage::Assign(TGIFsFrame* source) {
  Reset();
  if (source->Image) {
    const TGIFsData& from = *source->Image->Header;
    Header->AspectRatio = from.AspectRatio;
    Header->ColorBits = from.ColorBits;
    Header->ColorResolution = from.ColorResolution;
    Header->ColorTable = from.ColorTable;
  }
  Frames.push_back(std::make_unique<TGIFsFrame>(this));
  Frames.back()->Assign(source);
  CurrentFrame = 0;
  if (Version == 0) Version = 1;
  Changed();
}

void TGIFsImage::AssignTo(forms::TGraphic* dest) {
  if (auto* image = dynamic_cast<TGIFsImage*>(dest)) return image->Assign(this);
  if (GetEmpty()) return;
  Frames[std::size_t(std::max(CurrentFrame, 0))]->AssignTo(dest);
}

int TGIFsImage::AddFrame(forms::TGraphic* graphic) {
  Frames.push_back(std::make_unique<TGIFsFrame>(this));
  CurrentFrame = int(Frames.size()) - 1;
  Frames.back()->Assign(graphic);
  if (Version == 0) Version = 1;
  if (Frames.size() >= 2) Version = 2;
  Changed();
  return CurrentFrame;
}

void TGIFsImage::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) {
  if (CurrentFrame < 0 || CurrentFrame >= int(Frames.size())) return;
  Frames[std::size_t(CurrentFrame)]->Draw(canvas, rect, GetTransparent());
}

bool TGIFsImage::Equals(forms::TGraphic* other) {
  auto* image = dynamic_cast<TGIFsImage*>(other);
  return image && image->Header == Header;
}

bool TGIFsImage::GetEmpty() {
  return Frames.empty() || Frames[std::size_t(std::max(CurrentFrame, 0))]->Empty();
}

int TGIFsImage::GetWidth() {
  if (GetEmpty() || CurrentFrame < 0 || CurrentFrame >= int(Frames.size())) return 0;
  return Frames[std::size_t(CurrentFrame)]->GetBitmap().GetWidth();
}

int TGIFsImage::GetHeight() {
  if (GetEmpty() || CurrentFrame < 0 || CurrentFrame >= int(Frames.size())) return 0;
  return Frames[std::size_t(CurrentFrame)]->GetBitmap().GetHeight();
}

forms::TPaletteEntries TGIFsImage::GetPalette() {
  if (Frames.empty()) return {};
  int i = CurrentFrame >= 0 && CurrentFrame < int(Frames.size()) ? CurrentFrame : 0;
  return Frames[std::size_t(i)]->GetBitmap().GetPalette();
}

bool TGIFsImage::GetTransparent() {
  return FTransparent &&
         std::any_of(Frames.begin(), Frames.end(), [](const auto& f) { return f->TransparentColor != kGIFNone; });
}

void TGIFsImage::SetWidth(int) { GIFError(gmSizeChange); }
void TGIFsImage::SetHeight(int) { GIFError(gmSizeChange); }

void TGIFsImage::ReadData(TStream& stream) {
  std::uint32_t size = stream.ReadU32();
  ReadGIFStream(*this, size, stream, true);
}

void TGIFsImage::WriteData(TStream& stream) { WriteGIFStream(*this, stream, true); }
void TGIFsImage::SaveToStream(TStream& stream) { WriteGIFStream(*this, stream, false); }

void TGIFsImage::LoadFromStream(TStream& stream) { ReadGIFStream(*this, stream.Remaining(), stream, true); }

void TGIFsImage::LoadFromClipboardFormat(unsigned format) {
  const std::vector<std::uint8_t>* block = forms::Clipboard().GetAsHandle(GIFClipboardFormat());
  if (!block) {
    forms::TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format);
    return Assign(&bitmap);
  }
  TMemoryStream stream(*block);
  std::uint32_t size = stream.ReadU32();
  ReadGIFStream(*this, size, stream, false);
  if (!Frames.empty()) CurrentFrame = 0;
  if (!Frames.empty() && forms::Clipboard().HasFormat(forms::CF_DIB)) {
    auto bitmap = std::make_unique<forms::TBitmap>();
    bitmap->LoadFromClipboardFormat(forms::CF_DIB);
    Frames[0]->SetBitmap(std::move(bitmap));
  }
}

void TGIFsImage::SaveToClipboardFormat(unsigned& format) {
  if (Frames.empty()) return;
  // Everything is made before anything is placed: a copy is placed whole or not at all.
  TMemoryStream gif;
  bool encoded = std::all_of(Frames.begin(), Frames.end(), [](const auto& f) { return f->Data->EncodedData.GetSize() > 0; });
  if (encoded) WriteGIFStream(*this, gif, true);
  forms::TBitmap& bitmap = Frames[0]->GetBitmap();
  format = forms::CF_DIB;
  bitmap.SaveToClipboardFormat(format);
  if (encoded) forms::Clipboard().SetAsHandle(GIFClipboardFormat(), gif.Bytes());
}

unsigned GIFClipboardFormat() {
  static const unsigned format = forms::Clipboard().RegisterFormat("GIF Image");
  return format;
}

void RegisterGIFImage() {
  auto make = [] { return std::unique_ptr<forms::TGraphic>(new TGIFsImage); };
  // Registering again replaces the first registration.
  forms::TPicture::UnregisterGraphicClass("TGIFsImage");
  forms::TPicture::RegisterFileFormat("gif", "CompuServe GIF Image", "TGIFsImage", make, 257);
  forms::TPicture::RegisterClipboardFormat(GIFClipboardFormat(), "TGIFsImage", make);
}

}  // namespace gif
