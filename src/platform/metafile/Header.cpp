#include "platform/metafile/Header.h"

#include <uemf.h>
#include <uwmf.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/LittleEndian.h"
#include "platform/canvas/Bitmap.h"

namespace metafile {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7, kEmfSignature = 0x464D4520;
constexpr std::size_t kPlaceableSize = 22, kWmfHeaderSize = 18, kEmfHeaderSize = 88;
constexpr std::uint32_t kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C;

[[noreturn]] void Invalid() { throw canvas::EInvalidGraphic("Metafile is not valid"); }

// Wider or taller than this (4.4 km at 96 pixels per inch), no picture is meant;
// within it, sizes and the sums of layouts stay well inside an int.
constexpr double kMostPixels = 1 << 24;

// A frame's side at 96 pixels per inch; a side that is no measure makes the header invalid.
int Pixels(double units, double unitsPerMm) {
  const double pixels = units / unitsPerMm * 96 / 25.4;
  if (!(pixels > 0 && pixels <= kMostPixels)) Invalid();
  return std::max(1, int(std::lround(pixels)));
}

// Records that draw: the window set after one of them is no longer the frame.
bool Draws(std::uint32_t function) {
  static constexpr std::uint16_t drawing[] = {0x0213, 0x0324, 0x0325, 0x0538, 0x041B, 0x061C, 0x0418, 0x0817,
                                              0x081A, 0x0830, 0x0521, 0x0A32, 0x0940, 0x0B41, 0x0F43, 0x0D33,
                                              0x0922, 0x0B23, 0x061D, 0x041F, 0x0228, 0x0429, 0x012A, 0x012B,
                                              0x0419, 0x0548};
  for (std::uint16_t f : drawing)
    if (f == function) return true;
  return false;
}

// The first window origin and extent of a Windows metafile without the
// placeable header, as its frame.
void WindowFrame(std::span<const std::uint8_t> bytes, THeader& h) {
  TRecordWalk walk(TKind::Wmf, bytes, h.FirstRecord);
  TRecord r;
  bool extent = false;
  while (walk.Next(r) && !Draws(r.Type)) {
    U_POINT16 p{};
    if (r.Type == kSetWindowOrg && U_WMRSETWINDOWORG_get(reinterpret_cast<const char*>(r.Data), &p))
      h.FrameLeft = p.x, h.FrameTop = p.y;
    if (r.Type == kSetWindowExt && U_WMRSETWINDOWEXT_get(reinterpret_cast<const char*>(r.Data), &p))
      h.FrameWidth = p.x, h.FrameHeight = p.y, extent = true;
  }
  if (!extent || h.FrameWidth == 0 || h.FrameHeight == 0) Invalid();
  // A negative extent turns the picture over; the frame itself is the same area.
  if (h.FrameWidth < 0) h.FrameLeft += h.FrameWidth, h.FrameWidth = -h.FrameWidth;
  if (h.FrameHeight < 0) h.FrameTop += h.FrameHeight, h.FrameHeight = -h.FrameHeight;
}

THeader ReadWmf(std::span<const std::uint8_t> bytes) {
  THeader h;
  h.Kind = TKind::Wmf;
  U_WMRPLACEABLE placeable{};
  U_WMRHEADER header{};
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  h.Placeable = le::load32(bytes.data()) == kPlaceableKey;
  const std::size_t start = h.Placeable ? kPlaceableSize : 0;
  if (bytes.size() < start + kWmfHeaderSize) Invalid();
  if (!wmfheader_get(data, data + bytes.size(), &placeable, &header)) Invalid();
  const std::uint16_t type = le::load16(bytes.data() + start), words = le::load16(bytes.data() + start + 2);
  if ((type != 1 && type != 2) || words != 9) Invalid();
  h.FirstRecord = start + kWmfHeaderSize;
  h.Objects = le::load16(bytes.data() + start + 10);
  if (h.Placeable) {
    const std::uint8_t* p = bytes.data();
    const auto left = std::int16_t(le::load16(p + 6)), top = std::int16_t(le::load16(p + 8));
    const auto right = std::int16_t(le::load16(p + 10)), bottom = std::int16_t(le::load16(p + 12));
    const std::uint16_t inch = le::load16(p + 14);
    // Bounds without area give the picture no size, as a window without extent does.
    if (inch == 0 || left == right || top == bottom) Invalid();
    h.FrameLeft = std::min(left, right), h.FrameTop = std::min(top, bottom);
    h.FrameWidth = std::abs(right - left), h.FrameHeight = std::abs(bottom - top);
    h.UnitsPerMmX = h.UnitsPerMmY = inch / 25.4;
  } else {
    WindowFrame(bytes, h);
  }
  return h;
}

THeader ReadEmf(std::span<const std::uint8_t> bytes) {
  THeader h;
  h.Kind = TKind::Emf;
  const std::uint8_t* p = bytes.data();
  const std::uint32_t size = le::load32(p + 4);
  if (size < kEmfHeaderSize || size % 4 != 0 || size > bytes.size()) Invalid();
  auto i32 = [p](std::size_t at) { return double(std::int32_t(le::load32(p + at))); };
  h.FirstRecord = size;
  h.Objects = le::load16(p + 56);
  const double devX = i32(72), devY = i32(76), mmX = i32(80), mmY = i32(84);
  if (devX > 0 && devY > 0 && mmX > 0 && mmY > 0) h.UnitsPerMmX = devX / mmX, h.UnitsPerMmY = devY / mmY;
  // The frame in 0.01 mm, inclusive; without one, the bounds in device pixels.
  const double fl = i32(24), ft = i32(28), fr = i32(32), fb = i32(36);
  if (fr > fl && fb > ft) {
    h.FrameLeft = fl / 100 * h.UnitsPerMmX, h.FrameTop = ft / 100 * h.UnitsPerMmY;
    h.FrameWidth = (fr - fl) / 100 * h.UnitsPerMmX, h.FrameHeight = (fb - ft) / 100 * h.UnitsPerMmY;
  } else {
    const double bl = i32(8), bt = i32(12), br = i32(16), bb = i32(20);
    if (br < bl || bb < bt) Invalid();
    h.FrameLeft = bl, h.FrameTop = bt, h.FrameWidth = br - bl + 1, h.FrameHeight = bb - bt + 1;
  }
  return h;
}

}  // namespace

THeader ReadHeader(std::span<const std::uint8_t> bytes) {
  const bool enhanced =
      bytes.size() >= kEmfHeaderSize && le::load32(bytes.data()) == 1 && le::load32(bytes.data() + 40) == kEmfSignature;
  if (!enhanced && bytes.size() < kWmfHeaderSize) Invalid();
  THeader h = enhanced ? ReadEmf(bytes) : ReadWmf(bytes);
  h.Width = Pixels(h.FrameWidth, h.UnitsPerMmX), h.Height = Pixels(h.FrameHeight, h.UnitsPerMmY);
  return h;
}

}  // namespace metafile
