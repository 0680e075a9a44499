// Reading a GIF 87a or 89a byte stream into an image: the blocks, the
// extensions that belong to each image, and each image's data kept as read.
// Every read is bounded by the bytes the stream still holds.

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/LittleEndian.h"
#include "media/gif/GIFImage.h"

namespace gif {

bool TolerateCorruptData = true;

namespace {

constexpr std::uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;

[[noreturn]] void StreamReadError() { throw forms::EInvalidGraphicOperation("Stream read error"); }

bool SameText(const std::uint8_t* bytes, const char* text) {
  for (int i = 0; text[i]; ++i)
    if (std::tolower(bytes[i]) != std::tolower(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

int BitCount(std::int32_t count) {
  int bits = 0;
  while ((1 << bits) < count && bits < 8) ++bits;
  return bits;
}

void ReadColorTable(TStream& s, TGIFColorTable& table, int bits) {
  table = TGIFColorTable();
  table.Count = 1 << bits;
  s.ReadBuffer(table.Colors, table.Count * 3);
}

std::string ReadSubBlock(TStream& s, std::uint8_t length) {
  std::string block(std::size_t(std::min<std::int64_t>(length, s.Remaining())), '\0');
  s.ReadBuffer(block.data(), std::int64_t(block.size()));
  return block;
}

// The loop block of an animation: "NETSCAPE2.0" or "ANIMEXTS1.0" with a
// first sub-block of at least 3 bytes starting with 1.
void TakeLoop(TGIFsImage& image, const TExtension& ext) {
  if (ext.BlockHeader.size() < 12) return;
  const std::uint8_t* id = ext.BlockHeader.data() + 1;
  if (std::memcmp(id, "NETSCAPE2.0", 11) != 0 && std::memcmp(id, "ANIMEXTS1.0", 11) != 0) return;
  if (!ext.SubBlocks || ext.SubBlocks->Count() == 0) return;
  const std::string& b = ext.SubBlocks->Strings(0);
  if (b.size() < 3 || b[0] != 1) return;
  image.Looping = true;
  image.LoopCount = std::uint16_t(std::min(30000, le::load16(reinterpret_cast<const std::uint8_t*>(b.data() + 1)) + 0));
}

void ReadFrame(TGIFsImage& image, TGIFsFrame& frame, TStream& s) {
  TGIFsItem& data = *frame.Data;
  const TGIFColorTable& global = image.Header->ColorTable;
  data.ColorBits = std::uint8_t(global.Count > 0 ? BitCount(global.Count) : 0);
  std::uint8_t d[9];
  s.ReadBuffer(d, 9);
  frame.Left = le::load16(d);
  frame.Top = le::load16(d + 2);
  data.Width = le::load16(d + 4);
  data.Height = le::load16(d + 6);
  data.Packed = d[8];
  frame.Interlaced = (d[8] & 0x40) != 0;
  if (d[8] & 0x80) {
    data.ColorBits = std::uint8_t((d[8] & 7) + 1);
    ReadColorTable(s, data.ColorTable, data.ColorBits);
    frame.HasLocalColorTable = true;
  } else {
    data.ColorTable = TGIFColorTable();
  }
  data.EncodedData.WriteU8(s.ReadU8());
  for (;;) {
    if (s.Remaining() == 0) {
      frame.Corrupt = true;
      break;
    }
    std::uint8_t length = s.ReadU8();
    if (length > s.Remaining()) {
      frame.Corrupt = true;
      break;
    }
    data.EncodedData.WriteU8(length);
    if (length == 0) break;
    data.EncodedData.CopyFrom(s, length);
  }
  if (frame.Corrupt && !TolerateCorruptData) StreamReadError();
  if (data.Width == 0) data.Width = image.ScreenWidth;
  if (data.Height == 0) data.Height = image.ScreenHeight;
  if (!frame.HasLocalColorTable) data.ColorTable = global;
  frame.Delay = 0;
  if (!frame.Extensions) return;
  for (const auto& ext : *frame.Extensions) {
    if (ext->Kind != ekGraphicControl || ext->BlockHeader.size() < 6) continue;
    const std::uint8_t* h = ext->BlockHeader.data();
    if (!(h[1] & 1)) {
      frame.TransparentColor = kGIFNone;
      frame.TransparentIndex = -1;
    } else if (h[4] < data.ColorTable.Count) {
      frame.TransparentColor = data.ColorTable.Color(h[4]);
      frame.TransparentIndex = h[4];
    }
    // Hundredths of a second to milliseconds, held to the field's 16 bits.
    frame.Delay = std::uint16_t(std::min(65535, std::max<int>(frame.Delay, le::load16(h + 2) * 10)));
    frame.Disposal = std::uint8_t((h[1] & 0x1C) >> 2);
  }
}

}  // namespace

std::unique_ptr<TExtension> ReadGIFExtensionBlock(TStream& s) {
  static const std::uint8_t labels[4] = {0xF9, 0x01, 0xFF, 0xFE};
  static const int headerSizes[4] = {6, 13, 12, 0};
  std::uint8_t label = s.ReadU8();
  const std::uint8_t* kind = std::find(labels, labels + 4, label);
  if (kind == labels + 4) GIFError(gmUnknownExtension, label);
  auto ext = std::make_unique<TExtension>();
  ext->Kind = std::uint8_t(kind - labels);
  ext->BlockHeader = s.ReadBytes(headerSizes[ext->Kind]);
  if (ext->Kind == ekGraphicControl) return ext;
  ext->SubBlocks = std::make_unique<TStringList>();
  while (s.Remaining() > 0) {
    std::uint8_t length = s.ReadU8();
    if (length == 0) break;
    ext->SubBlocks->Add(ReadSubBlock(s, length));
  }
  return ext;
}

std::unique_ptr<TExtensionList> ReadGIFExtension(TGIFsImage& image, TStream& s, std::uint8_t& label) {
  auto list = std::make_unique<TExtensionList>();
  while (label == kExtension) {
    std::unique_ptr<TExtension> ext = ReadGIFExtensionBlock(s);
    // Plain text takes the extensions before it along (a graphic control
    // before it belongs to the text, not to the next image).
    if (ext->Kind == ekPlainText)
      list->clear();
    else if (ext->Kind == ekApplication)
      TakeLoop(image, *ext);
    else
      list->push_back(std::move(ext));
    label = s.Remaining() > 0 ? s.ReadU8() : kTrailer;
  }
  if (list->empty()) list.reset();
  return list;
}

void ReadGIFStream(TGIFsImage& image, std::int64_t size, TStream& source, bool decodeFirst) {
  image.Reset();
  if (size > 0) {
    TMemoryStream s(source.ReadBytes(size));
    std::uint8_t sig[6] = {};
    if (s.Read(sig, 6) != 6 || !SameText(sig, "GIF")) GIFError(gmUnknownVersion);
    if (SameText(sig + 3, "87a"))
      image.Version = 1;
    else if (SameText(sig + 3, "89a"))
      image.Version = 2;
    else
      GIFError(gmUnknownVersion);
    std::uint8_t screen[7];
    s.ReadBuffer(screen, 7);
    image.ScreenWidth = le::load16(screen);
    image.ScreenHeight = le::load16(screen + 2);
    TGIFsData& header = *image.Header;
    header.ColorBits = std::uint8_t((screen[4] & 7) + 1);
    header.ColorResolution = std::uint8_t(((screen[4] & 0x70) >> 4) + 1);
    header.AspectRatio = screen[6];
    if (screen[4] & 0x80) {
      ReadColorTable(s, header.ColorTable, header.ColorBits);
      if (screen[5] < header.ColorTable.Count) image.BackgroundColor = header.ColorTable.Color(screen[5]);
    }
    std::uint8_t label = s.Remaining() > 0 ? s.ReadU8() : kTrailer;
    while (label != 0 && label != kTrailer && s.Remaining() > 0) {
      std::unique_ptr<TExtensionList> exts = ReadGIFExtension(image, s, label);
      if (label == kImage) {
        auto frame = std::make_unique<TGIFsFrame>(&image);
        frame->Extensions = std::move(exts);
        ReadFrame(image, *frame, s);
        image.Frames.push_back(std::move(frame));
        label = kTrailer;
        while (s.Remaining() > 0) {
          std::uint8_t b = s.ReadU8();
          if (b != 0) {
            label = b;
            break;
          }
        }
        if (label != kExtension && label != kImage && label != kTrailer) label = 0;
      } else if (exts && image.Header->Comments.Count() == 0) {
        bool first = true;
        for (const auto& ext : *exts) {
          if (ext->Kind != ekComment) continue;
          if (!first) image.Header->Comments.Add("\r\n\r\n");
          first = false;
          for (int i = 0; ext->SubBlocks && i < ext->SubBlocks->Count(); ++i)
            image.Header->Comments.Add(ext->SubBlocks->Strings(i));
        }
      } else if (label != 0 && label != kTrailer) {
        StreamReadError();
      }
    }
    if (!image.Frames.empty()) {
      image.CurrentFrame = 0;
      if (decodeFirst) {
        try {
          image.Frames[0]->GetBitmap();
        } catch (...) {
          image.Frames.erase(image.Frames.begin());
          image.CurrentFrame = image.Frames.empty() ? -1 : 0;
          throw;
        }
      }
    }
  }
  image.Changed();
}

}  // namespace gif
