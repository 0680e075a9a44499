#include "platform/ole/EmbeddedObject.h"

#include <algorithm>

#include "base/LittleEndian.h"
#include "base/Log.h"
#include "base/Utf8.h"
#include "base/Streams.h"
#include "platform/forms/BitmapGraphic.h"
#include "platform/forms/Picture.h"
#include "platform/text/Charsets.h"

namespace ole {

namespace {

// Little-endian fields of a stream; a read past its end raises.
class TFieldReader {
public:
  explicit TFieldReader(const std::vector<std::uint8_t>& bytes) : FBytes(bytes) {}
  std::uint32_t U32() {
    Need(4);
    std::uint32_t v = le::load32(FBytes.data() + FAt);
    FAt += 4;
    return v;
  }
  void Skip(std::uint64_t n) {
    Need(n);
    FAt += std::size_t(n);
  }
  std::vector<std::uint8_t> Bytes(std::uint64_t n) {
    Need(n);
    FAt += std::size_t(n);
    return {FBytes.begin() + std::ptrdiff_t(FAt - n), FBytes.begin() + std::ptrdiff_t(FAt)};
  }

private:
  void Need(std::uint64_t n) const {
    if (n > FBytes.size() - FAt) throw ECompoundFileError("a stream's field runs past its end");
  }
  const std::vector<std::uint8_t>& FBytes;
  std::size_t FAt = 0;
};

// A clipboard format: 0 none; -1 or -2 then a standard format number; else
// the length of a registered format's name, which follows.
std::uint32_t ReadClipboardFormat(TFieldReader& r) {
  std::uint32_t marker = r.U32();
  if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE) return r.U32();
  r.Skip(marker);
  return 0;
}

bool IsPresentationName(const std::string& path) {
  return path.size() == 11 && path.compare(0, 8, "\x02OlePres") == 0 &&
         std::all_of(path.begin() + 8, path.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TPresentation ReadPresentation(const std::vector<std::uint8_t>& stream) {
  TFieldReader r(stream);
  TPresentation p;
  p.Format = ReadClipboardFormat(r);
  std::uint32_t device = r.U32();  // its own 4 bytes included
  if (device > 4) r.Skip(device - 4);
  p.Aspect = r.U32();
  r.Skip(12);  // index, advise flags, reserved
  p.Width = std::int32_t(r.U32());
  p.Height = std::int32_t(r.U32());
  p.Data = r.Bytes(r.U32());
  return p;
}

std::string ReadUserType(const std::vector<std::uint8_t>& stream) {
  try {
    TFieldReader r(stream);
    r.Skip(28);
    std::vector<std::uint8_t> name = r.Bytes(r.U32());
    std::string text;
    for (std::uint8_t b : name) {
      if (b == 0) break;
      AppendUtf8(text, text::DecodeByte(b, text::csAnsi));
    }
    return text;
  } catch (const ECompoundFileError&) {
    return "";
  }
}

void DrawPlaceholder(canvas::TCanvas& canvas, const canvas::TRect& rect, const std::string& name) {
  canvas.Save();
  canvas.IntersectClipRect(rect);
  canvas.Pen = {canvas::clGray, 1, canvas::psSolid, canvas::pmCopy};
  canvas.Brush.Style = canvas::bsClear;
  canvas.Rectangle(rect);
  if (!name.empty()) {
    std::u16string text = Utf8ToUtf16(name);
    canvas.Font.Color = canvas::clGray;
    canvas::TSize size = canvas.TextExtent(text);
    canvas.TextOut(rect.Left + (rect.Width() - size.Cx) / 2, rect.Top + (rect.Height() - size.Cy) / 2, text);
  }
  canvas.Restore();
}

namespace {

// The picture of a presentation; null for a format without one, or (with a
// log line) for data that do not read as that format.
std::unique_ptr<forms::TGraphic> MakePreview(const TPresentation& p) {
  try {
    if (p.Format == CF_DIB) {
      auto bitmap = std::make_unique<forms::TBitmap>();
      bitmap->SetDib(canvas::TDib::LoadPacked(p.Data.data(), p.Data.size(), false));
      return bitmap;
    }
    if (p.Format == CF_METAFILEPICT || p.Format == CF_ENHMETAFILE) {
      auto metafile = std::make_unique<forms::TMetafile>();
      TMemoryStream data(p.Data);
      metafile->LoadFromStream(data);
      return metafile;
    }
  } catch (const canvas::EInvalidGraphic& e) {
    Log("Embedded object's preview not shown: " + e.Message());
  }
  return nullptr;
}

}  // namespace

TEmbeddedObject::TEmbeddedObject() = default;
TEmbeddedObject::~TEmbeddedObject() = default;

void TEmbeddedObject::LoadStorage(std::vector<std::uint8_t> bytes) {
  FBytes = std::move(bytes);
  FDamaged = false;
  FStreams.clear();
  FPresentations.clear();
  FPreviews.clear();
  FUserType.clear();
  try {
    TCompoundFile file(FBytes);
    for (const TStorageEntry& e : file.Entries()) {
      if (!e.IsStream) continue;
      FStreams.push_back(e);
      if (e.Path == "\x01" "CompObj") FUserType = ReadUserType(file.ReadStream(e.Path));
      if (IsPresentationName(e.Path)) FPresentations.push_back(ReadPresentation(file.ReadStream(e.Path)));
    }
  } catch (const ECompoundFileError& e) {
    Log("Embedded object kept as stored, not shown: " + e.Message());
    FDamaged = true;
    FStreams.clear();
    FPresentations.clear();
    FUserType.clear();
  }
  for (const TPresentation& p : FPresentations) FPreviews.push_back(MakePreview(p));
}

canvas::TSize TEmbeddedObject::ExtentHimetric(std::uint32_t aspect) const {
  for (const TPresentation& p : FPresentations)
    if (p.Aspect == aspect) return {p.Width, p.Height};
  return {0, 0};
}

void TEmbeddedObject::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect, std::uint32_t aspect) const {
  for (std::size_t i = 0; i < FPresentations.size(); ++i)
    if (FPresentations[i].Aspect == aspect && FPreviews[i]) return FPreviews[i]->Draw(canvas, rect);
  DrawPlaceholder(canvas, rect, FUserType);
}

std::uint32_t TEmbeddedObject::DoVerb(int) const { return REGDB_E_CLASSNOTREG; }

}  // namespace ole
