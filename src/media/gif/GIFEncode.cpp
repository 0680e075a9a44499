// LZW compression of a frame's pixels into GIF data sub-blocks. Strings are
// found through an open-addressed hash of 17777 slots over one table of 4096
// codes; when the table is full (code 4094) a clear code starts afresh.

#include <cmath>
#include <vector>

#include "media/gif/GIFImage.h"

namespace gif {

namespace {

constexpr std::size_t kHashSlots = 17777;
constexpr std::uint16_t kEmptySlot = 0xFFFF;

// Codes least significant bit first, cut into sub-blocks of 255 bytes.
class TBitWriter {
public:
  explicit TBitWriter(TStream& s) : FStream(s) {}
  void Put(unsigned code, unsigned width) {
    FBits |= std::uint64_t(code) << FCount;
    for (FCount += width; FCount >= 8; FCount -= 8, FBits >>= 8) Byte(std::uint8_t(FBits));
  }
  // The last partial byte, the last sub-block and the zero-length block.
  void Flush() {
    if (FCount > 0) Byte(std::uint8_t(FBits));
    FBits = 0, FCount = 0;
    if (FUsed) WriteBlock();
    FStream.WriteU8(0);
  }

private:
  void Byte(std::uint8_t b) {
    FBlock[FUsed++] = b;
    if (FUsed == 255) WriteBlock();
  }
  void WriteBlock() {
    FStream.WriteU8(std::uint8_t(FUsed));
    FStream.WriteBuffer(FBlock, FUsed);
    FUsed = 0;
  }
  TStream& FStream;
  std::uint64_t FBits = 0;
  unsigned FCount = 0;
  std::uint8_t FBlock[255];
  unsigned FUsed = 0;
};

unsigned PixelAt(const std::uint8_t* row, int x, int bits) {
  switch (bits) {
    case 1: return row[x / 8] >> (7 - x % 8) & 1;
    case 4: return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    default: return row[x];
  }
}

// The image rows in the order they are written: top to bottom, or the four
// passes of an interlaced image.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(std::size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
  return rows;
}

}  // namespace

void EncodeGIFLZW(TStream& target, const TLZWTarget& info, const std::uint8_t* pixels,
                  const forms::TProgressEvent& progress, TObject* sender) {
  auto report = [&](forms::TProgressStage stage, int percent, const std::string& msg) {
    if (progress) progress(sender, stage, percent, msg);
  };
  report(forms::psStarting, 0, "");
  try {
    const int bits = info.BitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8) GIFError(gmEncoding);
    const unsigned startWidth = bits == 1 ? 3 : unsigned(bits) + 1;
    const unsigned clear = 1u << (startWidth - 1), end = clear + 1;
    target.WriteU8(std::uint8_t(startWidth - 1));
    TBitWriter out(target);
    unsigned width = startWidth, limit = 1u << width, free = clear + 2;
    struct TEntry {
      std::uint16_t Prefix;
      std::uint8_t Suffix;
    };
    std::vector<TEntry> entries(4096);
    std::vector<std::uint16_t> slots(kHashSlots, kEmptySlot);
    out.Put(clear, width);
    bool open = false;  // a string is being extended
    unsigned current = 0, length = 0;
    std::uint64_t hash = 0;
    const std::size_t stride = (std::size_t(info.Width) * std::size_t(bits) + 31) / 32 * 4;
    const std::vector<int> rows = RowOrder(info.Height, info.Interlaced);
    for (std::size_t done = 0; done < rows.size(); ++done) {
      const std::uint8_t* row = pixels + std::size_t(info.Height - 1 - rows[done]) * stride;
      for (int x = 0; x < info.Width; ++x) {
        const unsigned p = PixelAt(row, x, bits);
        if (!open) {
          current = p, hash = (p + 3) * 301, length = 1, open = true;
          continue;
        }
        ++length;
        hash = (p + length + 4) * hash % kHashSlots;
        std::size_t slot = std::size_t(hash);
        while (slots[slot] != kEmptySlot &&
               !(entries[slots[slot]].Prefix == current && entries[slots[slot]].Suffix == p))
          slot = (slot + 1) % kHashSlots;
        if (slots[slot] != kEmptySlot) {
          current = slots[slot];
          continue;
        }
        out.Put(current, width);
        const unsigned stored = free++;
        entries[stored] = {std::uint16_t(current), std::uint8_t(p)};
        slots[slot] = std::uint16_t(stored);
        current = p, hash = (p + 3) * 301, length = 1;
        if (stored == limit) {
          limit <<= 1;
          ++width;
        } else if (stored == 4094) {
          // The table is full: the pixel goes out alone and everything starts afresh.
          out.Put(current, width);
          out.Put(clear, width);
          width = startWidth, limit = 1u << width, free = clear + 2;
          std::fill(slots.begin(), slots.end(), kEmptySlot);
          open = false;
        }
      }
      report(forms::psRunning, int(std::lround(double(done + 1) / double(rows.size()) * 100)), "");
    }
    if (open) {
      out.Put(current, width);
      // A decoder adds a code for this last one too and may widen before the end code.
      if (free >= limit && width < 12) ++width;
    }
    out.Put(end, width);
    out.Flush();
  } catch (const Exception& e) {
    report(forms::psEnding, 0, e.Message());
    throw;
  }
  report(forms::psEnding, 100, "");
}

}  // namespace gif
