// The BMP reader (what it reads is written back and read again unchanged;
// input not starting with "BM" is read as a packed DIB),
// the icon reader and the JPEG reader; built once for each (PICTURE_KIND).

#include "FuzzInput.h"
#include "platform/forms/BitmapGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  try {
#if PICTURE_KIND == 1
    if (size < 2 || data[0] != 'B' || data[1] != 'M') {  // a packed DIB, as clipboards and metafiles hold them
      canvas::TDib dib = canvas::TDib::LoadPacked(data, size, false);
      Check(dib.ToBitmap().Width() == dib.Width());
      return 0;
    }
    TMemoryStream stream(bytes);
    forms::TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    TMemoryStream written;
    bitmap.SaveToStream(written);
    Check(canvas::TDib::LoadFromBmp(written.Bytes()).Pixels() == bitmap.Dib().Pixels());
    Check(bitmap.Picture().Width() == bitmap.GetWidth());
#else
    canvas::TBitmap picture = PICTURE_KIND == 2 ? canvas::DecodeIcon(bytes) : canvas::DecodeJpeg(bytes);
    Check(std::int64_t(picture.Width()) * picture.Height() <= canvas::TBitmap::kMaxPixels);
#endif
  } catch (const Exception&) {
  }
  return 0;
}
