#include "platform/forms/Picture.h"

#include <algorithm>
#include <vector>

#include "base/Strings.h"
#include "platform/forms/BitmapGraphic.h"
#include "platform/forms/Clipboard.h"

namespace forms {

namespace {

struct TFormat {
  std::string Extension, Description, ClassName;
  TGraphicFactory Factory;
  unsigned Code = 0, ClipboardFormat = 0;
};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

template <class T>
TGraphicFactory Make() {
  return [] { return std::unique_ptr<TGraphic>(new T); };
}

std::vector<TFormat>& Formats() {
  static std::vector<TFormat> formats = {
      {"bmp", "Bitmaps", "TBitmap", Make<TBitmap>(), 256, 0},
      {"jpg", "JPEG Image File", "TJPEGImage", Make<TJPEGImage>(), 258, 0},
      {"jpeg", "JPEG Image File", "TJPEGImage", Make<TJPEGImage>(), 0, 0},
      {"ico", "Icons", "TIcon", Make<TIcon>(), 259, 0},
      {"wmf", "Metafiles", "TMetafile", Make<TMetafile>(), 260, 0},
      {"emf", "Enhanced Metafiles", "TMetafile", Make<TMetafile>(), 0, 0},
      {"", "", "TBitmap", Make<TBitmap>(), 0, CF_DIB},
  };
  return formats;
}

template <class Pred>
const TFormat* Find(Pred pred) {
  // The latest registration wins, as a format registered again replaces the first.
  auto& f = Formats();
  auto it = std::find_if(f.rbegin(), f.rend(), pred);
  return it == f.rend() ? nullptr : &*it;
}

}  // namespace

void TDecodedGraphic::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) {
  if (!FPicture.Empty()) canvas.StretchDraw(rect, FPicture);
}

void TDecodedGraphic::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a " + std::string(ClassName())); }
void TDecodedGraphic::SetHeight(int w) { SetWidth(w); }

void TDecodedGraphic::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> data = stream.ReadBytes(stream.Remaining());
  FPicture = Decode(data);
  FData = std::move(data);
  Changed();
}

void TDecodedGraphic::Assign(TGraphic* source) {
  auto* d = dynamic_cast<TDecodedGraphic*>(source);
  if (!d || std::string(d->ClassName()) != ClassName()) return TGraphic::Assign(source);
  FData = d->FData;
  FPicture = d->FPicture;
  Changed();
}

void TDecodedGraphic::AssignTo(TGraphic* dest) {
  if (auto* b = dynamic_cast<TBitmap*>(dest)) return b->SetPicture(FPicture);
  TGraphic::AssignTo(dest);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (OnChange) OnChange(this);
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::size_t dot = fileName.rfind('.'), slash = fileName.rfind('/');
  std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : Lower(fileName.substr(dot + 1));
  const TFormat* f = ext.empty() ? nullptr : Find([&](const TFormat& x) { return x.Extension == ext; });
  if (!f) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ext.c_str()));
  std::unique_ptr<TGraphic> g = f->Factory();
  g->LoadFromFile(fileName);
  SetGraphic(std::move(g));
}

void TPicture::LoadFromFormatCode(unsigned code, TStream& stream) {
  const TFormat* f = code ? Find([&](const TFormat& x) { return x.Code == code; }) : nullptr;
  if (!f) return SetGraphic(nullptr);
  std::unique_ptr<TGraphic> g = f->Factory();
  g->LoadFromStream(stream);
  SetGraphic(std::move(g));
}

void TPicture::LoadFromClipboardFormat(unsigned format) {
  const TFormat* f = Find([&](const TFormat& x) { return x.ClipboardFormat == format; });
  if (!f) throw EInvalidGraphic("Unsupported clipboard format");
  std::unique_ptr<TGraphic> g = f->Factory();
  g->LoadFromClipboardFormat(format);
  SetGraphic(std::move(g));
}

void TPicture::Assign(TPicture* source) {
  if (!source || !source->FGraphic) return SetGraphic(nullptr);
  const TFormat* f = Find([&](const TFormat& x) { return x.ClassName == source->FGraphic->ClassName(); });
  if (!f) throw EAssignError(source->FGraphic->ClassName(), "TPicture");
  std::unique_ptr<TGraphic> g = f->Factory();
  g->Assign(source->FGraphic.get());
  SetGraphic(std::move(g));
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const char* className, TGraphicFactory factory, unsigned code) {
  Formats().push_back({Lower(extension), description, className, std::move(factory), code, 0});
}

void TPicture::RegisterClipboardFormat(unsigned format, const char* className, TGraphicFactory factory) {
  Formats().push_back({"", "", className, std::move(factory), 0, format});
}

void TPicture::UnregisterGraphicClass(const char* className) {
  std::erase_if(Formats(), [&](const TFormat& f) { return f.ClassName == className; });
}

std::string TPicture::Description(const std::string& extension) {
  const TFormat* f = Find([&](const TFormat& x) { return x.Extension == Lower(extension); });
  return f ? f->Description : "";
}

}  // namespace forms
