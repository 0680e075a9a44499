#include "score/model/Score.h"

#include <algorithm>
#include <cstring>

#include "score/model/Item.h"
#include "score/model/Piece.h"
#include "score/model/ScoreView.h"
#include "score/model/Voice.h"

TKVScore::TKVScore(TObject* Owner) : FOwner(Owner) {
  FPage = std::make_unique<TKVPage>(this);
  FLayout = CreateLayoutService(*this);
  SetDefaults();
}

TKVScore::~TKVScore() {
  FFileTextList.Clear();
  ClearPieces();
  ClearItems();
  // A view that outlives the score must not keep a link to it.
  for (TKVScoreView* view : FWindows) view->LinkScore(nullptr);
  FWindows.clear();
  FPage.reset();
  FLayoutRecords.reset();
}

// The defaults of a new score, in the order of its fields. The layout is
// asked for once before the texts and fonts are set; with no pieces yet it
// lays out nothing.
void TKVScore::SetDefaults() {
  FSettings.SetDefaults();
  Reformat(0);

  FMusicFonts.Clear();
  FMusicFonts.Add("Ostinel Symbols");
  FMusicFonts.Add("Ostinel Jazz Symbols");
  FMusicFontName = "Ostinel Symbols";
  FTextFonts.Clear();
  for (int32_t i = 0; i < 21; ++i) {
    const char* name = "Arial";
    if (i == 8 || i == 20) name = "Monotype Corsiva";
    if (i == 16) name = "Modern No. 20";
    FTextFonts.SetEntry(i, name, 0);
  }
  FNoteNames = "CDEFGAB";
  FFlazholetName = "FL.";
  FInsertName = "Insert";
  FOverwriteName = "Overwrite";
  MeasureMusicFont();
}

void TKVScore::Changed() {
  if (OnChanged) OnChanged(this);
}

void TKVScore::MeasureMusicFont() {
  text::TTextMeasurer& measurer = text::CurrentMeasurer();
  text::TFontSpec font{FMusicFontName, 144, 0};
  FMusicMetric = measurer.GetTextMetrics(font);
  for (int i = 0; i < MusicGlyphCount; ++i) FMusicGlyphWidths[i] = measurer.TextWidth(font, {MusicGlyphs[i]});
  font.Size = 112;
  for (int i = 0; i < SmallMusicGlyphCount; ++i)
    FSmallMusicGlyphWidths[i] = measurer.TextWidth(font, {SmallMusicGlyphs[i]});
}

int32_t TKVScore::MusicGlyphWidth(char Glyph) const {
  const char* at = Glyph ? std::strchr(MusicGlyphs, Glyph) : nullptr;
  return at ? FMusicGlyphWidths[size_t(at - MusicGlyphs)] : 0;
}

int32_t TKVScore::SmallMusicGlyphWidth(char Glyph) const {
  const char* at = Glyph ? std::strchr(SmallMusicGlyphs, Glyph) : nullptr;
  return at ? FSmallMusicGlyphWidths[size_t(at - SmallMusicGlyphs)] : 0;
}

void TKVScore::SetPage(const TKVPage& Value) { FPage->Assign(Value); }

TObject* TKVScore::ActiveVoiceObject() { return GetActiveVoice(); }
