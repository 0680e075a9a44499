#include "score/import/musicxml/XMLEncodings.h"

#include <iconv.h>

#include <cstdint>

bool SingleByteEncodingMap(const char* name, int (&map)[256]) {
  iconv_t cd = iconv_open("UTF-32LE", name);
  if (cd == iconv_t(-1)) return false;
  int characters = 0;
  for (int b = 0; b < 256; ++b) {
    char in[1] = {char(b)};
    uint8_t out[8];
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (r == size_t(-1) || inLeft != 0 || sizeof out - outLeft != 4) {
      map[b] = -1;
    } else {
      map[b] = int(out[0] | out[1] << 8 | out[2] << 16 | uint32_t(out[3]) << 24);
      ++characters;
    }
  }
  iconv_close(cd);
  // A multi-byte encoding leaves its lead bytes without a character; it
  // cannot be read byte by byte.
  return characters >= 128 && map['<'] == '<';
}
