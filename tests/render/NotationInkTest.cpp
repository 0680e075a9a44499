// The notation drawn with the real canvas and fonts (Emmentaler for the
// music font) at zoom 100, 150 and 300: where the ink of heads, stems,
// rests and clefs lands, measured against the staff lines drawn on the
// same page. Each builder page is also saved into the build folder
// (render-pages/) for people to look at.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "platform/text/TextMeasurer.h"
#include "render/InkMeasure.h"
#include "render/NotationBuilder.h"
#include "render/notation/GlyphCodes.h"
#include "score/layout/FontServices.h"

namespace {

using TAdd = std::function<void(TNotationBuilder&)>;

class NotationInk : public ::testing::TestWithParam<int> {
protected:
  static void SetUpTestSuite() { InstallFontServices(); }
  static void TearDownTestSuite() {
    text::InstallMeasurer(nullptr);
    musicfont::InstallMusicFont(nullptr);
  }
  int Zoom() const { return GetParam(); }

  // Spaces of 9 pixels at 100 %: drawn at 150 % they round to whole pixels
  // away from where the layout put the notes, which the vertical snap
  // corrects.
  static constexpr int kSpacePx = 9, kSpace = 8 * kSpacePx;
  canvas::TBitmap Page(const TAdd& Add, int Lines = 5) {
    TPageBuilder b(1, kSpacePx);
    TNotationBuilder n(b, Lines, 100, TNotationBuilder::kTop, kSpace);
    if (Add) Add(n);
    canvas::TBitmap bitmap(Zoom() * 5 / 2, Zoom() * 11 / 5);
    render::TKVPageDrawer(b.View, bitmap.Canvas()).DrawPageContent(0, Zoom(), Zoom(), 0, 0);
    return bitmap;
  }
  // Without: what the base page holds besides the staff.
  TInk InkOf(const TAdd& Add, const TAdd& Without = nullptr, int Lines = 5) {
    return InkBetween(Page(Without, Lines), Page(Add, Lines));
  }
  std::vector<double> StaffLines(int Lines = 5) {
    canvas::TBitmap base = Page(nullptr, Lines);
    return LineCentres(base, base.Width() - 10);
  }
  double Unit() const { return Zoom() / 100.0; }  // one pixel at 100 %
};

// A head at each position from four half spaces above the staff to four
// below lies centred on its line or space.
TEST_P(NotationInk, HeadsSitOnTheirLinesAndSpaces) {
  std::vector<double> lines = StaffLines();
  ASSERT_EQ(lines.size(), 5u);
  const double half = (lines[4] - lines[0]) / 8;
  if (Zoom() == 150) {
    ASSERT_NE(lines[4] - lines[0], 4 * kSpacePx * 1.5) << "the drawn staff rounds its spaces";
  }
  for (int pos = -4; pos <= 12; ++pos)
    for (bool down : {false, true}) {
      const int32_t width = musicfont::CurrentMusicFont().Advance('5', 18) * 8;
      // The ledger lines drawn for the note stay on both pages.
      TInk ink = InkOf([&](TNotationBuilder& n) { n.Head(n.NewNote(pos, 128, down), 800, width); },
                       [&](TNotationBuilder& n) {
                         n.Head(n.NewNote(pos, 128, down), 800, width).DrawFlags = DisplayDrawFlag::Suppressed;
                       });
      ASSERT_FALSE(ink.Empty()) << pos;
      EXPECT_NEAR((ink.Top + ink.Bottom + 1) / 2.0, lines[0] + pos * half, 1.0) << "position " << pos;
    }
}

// A stem's end at the note reaches the head's ink, on the head's side.
TEST_P(NotationInk, StemsMeetTheirHeads) {
  const int32_t width = musicfont::CurrentMusicFont().Advance('5', 18) * 8;
  for (int pos : {-3, 0, 4, 7, 11})
    for (bool down : {false, true})
      for (bool beamed : {false, true}) {
        // Quarters alone, eighths beamed: no flag joins the stem's ink.
        const uint16_t duration = beamed ? 64 : 128;
        TAdd head = [&](TNotationBuilder& n) { n.Head(n.NewNote(pos, duration, down), 800, width); };
        TInk headInk = InkOf(head, [&](TNotationBuilder& n) {
          n.Head(n.NewNote(pos, duration, down), 800, width).DrawFlags = DisplayDrawFlag::Suppressed;
        });
        TInk stemInk = InkOf(
            [&](TNotationBuilder& n) {
              head(n);
              TKVNote& note = *static_cast<TKVNote*>(n.Record->Displays.back()->Item);
              TKVDisplayItem& stem = n.Stem(note, 800, width);
              if (beamed) n.Beam({&stem, &n.Stem(n.NewNote(pos, duration, down), 1600, width)});
            },
            head);
        ASSERT_FALSE(stemInk.Empty());
        SCOPED_TRACE(::testing::Message() << "position " << pos << (down ? " down" : " up") << (beamed ? " beamed" : ""));
        if (down) {
          EXPECT_NEAR(stemInk.Top, (headInk.Top + headInk.Bottom) / 2.0, headInk.Bottom - headInk.Top);
          EXPECT_NEAR(stemInk.Left, headInk.Left, 1);
        } else {
          EXPECT_NEAR(stemInk.Bottom, (headInk.Top + headInk.Bottom) / 2.0, headInk.Bottom - headInk.Top);
          EXPECT_NEAR(std::min(stemInk.Right, headInk.Right + 1), headInk.Right, 1);
        }
        EXPECT_GE(std::min(stemInk.Bottom, headInk.Bottom) + 1, std::max(stemInk.Top, headInk.Top)) << "they touch";
      }
}

// Rests stay inside their rectangle widened by one space; clefs inside the
// staff widened by two spaces.
TEST_P(NotationInk, RestsAndClefsStayInPlace) {
  std::vector<double> lines = StaffLines();
  ASSERT_EQ(lines.size(), 5u);
  const double space = (lines[4] - lines[0]) / 4;
  const int32_t top = TNotationBuilder::kTop, ls = kSpace;
  for (uint16_t duration : {512, 256, 192, 128, 64, 32, 16, 8, 4}) {
    const int32_t w = musicfont::CurrentMusicFont().Advance(render::glyph::RestGlyph(duration), 18) * 8;
    const TKVLayoutRect r = duration == 512   ? TKVLayoutRect{800, top + ls, 800 + ls, top + ls + ls / 2}
                            : duration == 256 ? TKVLayoutRect{800, top + 3 * ls / 2, 848, top + 2 * ls}
                                              : TKVLayoutRect{800, top, 800 + w, top + 4 * ls};
    TInk ink = InkOf([&](TNotationBuilder& n) {
      auto* rest = new TKVPause(n.Measure);
      rest->SetValue(duration), rest->SetDuration(duration);
      n.Add(rest, r);
    });
    ASSERT_FALSE(ink.Empty()) << duration;
    const double z = Zoom() / 800.0;
    EXPECT_GE(ink.Left, r.Left * z - space) << duration;
    EXPECT_LE(ink.Right + 1, r.Width * z + space) << duration;
    EXPECT_GE(ink.Top, r.Top * z - space) << duration;
    EXPECT_LE(ink.Bottom + 1, r.Bottom * z + space) << duration;
  }
  for (uint8_t type = 1; type <= 18; ++type) {
    const int32_t extent = type == 1 || type == 4 || type == 5 || type == 12 || type == 16 || type == 17 ? 96 : 0;
    TInk ink = InkOf([&](TNotationBuilder& n) {
      n.Add(&n.NewMark(ItemKind::Clef, type), {800, top - extent, 900, top + 4 * ls + extent});
    });
    ASSERT_FALSE(ink.Empty()) << int(type);
    EXPECT_GE(ink.Top, lines[0] - 2 * space) << int(type);
    EXPECT_LE(ink.Bottom + 1, lines[4] + 2 * space) << int(type);
  }
}

// A page of what these drawers draw, saved for people to look at:
// build/<flavour>/render-pages/builder-notation-<zoom>.png.
TEST_P(NotationInk, WritesTheBuilderSheet) {
  TPageBuilder b;
  auto width = [](uint8_t code) { return musicfont::CurrentMusicFont().Advance(code, 18) * 8; };
  const int32_t head = width('5'), ls = TNotationBuilder::kSpace;
  int32_t x = 80;
  auto next = [&](int32_t step = 200) { return x += step; };
  // Notes, flags, beams, ledger lines and rests on a five-line staff.
  TNotationBuilder a(b, 5, 100, 800);
  a.Add(&a.NewMark(ItemKind::Clef, 1), {x, 800 - 96, x + width('"'), 1120 + 96});
  for (auto [pos, duration, down] : {std::tuple{8, 1024, false}, {7, 512, false}, {6, 256, false}, {5, 128, false},
                                     {4, 64, false}, {2, 32, true}, {1, 16, true}, {0, 8, true}, {-4, 128, false},
                                     {12, 128, true}}) {
    TKVNote& note = a.NewNote(pos, uint16_t(duration), down);
    a.Head(note, next(), duration == 512 ? width('*') : duration == 1024 ? width(')') : head);
    if (duration < 512) a.Stem(note, x, head);
  }
  std::vector<TKVDisplayItem*> group;
  for (int pos : {8, 6, 4, 2}) {
    TKVNote& note = a.NewNote(pos, 32);
    a.Head(note, next(160), head);
    group.push_back(&a.Stem(note, x, head, 280 + (8 - pos) * 40));
  }
  a.Beam(group);
  group.clear();
  for (auto [pos, duration] : {std::pair{3, 64}, {2, 32}, {1, 64}}) {
    TKVNote& note = a.NewNote(pos, uint16_t(duration), true);
    a.Head(note, next(180), head);
    group.push_back(&a.Stem(note, x, head, 280 + (pos - 1) * 40));
  }
  a.Beam(group);
  next(120);
  for (uint16_t duration : {512, 256, 128, 64, 32, 16, 8}) {
    auto* rest = new TKVPause(a.Measure);
    rest->SetValue(duration), rest->SetDuration(duration);
    const int32_t left = next(), w = width(render::glyph::RestGlyph(duration));
    a.Add(rest, duration == 512   ? TKVLayoutRect{left, 800 + ls, left + ls, 800 + ls + ls / 2}
                : duration == 256 ? TKVLayoutRect{left, 800 + 3 * ls / 2, left + 48, 800 + 2 * ls}
                                  : TKVLayoutRect{left, 800, left + w, 800 + 4 * ls});
  }
  // Every clef type, then the brackets.
  TNotationBuilder c(b, 5, 100, 2000);
  x = 80;
  for (uint8_t type = 1; type <= 18; ++type) {
    const int32_t extent = type == 1 || type == 4 || type == 5 || type == 12 || type == 16 || type == 17 ? 96 : 0;
    c.Add(&c.NewMark(ItemKind::Clef, type), {next(type == 1 ? 0 : 320), 2000 - extent, x + 200, 2320 + extent});
  }
  c.Add(&c.NewMark(ItemKind::StaffBracket, 0), {0, 2000, 80, 3200});
  c.Add(&c.NewMark(ItemKind::StaffBracket, 1), {24, 2000 - 8, 48, 2320 + 8});
  // Tablature frets with their flag bars.
  TNotationBuilder t(b, 6, 100, 3000);
  t.StaffOf->Data().setU8(StaffBlock::Tablature, 1);
  x = 80;
  for (auto [fret, duration] : {std::pair{1, 512}, {4, 256}, {13, 128}, {0, 64}, {6, 32}}) {
    TKVNote& note = t.NewNote(0, uint16_t(duration));
    note.SetFret(uint8_t(fret));
    t.Add(&note, {next(), 3000 + 40, x + 64, 3000 + 120});
    if (duration < 512) t.Stem(note, x, 64);
  }
  canvas::TBitmap page(Zoom() * 6, Zoom() * 9 / 2);
  render::TKVPageDrawer(b.View, page.Canvas()).DrawPageContent(0, Zoom(), Zoom(), 0, 0);
  const std::filesystem::path folder = std::filesystem::path(SONARID_BINARY_DIR) / "render-pages";
  std::filesystem::create_directories(folder);
  page.SaveToPngFile((folder / ("builder-notation-" + std::to_string(Zoom()) + ".png")).string());
}

INSTANTIATE_TEST_SUITE_P(Zooms, NotationInk, ::testing::Values(100, 150, 300));

}  // namespace
