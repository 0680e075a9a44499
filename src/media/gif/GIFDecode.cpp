// Decoding a frame's LZW data into the rows of a bitmap of 1, 4 or 8 bits
// per pixel. The bit reader never looks past the frame's data: a frame whose
// data ends early keeps what was decoded, the rest of its pixels 0.

#include <cmath>
#include <cstring>
#include <vector>

#include "base/Strings.h"
#include "media/gif/GIFImage.h"

namespace gif {

namespace {

const char* const kMessages[] = {
    "Not Implemented",
    "Cannot change the Size of a GIF image",
    "No GIF Data to write",
    "Unrecognized extension block: %.2x",
    "Wrong number of colors; must be a power of 2",
    "GIF code size not in range 2 to 9",
    "GIF encoded data is corrupt",
    "GIF image encoding error",
    "Unknown GIF version",
};

// Codes least significant bit first across the data sub-blocks.
class TBitReader {
public:
  explicit TBitReader(TStream& s) : FStream(s) {}
  // Whether Bits more bits can be had; reads the next sub-block when not.
  bool Need(int bits) {
    while (FBit + std::size_t(bits) > FWindow.size() * 8) {
      if (FEnded || FStream.Remaining() == 0) return false;
      std::uint8_t length = FStream.ReadU8();
      if (length == 0 || length > FStream.Remaining()) {
        FEnded = true;
        return false;
      }
      // Keep the bytes not yet used up (at most 3) in front of the new block.
      FWindow.erase(FWindow.begin(), FWindow.begin() + std::ptrdiff_t(FBit / 8));
      FBit %= 8;
      std::size_t kept = FWindow.size();
      FWindow.resize(kept + length);
      FStream.ReadBuffer(FWindow.data() + kept, length);
    }
    return true;
  }
  unsigned Get(int bits) {
    unsigned code = 0;
    for (int i = 0; i < bits; ++i, ++FBit) code |= unsigned(FWindow[FBit / 8] >> (FBit % 8) & 1) << i;
    return code;
  }

private:
  TStream& FStream;
  std::vector<std::uint8_t> FWindow;
  std::size_t FBit = 0;
  bool FEnded = false;
};

// Writes pixels left to right, rows top to bottom or in the four interlace passes.
class TPixelWriter {
public:
  TPixelWriter(const TLZWTarget& t, std::uint8_t* pixels)
      : FT(t), FPixels(pixels), FStride((std::size_t(t.Width) * std::size_t(t.BitsPerPixel) + 31) / 32 * 4) {}
  bool Done() const { return FRows >= FT.Height || FT.Width == 0; }
  void Put(unsigned v) {
    if (Done()) return;
    std::uint8_t* row = FPixels + std::size_t(FT.Height - 1 - FY) * FStride;
    if (FT.BitsPerPixel == 1)
      row[FX / 8] = std::uint8_t(row[FX / 8] | (v & 1) << (7 - FX % 8));
    else if (FT.BitsPerPixel == 4)
      row[FX / 2] = std::uint8_t(row[FX / 2] | (v & 15) << (FX % 2 ? 0 : 4));
    else
      row[FX] = std::uint8_t(v);
    if (++FX < FT.Width) return;
    FX = 0;
    ++FRows;
    if (!FT.Interlaced) {
      ++FY;
      return;
    }
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    FY += step[FPass];
    while (FY >= FT.Height && FPass < 3) FY = start[++FPass];
    if (FY >= FT.Height) FRows = FT.Height;
  }

private:
  const TLZWTarget& FT;
  std::uint8_t* FPixels;
  std::size_t FStride;
  int FX = 0, FY = 0, FPass = 0, FRows = 0;
};

}  // namespace

void GIFError(TGIFMessage message, int arg) {
  if (message == gmUnknownExtension) throw forms::EInvalidGraphicOperation(Format(kMessages[message], arg));
  throw forms::EInvalidGraphicOperation(kMessages[message]);
}

bool DecodeGIFLZW(TStream& in, const TLZWTarget& target, std::uint8_t* pixels, bool tolerate,
                  const forms::TProgressEvent& progress, TObject* sender) {
  auto report = [&](forms::TProgressStage stage, int percent, const std::string& msg) {
    if (progress) progress(sender, stage, percent, msg);
  };
  report(forms::psStarting, 0, "");
  bool corrupt = false;
  try {
    std::int64_t size = in.GetSize();
    int codeSize = in.Remaining() > 0 ? in.ReadU8() : 0;
    if (codeSize < 2 || codeSize > 9) {
      if (!tolerate) GIFError(gmCodeSize);
      corrupt = true;
      codeSize = codeSize < 2 ? 2 : 9;
    }
    std::vector<std::uint16_t> prefix(4096, 0), suffix(4096, 0), stack(4097, 0);
    unsigned mask = (1u << std::min(std::max<int>(target.ColorBits, 1), 8)) - 1;
    const unsigned clear = 1u << codeSize, end = clear + 1;
    unsigned free = clear + 2, width = unsigned(codeSize) + 1, limit = 1u << width;
    int old = -1;
    unsigned first = 0;
    TBitReader bits(in);
    TPixelWriter out(target, pixels);
    while (!out.Done() && !corrupt) {
      if (!bits.Need(int(width))) {
        // The data ends before the end code and the last row.
        if (!tolerate) throw forms::EInvalidGraphicOperation("Stream read error");
        corrupt = true;
        break;
      }
      unsigned code = bits.Get(int(width));
      if (progress) report(forms::psRunning, int(std::lround(double(in.GetPosition()) / double(size) * 100)), "");
      if (code == end) break;
      if (code == clear) {
        width = unsigned(codeSize) + 1;
        limit = 1u << width;
        free = clear + 2;
        old = -1;
        continue;
      }
      if (old < 0) {
        first = code & mask;
        out.Put(first);
        old = int(code);
        continue;
      }
      unsigned in_code = code, sp = 0;
      if (code >= free) {
        stack[sp++] = std::uint16_t(first);
        code = unsigned(old);
      }
      while (code > clear && code < 4096) {
        if (sp >= 4096) {
          if (!tolerate) GIFError(gmCorrupt);
          corrupt = true;
          break;
        }
        stack[sp++] = suffix[code];
        code = prefix[code];
      }
      if (corrupt) break;
      first = code & mask;
      stack[sp++] = std::uint16_t(first);
      if (free < 4096) {
        prefix[free] = std::uint16_t(old);
        suffix[free] = std::uint16_t(first);
        if (++free >= limit && width < 12) limit = 1u << ++width;
      }
      old = int(in_code);
      while (sp > 0) out.Put(stack[--sp] & mask);
    }
  } catch (const Exception& e) {
    report(forms::psEnding, 0, e.Message());
    throw;
  }
  report(forms::psEnding, 100, "");
  return corrupt;
}

}  // namespace gif
