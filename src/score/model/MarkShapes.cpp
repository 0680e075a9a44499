#include "score/model/MarkShapes.h"

#include "score/model/Score.h"

std::string MusicFontAt(TKVScore& Score, uint8_t FontIndex) {
  TStringList& fonts = Score.MusicFonts();
  if (fonts.Count() > FontIndex) return fonts.Strings(FontIndex);
  if (fonts.Count() > 0) return fonts.Strings(0);
  return Score.MusicFontName();
}
