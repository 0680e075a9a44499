#include "media/audio/tags/Id3v2Tags.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Utf8.h"
#include "media/audio/tags/TagFile.h"

namespace {

// Frame IDs by frame, of set 0 (version 2.2) and set 1 (versions 2.3, 2.4).
const char* const kIds[2][12] = {
    {"TAL", "TP1", "TCO", "TT2", "TRK", "TYE", "COM", "TCM", "TEN", "TCR", "TLA", "WXX"},
    {"TALB", "TPE1", "TCON", "TIT2", "TRCK", "TYER", "COMM", "TCOM", "TENC", "TCOP", "TLAN", "WXXX"}};

constexpr uint8_t kFooterFlag = 0x10, kExtendedHeaderFlag = 0x40;

uint32_t SyncSafe(const uint8_t* p) {
  return uint32_t(p[0] & 0x7F) << 21 | uint32_t(p[1] & 0x7F) << 14 | uint32_t(p[2] & 0x7F) << 7 | (p[3] & 0x7F);
}

uint32_t BigEndian(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

void PutSyncSafe(uint8_t* p, uint32_t v) {
  for (int i = 3; i >= 0; --i, v >>= 7) p[i] = uint8_t(v & 0x7F);
}

struct THeader {
  int Version = 0;
  uint8_t Flags = 0;
  int64_t FramesEnd = 0;  // from the tag's start
  int64_t Size = 0;       // the whole tag, footer included
};

bool ParseHeader(const uint8_t* h, THeader& out) {
  if (std::memcmp(h, "ID3", 3) != 0 || h[4] == 255) return false;
  for (int i = 6; i < 10; ++i)
    if (h[i] >= 128) return false;
  // Flags a version does not define must be clear.
  static constexpr uint8_t kUndefined[3] = {0x3F, 0x1F, 0x0F};
  if (h[3] < 2 || h[3] > 4 || (h[5] & kUndefined[h[3] - 2]) != 0) return false;
  out.Version = h[3];
  out.Flags = h[5];
  out.FramesEnd = 10 + int64_t(SyncSafe(h + 6));
  out.Size = out.FramesEnd + (out.Flags & kFooterFlag ? 10 : 0);
  return true;
}

bool HeaderAt(int file, int64_t at, THeader& header) {
  uint8_t h[10];
  return tagfile::ReadAt(file, at, h, sizeof h) && ParseHeader(h, header);
}

// A text frame's body (after its encoding byte) as a value; nothing for an
// encoding not read.
TTagValue FrameText(uint8_t encoding, const uint8_t* p, size_t n) {
  switch (encoding) {
    case 0: return std::string(p, std::find(p, p + n, 0));
    case 1: {
      bool bigEndian = false;
      if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
        bigEndian = p[0] == 0xFE;
        p += 2;
        n -= 2;
      }
      std::u16string text;
      for (size_t i = 0; i + 1 < n; i += 2) {
        const char16_t c = bigEndian ? char16_t(p[i] << 8 | p[i + 1]) : char16_t(p[i + 1] << 8 | p[i]);
        if (c == 0) break;
        text += c;
      }
      return text;
    }
    case 3: return Utf8ToUtf16(std::string(p, std::find(p, p + n, 0)));
    default: return {};
  }
}

}  // namespace

TId3v2Tags::TId3v2Tags() {
  for (const auto& set : kIds)
    for (const char* id : set) AddName(id);
}

std::string TId3v2Tags::Id(TFrame frame, uint8_t set) { return kIds[set ? 1 : 0][frame]; }

bool TId3v2Tags::TagPresent(int file) {
  THeader header;
  const off_t at = ::lseek(file, 0, SEEK_CUR);
  return at >= 0 && HeaderAt(file, at, header);
}

bool TId3v2Tags::ReadFromFile(int file) {
  if (!IsOpen(file)) return false;
  Clear();
  THeader header;
  const off_t start = ::lseek(file, 0, SEEK_CUR);
  if (start < 0 || !HeaderAt(file, start, header)) return false;
  FFrameIdSet = header.Version == 2 ? 0 : 1;
  // A tag the file cuts short is not read (its frames would run past the
  // data that is there).
  if (tagfile::FileSize(file) - start < header.Size) return false;
  int64_t at = start + 10;
  if (header.Version > 2 && (header.Flags & kExtendedHeaderFlag)) {
    uint8_t size[4];
    if (!tagfile::ReadAt(file, at, size, 4)) return false;
    // Version 2.3 counts the bytes after the size field, 2.4 the whole header.
    at += header.Version == 3 ? 4 + int64_t(BigEndian(size, 4)) : int64_t(SyncSafe(size));
  }
  ReadFrames(file, at, start + header.FramesEnd, header.Version);
  ::lseek(file, off_t(start + header.Size), SEEK_SET);
  return true;
}

void TId3v2Tags::ReadFrames(int file, int64_t at, int64_t end, int version) {
  const int idLength = version == 2 ? 3 : 4;
  const int headerLength = version == 2 ? 6 : 10;
  std::vector<uint8_t> body;
  while (at + headerLength <= end) {
    uint8_t h[10];
    if (!tagfile::ReadAt(file, at, h, size_t(headerLength)) || h[0] < 'A' || h[0] > 'Z') return;
    const std::string id(h, h + idLength);
    const uint32_t size = version == 2 ? BigEndian(h + 3, 3) : version == 3 ? BigEndian(h + 4, 4) : SyncSafe(h + 4);
    at += headerLength;
    if (size > end - at) return;
    int frame = 0;
    while (frame < FrameCount && Id(TFrame(frame)) != id) ++frame;
    if (size > 0 && frame < FrameCount && frame != fComment) {
      body.resize(size);
      if (!tagfile::ReadAt(file, at, body.data(), size)) return;
      const TTagValue text = FrameText(body[0], body.data() + 1, size - 1);
      if (!std::holds_alternative<std::monostate>(text)) SetValue(id, text);
    }
    at += size;
  }
}

bool TId3v2Tags::WriteToFile(const std::string& fileName, bool unicode) {
  std::vector<uint8_t> tag(10, 0);
  for (int frame = 0; frame < FrameCount; ++frame) {
    if (frame == fComment) continue;
    // The texts of the current set go out under the four-letter IDs.
    const TTagValue value = Value(Id(TFrame(frame)));
    std::string text;
    uint8_t encoding = 0;
    if (unicode && std::holds_alternative<std::u16string>(value)) {
      text = Utf16ToUtf8(std::get<std::u16string>(value));
      encoding = 3;
    } else {
      text = AsString(Id(TFrame(frame)));
    }
    if (text.empty()) continue;
    const size_t at = tag.size();
    tag.resize(at + 11 + text.size());
    std::memcpy(&tag[at], Id(TFrame(frame), 1).data(), 4);
    PutSyncSafe(&tag[at + 4], uint32_t(1 + text.size()));
    tag[at + 10] = encoding;
    std::memcpy(&tag[at + 11], text.data(), text.size());
  }
  const size_t frames = tag.size() - 10;
  if (frames + 26 >= size_t(1) << 28) return false;  // past what the header's size can say
  tag.resize(tag.size() + 16 - (frames + 10) % 16, 0);
  std::memcpy(tag.data(), "ID3\4\0\0", 6);
  PutSyncSafe(&tag[6], uint32_t(tag.size() - 10));

  const int file = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  THeader old;
  const int64_t replaced = HeaderAt(file, 0, old) && old.Size <= tagfile::FileSize(file) ? old.Size : 0;
  ::close(file);
  return tagfile::Rewrite(fileName, tag, replaced, 0, {});
}
