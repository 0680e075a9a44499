// Writing an image as a GIF stream: frames set from a bitmap are encoded
// (reduced to 256 colours first when they have more than 8 bits per pixel),
// their graphic control extensions made to match the frame, and the blocks
// written into memory before anything reaches the target.

#include <algorithm>

#include "media/gif/GIFImage.h"
#include "media/gif/GIFReduce.h"

namespace gif {

namespace {

constexpr std::uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
const std::uint8_t kLabels[4] = {0xF9, 0x01, 0xFF, 0xFE};

// The smallest n of at least 1 with 2^n >= Count.
int BitsFor(int count) {
  int n = 1;
  while ((1 << n) < count && n < 8) ++n;
  return n;
}

// Each line one sub-block of at most 255 bytes (empty lines skipped), then
// the zero-length block.
void WriteSubBlocks(TStream& s, const TStringList* lines) {
  for (int i = 0; lines && i < lines->Count(); ++i) {
    const std::string& line = lines->Strings(i);
    if (line.empty()) continue;
    std::size_t n = std::min<std::size_t>(line.size(), 255);
    s.WriteU8(std::uint8_t(n));
    s.WriteBuffer(line.data(), std::int64_t(n));
  }
  s.WriteU8(0);
}

// Count entries, padded with grey to 2^Bits so that a table always has the
// size its descriptor declares.
void WriteColorTable(TStream& s, const TGIFColorTable& table, int bits) {
  for (int i = 0; i < (1 << bits); ++i) {
    if (i < table.Count)
      s.WriteBuffer(table.Colors[i], 3);
    else
      s.WriteBuffer("\x80\x80\x80", 3);
  }
}

int IndexOfColor(const TGIFColorTable& table, TColor color) {
  for (int i = 0; i < table.Count; ++i)
    if (table.Color(i) == color) return i;
  return -1;
}

// The frame's data unchanged, completed with the zero-length block when its
// sub-blocks end without one (a damaged frame kept as far as it was read).
void WriteEncodedData(TStream& s, const TMemoryStream& data) {
  const std::vector<std::uint8_t>& bytes = data.Bytes();
  s.WriteBytes(bytes);
  std::size_t at = 1;
  while (at < bytes.size() && bytes[at] != 0) at += std::size_t(bytes[at]) + 1;
  if (at < bytes.size()) return;
  for (std::size_t i = bytes.size(); i < at; ++i) s.WriteU8(0);
  s.WriteU8(0);
}

// The header is shared with images copied by assignment: it is copied before
// this image changes it.
TGIFsData& OwnHeader(TGIFsImage& image) {
  if (image.Header.use_count() > 1) {
    auto copy = std::make_shared<TGIFsData>();
    copy->Comments.AssignStrings(image.Header->Comments);
    copy->AspectRatio = image.Header->AspectRatio;
    copy->ColorBits = image.Header->ColorBits;
    copy->ColorResolution = image.Header->ColorResolution;
    copy->ColorTable = image.Header->ColorTable;
    image.Header = copy;
  }
  return *image.Header;
}

// A frame holding a bitmap gets new data: its pixels at 1, 4 or 8 bits per
// pixel, LZW-encoded, with the bitmap's palette as its colour table. The
// first table of the image becomes the global one.
void EncodeFrame(TGIFsImage& image, TGIFsFrame& frame) {
  if (!frame.HasBitmap() || frame.GetBitmap().GetEmpty()) GIFError(gmNoData);
  const canvas::TDib& source = frame.GetBitmap().Dib();
  const int depth = source.BitsPerPixel();
  const canvas::TDib dib = depth == 1 || depth == 4 || depth == 8 ? source : ReduceColors(source, 8, 0);
  const int bits = dib.BitsPerPixel();
  if (bits != 1 && bits != 4 && bits != 8) GIFError(gmEncoding);
  auto item = std::make_shared<TGIFsItem>();
  item->Width = dib.Width();
  item->Height = dib.Height();
  TGIFColorTable& table = item->ColorTable;
  table.Count = 1 << bits;
  for (int i = 0; i < table.Count; ++i) {
    canvas::TRgbQuad q = std::size_t(i) < dib.Palette.size() ? dib.Palette[std::size_t(i)] : canvas::TRgbQuad{0x80, 0x80, 0x80, 0};
    table.Colors[i][0] = q.Red, table.Colors[i][1] = q.Green, table.Colors[i][2] = q.Blue;
  }
  item->ColorBits = std::uint8_t(BitsFor(table.Count));
  frame.Interlaced = false;
  TLZWTarget info{dib.Width(), dib.Height(), bits, item->ColorBits, false};
  EncodeGIFLZW(item->EncodedData, info, dib.Pixels().data(), image.OnProgress, &image);
  if (image.Header->ColorTable.Count == 0) {
    TGIFsData& header = OwnHeader(image);
    header.ColorTable = table;
    header.ColorBits = item->ColorBits;
    frame.HasLocalColorTable = false;
  } else {
    frame.HasLocalColorTable = true;
  }
  frame.Data = item;
  image.ScreenWidth = std::uint16_t(std::clamp(frame.Left + item->Width, int(image.ScreenWidth), 65535));
  image.ScreenHeight = std::uint16_t(std::clamp(frame.Top + item->Height, int(image.ScreenHeight), 65535));
}

// The graphic control extension made or brought in line with the frame's
// delay, transparent colour and disposal.
void UpdateGraphicControl(TGIFsFrame& frame) {
  if (!frame.Extensions) frame.Extensions = std::make_unique<TExtensionList>();
  TExtensionList& list = *frame.Extensions;
  auto it = std::find_if(list.begin(), list.end(), [](const auto& e) { return e->Kind == ekGraphicControl; });
  if (it == list.end()) {
    if (frame.Delay == 0 && frame.TransparentColor == kGIFNone && frame.Disposal == 0) return;
    auto ext = std::make_unique<TExtension>();
    ext->Kind = ekGraphicControl;
    it = list.insert(list.begin(), std::move(ext));
  }
  std::vector<std::uint8_t>& h = (*it)->BlockHeader;
  if (h.size() != 6) h = {4, 0, 0, 0, 0, 0};
  h[2] = std::uint8_t(frame.Delay / 10), h[3] = std::uint8_t(frame.Delay / 10 >> 8);
  const TGIFColorTable& table = frame.Data->ColorTable;
  int index = -1;
  if (frame.TransparentColor != kGIFNone) {
    TColor color = frame.TransparentColor;
    // "The bottom-left pixel" is that pixel's colour.
    if (color == kGIFBottomLeft && frame.HasBitmap() && !frame.GetBitmap().GetEmpty())
      color = frame.GetBitmap().Dib().ColorAt(0, frame.GetBitmap().GetHeight() - 1);
    // The entry the frame was read with wins over an earlier one of the same colour.
    int known = frame.TransparentIndex;
    index = known >= 0 && known < table.Count && table.Color(known) == color ? known : IndexOfColor(table, color);
  }
  if (index >= 0) h[4] = std::uint8_t(index);
  h[1] = std::uint8_t((h[1] & ~0x1D) | (index >= 0 ? 1 : 0) | (frame.Disposal & 7) << 2);
}

void PrepareFrame(TGIFsImage& image, TGIFsFrame& frame) {
  if (frame.Data->EncodedData.GetSize() == 0) EncodeFrame(image, frame);
  UpdateGraphicControl(frame);
  TExtensionList& list = *frame.Extensions;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [](const auto& e) { return e->Kind == ekComment && (!e->SubBlocks || e->SubBlocks->Count() == 0); }),
             list.end());
  if (!list.empty()) image.Version = 2;
}

void WriteFrame(TStream& s, const TGIFsFrame& frame) {
  for (const auto& ext : *frame.Extensions) {
    s.WriteU8(kExtension);
    s.WriteU8(kLabels[ext->Kind & 3]);
    s.WriteBytes(ext->BlockHeader);
    if (ext->Kind != ekGraphicControl) WriteSubBlocks(s, ext->SubBlocks.get());
  }
  const TGIFsItem& data = *frame.Data;
  const bool local = frame.HasLocalColorTable && data.ColorTable.Count > 0;
  const int bits = BitsFor(data.ColorTable.Count);
  s.WriteU8(kImage);
  s.WriteU16(std::uint16_t(frame.Left));
  s.WriteU16(std::uint16_t(frame.Top));
  s.WriteU16(std::uint16_t(data.Width));
  s.WriteU16(std::uint16_t(data.Height));
  s.WriteU8(std::uint8_t((local ? 0x80 | (bits - 1) : 0) | (frame.Interlaced ? 0x40 : 0)));
  if (local) WriteColorTable(s, data.ColorTable, bits);
  WriteEncodedData(s, data.EncodedData);
}

}  // namespace

void WriteGIFStream(TGIFsImage& image, TStream& target, bool withSize) {
  if (image.Frames.empty()) GIFError(gmNoData);
  for (const auto& frame : image.Frames) PrepareFrame(image, *frame);
  const TGIFsData& header = *image.Header;
  if (header.Comments.Count() > 0) image.Version = 2;
  TMemoryStream s;
  s.WriteString(image.Version >= 2 ? "GIF89a" : "GIF87a");
  image.UpdateScreenSize();
  s.WriteU16(image.ScreenWidth);
  s.WriteU16(image.ScreenHeight);
  const TGIFColorTable& global = header.ColorTable;
  if (global.Count == 0) {
    s.WriteU16(0);
  } else {
    int b = 0;
    while (b < 8 && (1 << (b + 1)) != global.Count) ++b;
    if (b == 8) GIFError(gmColorCount);
    // The table's size field follows the table written, whatever ColorBits says.
    s.WriteU8(std::uint8_t(0x80 | b << 4 | b));
    int background = image.BackgroundColor == kGIFNone ? -1 : IndexOfColor(global, image.BackgroundColor);
    s.WriteU8(std::uint8_t(std::max(background, 0)));
  }
  s.WriteU8(header.AspectRatio);
  if (global.Count > 0) WriteColorTable(s, global, BitsFor(global.Count));
  if (image.Looping && image.Frames.size() > 1) {
    s.WriteBuffer("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    s.WriteU16(image.LoopCount);
    s.WriteU8(0);
  }
  for (const auto& frame : image.Frames) WriteFrame(s, *frame);
  if (header.Comments.Count() > 0) {
    s.WriteU8(kExtension);
    s.WriteU8(0xFE);
    WriteSubBlocks(s, &header.Comments);
  }
  s.WriteU8(kTrailer);
  if (withSize) target.WriteU32(std::uint32_t(s.GetSize()));
  target.WriteBuffer(s.Bytes().data(), s.GetSize());
}

}  // namespace gif
