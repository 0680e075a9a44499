// The real font services: text fonts through the project's font map and the
// music font through Emmentaler, as the score and the layout measure them.

#include "LayoutFixture.h"

#include <cstdlib>

#include "platform/musicfont/EmmentalerFont.h"
#include "platform/musicfont/FakeMusicFont.h"
#include "platform/text/FakeMeasurer.h"
#include "platform/text/FontMeasurer.h"
#include "score/layout/FontServices.h"
#include "score/model/Lyric.h"
#include "support/Raised.h"

namespace {

class RealFonts : public LayoutTest {
protected:
  ~RealFonts() override {
    text::InstallMeasurer(nullptr);
    musicfont::InstallMusicFont(nullptr);
  }
};

TEST_F(RealFonts, ScoresMeasureTheirMusicFontAndTextsWithTheRealFonts) {
  InstallFontServices();
  TKVScore real;
  musicfont::TEmmentalerFont emmentaler;
  EXPECT_GT(real.MusicGlyphWidth('A'), 0);
  EXPECT_EQ(real.MusicGlyphWidth('A'), emmentaler.Advance('A', 144));
  EXPECT_EQ(real.SmallMusicGlyphWidth('5'), emmentaler.Advance('5', 112));
  EXPECT_EQ(real.MusicFontMetric().Height, emmentaler.Metrics(144).Height);

  MakePiece(1, 1);
  TKVLyric* words = AddLyric(Measure(0, 0), 33, 0, {u"Allegro assai"});
  Layout();
  text::TFontMeasurer measurer;
  EXPECT_EQ(words->BoxWidth(), measurer.TextWidthW({"Arial", 64, 0}, u"Allegro assai"));
  EXPECT_EQ(words->BoxHeight(), measurer.TextHeight({"Arial", 64, 0}) + 24);
}

TEST_F(RealFonts, AMissingMusicFontIsReportedAndChangesNothing) {
  ::setenv(musicfont::TEmmentalerFont::kFolderVariable, "/nonexistent/fonts", 1);
  EXPECT_NE(RaisedBy<musicfont::EMusicFontError>(InstallFontServices).find("emmentaler-18.otf"), std::string::npos);
  ::unsetenv(musicfont::TEmmentalerFont::kFolderVariable);
  EXPECT_EQ(&typeid(musicfont::CurrentMusicFont()), &typeid(musicfont::TFakeMusicFont));
  EXPECT_EQ(&typeid(text::CurrentMeasurer()), &typeid(text::TFakeMeasurer));
}

}  // namespace
