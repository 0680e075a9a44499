// GIF bytes read, written again and read back: the frames as read (their
// data kept), and new frames made from their decoded bitmaps (encoded
// afresh, the first one from 24 bits through the colour reduction) come
// back with the same colours at every pixel.

#include "FuzzInput.h"
#include "media/gif/GIFImage.h"

namespace {

// Frames small enough to encode and compare within the time of one input.
constexpr int kMaxPixels = 1 << 18;

// Every frame of Written decodes to the colours of Expected's frame.
void CheckSameColours(const std::vector<const canvas::TDib*>& expected, const std::vector<std::uint8_t>& written) {
  gif::TGIFsImage back;
  TMemoryStream in(written);
  back.LoadFromStream(in);
  Check(back.Frames.size() == expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const canvas::TDib& a = *expected[i];
    const canvas::TDib& b = back.Frames[i]->GetBitmap().Dib();
    Check(a.Width() == b.Width() && a.Height() == b.Height());
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) Check(a.ColorAt(x, y) == b.ColorAt(x, y));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  gif::TolerateCorruptData = true;
  gif::TGIFsImage image;
  std::vector<const canvas::TDib*> decoded;
  try {
    gif::ReadGIFStream(image, stream.GetSize(), stream, false);
    for (auto& frame : image.Frames) {
      const canvas::TDib& dib = frame->GetBitmap().Dib();
      if (dib.Empty() || std::int64_t(dib.Width()) * dib.Height() > kMaxPixels) return 0;
      decoded.push_back(&dib);
    }
  } catch (const Exception&) {
    return 0;  // what cannot be read is not written
  }
  if (decoded.empty()) return 0;
  // New frames from the pictures, the first one at 24 bits when it has few colours.
  gif::TGIFsImage fresh;
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    forms::TBitmap bitmap;
    bitmap.SetDib(*decoded[i]);
    if (i == 0 && decoded[i]->BitsPerPixel() == 8) bitmap.SetPixelFormat(forms::pf24bit);
    fresh.AddFrame(&bitmap);
  }
  TMemoryStream again, anew;
  image.SaveToStream(again);
  fresh.SaveToStream(anew);
  CheckSameColours(decoded, again.Bytes());
  CheckSameColours(decoded, anew.Bytes());
  return 0;
}
