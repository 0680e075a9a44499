// Damaged metafiles: each draws what comes before the damage (or nothing),
// logs one line however often it is drawn, never raises from drawing, and
// asks for memory in bound of its own size. A picture of a red rectangle,
// then a blue one, spoiled in one place per case.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>

#include "base/LittleEndian.h"
#include "base/Log.h"
#include "platform/canvas/Bitmap.h"
#include "platform/metafile/Metafile.h"
#include "support/allocation/AllocationWatch.h"
#include "support/metafile/MetafileWriter.h"

namespace {

using test_metafile::TMetafileWriter;
using TBytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kWmfRectangle = 0x041B, kEmfRectangle = 43, kWmfPolygon = 0x0324, kEmfPolygon16 = 86;
constexpr std::uint32_t kWmfExtTextOut = 0x0A32, kEmfExtTextOutW = 84, kWmfStretchDib = 0x0F43, kEmfStretchDibits = 81;
constexpr std::uint32_t kEmfGradientFill = 118, kEmfAlphaBlend = 114, kEmfMaskBlt = 78;

struct TExpect {
  bool Loads = true;
  bool Red = true, Blue = true;
  // Part of the one line logged ("past" for damage, which each kind's
  // checks may find first); nullptr: nothing logged.
  const char* Logged = nullptr;
};

struct TBadCase {
  const char* Name;
  bool Enhanced;
  std::function<void(TMetafileWriter&)> Between;  // written between the two rectangles
  std::function<void(TBytes&)> Spoil;
  TExpect Expect;
};

void PrintTo(const TBadCase& c, std::ostream* os) { *os << c.Name; }

TBytes Picture(const TBadCase& c) {
  TMetafileWriter w(c.Enhanced, 100, 100);
  w.Select(w.Pen(5, 0, 0));
  w.Select(w.Brush(0, 0x0000FF));
  w.Rectangle({10, 10, 40, 40});
  const std::uint32_t blue = w.Brush(0, 0xFF0000);
  if (c.Between) c.Between(w);
  w.Select(blue);
  w.Rectangle({60, 60, 90, 90});
  TBytes bytes = w.Finish();
  if (c.Spoil) c.Spoil(bytes);
  return bytes;
}

std::size_t At(const TBytes& b, bool enhanced, std::uint32_t wmf, std::uint32_t emf, int nth = 0) {
  return TMetafileWriter::RecordAt(b, enhanced, enhanced ? emf : wmf, nth);
}

// The second rectangle's size field.
void HugeSize(TBytes& b, bool enhanced) { le::store32(b.data() + At(b, enhanced, kWmfRectangle, kEmfRectangle, 1) + (enhanced ? 4 : 0), 0x3FFFFFFF); }
void ZeroSize(TBytes& b, bool enhanced) { le::store32(b.data() + At(b, enhanced, kWmfRectangle, kEmfRectangle, 1) + (enhanced ? 4 : 0), 0); }

// "EMF+", an EMF+ header (dual or not) and the EMF+ end record.
TBytes EmfPlus(bool dual) {
  TBytes b{'E', 'M', 'F', '+'};
  auto u16 = [&](std::uint16_t v) { b.push_back(std::uint8_t(v)), b.push_back(std::uint8_t(v >> 8)); };
  auto u32 = [&](std::uint32_t v) { u16(std::uint16_t(v)), u16(std::uint16_t(v >> 16)); };
  u16(0x4001), u16(dual ? 1 : 0), u32(28), u32(16), u32(0xDBC01002), u32(0), u32(96), u32(96);
  u16(0x4002), u16(0), u32(12), u32(0);
  return b;
}

std::vector<TBadCase> Cases() {
  std::vector<TBadCase> cases;
  for (bool e : {false, true}) {
    const std::string kind = e ? "Emf" : "Wmf";
    auto add = [&](std::string name, std::function<void(TMetafileWriter&)> between, std::function<void(TBytes&)> spoil,
                   TExpect expect) {
      static std::vector<std::string> names;
      names.reserve(128);
      names.push_back(name + kind);
      cases.push_back({names.back().c_str(), e, std::move(between), std::move(spoil), expect});
    };
    add("RecordSizePastTheEnd", nullptr, [e](TBytes& b) { HugeSize(b, e); }, {true, true, false, "past"});
    add("RecordSizeZero", nullptr, [e](TBytes& b) { ZeroSize(b, e); }, {true, true, false, "past"});
    add("CutShort", nullptr, [e](TBytes& b) { b.resize(At(b, e, kWmfRectangle, kEmfRectangle, 1) + 8); },
        {true, true, false, "past"});
    add("ObjectIndexOutOfRange", [](TMetafileWriter& w) { w.RawSelect(500); }, nullptr, {true, true, true, "1 of them skipped"});
    add("DeletedTwice", [](TMetafileWriter& w) { const std::uint32_t p = w.Pen(0, 1, 0); w.Delete(p); w.RawDelete(p); },
        nullptr, {true, true, true, "1 of them skipped"});
    add("TextLengthPastItsRecord", [](TMetafileWriter& w) { w.Text(5, 50, "text"); },
        [e](TBytes& b) {
          const std::size_t at = At(b, e, kWmfExtTextOut, kEmfExtTextOutW);
          le::store16(b.data() + at + (e ? 44 : 10), 0x7FFF);
        },
        {true, true, false, "past"});
    add("PolyCountPastItsRecord", [](TMetafileWriter& w) { w.Polygon({{0, 0}, {5, 0}, {5, 5}}); },
        [e](TBytes& b) { le::store32(b.data() + At(b, e, kWmfPolygon, kEmfPolygon16) + (e ? 24 : 6), e ? 30000 : 30000 & 0xFFFF); },
        {true, true, false, "past"});
    add("SaveDcOneHundredThousandDeep", [](TMetafileWriter& w) { for (int i = 0; i < 100000; ++i) w.SaveDc(); }, nullptr,
        {true, true, true, "98976 of them skipped"});
    add("BitmapClaimingTenBillionPixels", [](TMetafileWriter& w) { w.StretchDib({0, 0, 10, 10}, 2, 2, {0, 0, 0, 0}, 0x00CC0020); },
        [e](TBytes& b) {
          const std::size_t at = At(b, e, kWmfStretchDib, kEmfStretchDibits);
          const std::size_t info = e ? at + le::load32(b.data() + at + 48) : at + 28;
          le::store32(b.data() + info + 4, 100000), le::store32(b.data() + info + 8, 100000);
        },
        {true, true, false, "past"});
    add("HeaderObjectCountLies", nullptr,
        [e](TBytes& b) { e ? le::store16(b.data() + 56, 1) : le::store16(b.data() + 22 + 10, 0); },
        {true, false, false, "skipped"});
    add("Empty", nullptr, [](TBytes& b) { b.clear(); }, {false, false, false, nullptr});
    add("Rop2OutOfRange", [](TMetafileWriter& w) { w.Rop2(99); }, nullptr, {true, true, true, "1 of them skipped"});
    if (!e) add("PlaceableBoundsWithoutWidth", nullptr, [](TBytes& b) { le::store16(b.data() + 10, le::load16(b.data() + 6)); },
                {false, false, false, nullptr});
    if (e) {
      // No frame, bounds of 1000 pixels on a device of one pixel to 2^31 - 1 mm: 8e12 pixels wide.
      add("HeaderSizePastAllMeasure", nullptr,
          [](TBytes& b) {
            for (std::size_t at : {8, 12, 24, 28, 32, 36}) le::store32(b.data() + at, 0);
            le::store32(b.data() + 16, 999), le::store32(b.data() + 20, 999);
            le::store32(b.data() + 72, 1), le::store32(b.data() + 76, 1);
            le::store32(b.data() + 80, 0x7FFFFFFF), le::store32(b.data() + 84, 0x7FFFFFFF);
          },
          {false, false, false, nullptr});
      // GradientFill: vertex count at 24, object count at 28, vertices from
      // 36 (16 bytes each), then the objects' indices. libuemf lets the
      // first two pass: the player's own checks find them.
      auto gradient = [](TMetafileWriter& w) {
        w.Gradient({{0, 0, 0, 0, 0, 0}, {5, 5, 0xFF00, 0xFF00, 0xFF00, 0}}, {0, 1}, 0);
      };
      auto inGradient = [](std::size_t offset, std::uint32_t value) {
        return [=](TBytes& b) { le::store32(b.data() + At(b, true, 0, kEmfGradientFill) + offset, value); };
      };
      add("GradientVertexCountPastItsRecord", gradient, inGradient(24, 4), {true, true, false, "gradient"});
      add("GradientObjectCountPastItsRecord", gradient, inGradient(28, 0x20000000), {true, true, false, "gradient"});
      add("GradientVertexIndexPastTheVertices", gradient, inGradient(36 + 2 * 16, 7), {true, true, true, "1 of them skipped"});
      // AlphaBlend: the source's pixel size at 96, its header's offset at 84.
      auto blend = [](TMetafileWriter& w) { w.AlphaBlend({0, 0, 10, 10}, 2, 2, {0, 0, 0, 0}, 128, true); };
      add("AlphaBlendPixelsPastItsRecord", blend,
          [](TBytes& b) { le::store32(b.data() + At(b, true, 0, kEmfAlphaBlend) + 96, 0x10000); }, {true, true, false, "past"});
      add("AlphaBlendClaimingTenBillionPixels", blend,
          [](TBytes& b) {
            const std::size_t info = At(b, true, 0, kEmfAlphaBlend) + le::load32(b.data() + At(b, true, 0, kEmfAlphaBlend) + 84);
            le::store32(b.data() + info + 4, 100000), le::store32(b.data() + info + 8, 100000);
          },
          {true, true, false, "past"});
      // MaskBlt: the mask's pixel offset at 120.
      add("MaskBltMaskPastItsRecord",
          [](TMetafileWriter& w) { w.MaskBlt({0, 0, 2, 2}, 2, 2, {0, 0, 0, 0}, {0, 0xFFFFFF, 0, 0xFFFFFF}, 0xAACC0020); },
          [](TBytes& b) { le::store32(b.data() + At(b, true, 0, kEmfMaskBlt) + 120, 0x7FFFFFF0); }, {true, true, false, "past"});
      add("AngleArcSweepNotANumber", [](TMetafileWriter& w) { w.AngleArc({50, 50}, 20, 0, std::nanf("")); }, nullptr,
          {true, true, true, "1 of them skipped"});
      // A blue pen of two billion units, doubled: wider than any canvas, it covers the picture.
      add("PenWiderThanTheIntegers", [](TMetafileWriter& w) { w.Select(w.Pen(0, 2000000000, 0xFF0000)), w.WorldTransformScale(2, 2); },
          nullptr, {true, false, true, nullptr});
      // EMF+ records in a comment: a dual file's repeat its plain records,
      // an EMF+-only file's are counted as skipped (header and end: 2).
      add("EmfPlusDual", [](TMetafileWriter& w) { w.Comment(EmfPlus(true)); }, nullptr, {true, true, true, nullptr});
      add("EmfPlusOnly", [](TMetafileWriter& w) { w.Comment(EmfPlus(false)); }, nullptr, {true, true, true, "2 of them skipped"});
    }
    add("HeaderOnly", nullptr, [e](TBytes& b) { b.resize(e ? 60 : 30); }, {false, false, false, nullptr});
  }
  return cases;
}

class BadMetafile : public testing::TestWithParam<TBadCase> {};

bool Coloured(const canvas::TBitmap& p, int x, int y, canvas::TColor c) { return p.ColorAt(x, y) == c; }

TEST_P(BadMetafile, DrawsWhatComesBeforeTheDamageAndLogsOneLine) {
  const TBytes bytes = Picture(GetParam());
  std::vector<std::string> lines;
  SetLogHook([&](const std::string& line) { lines.push_back(line); });
  canvas::TBitmap picture(100, 100, canvas::clWhite);
  test_support::TAllocationWatch watch;
  std::optional<metafile::TMetafileData> m;
  try {
    m.emplace(bytes);
    EXPECT_TRUE(GetParam().Expect.Loads);
  } catch (const canvas::EInvalidGraphic& e) {
    EXPECT_FALSE(GetParam().Expect.Loads) << e.Message();
    EXPECT_EQ(e.Message(), "Metafile is not valid");
  }
  if (m) {
    m->Draw(picture.Canvas(), {0, 0, 100, 100});
    m->Draw(picture.Canvas(), {0, 0, 100, 100});
  }
  EXPECT_LT(watch.Largest(), std::max<std::size_t>(1 << 20, 16 * bytes.size())) << "memory in bound of the file";
  SetLogHook(nullptr);
  EXPECT_EQ(Coloured(picture, 20, 20, canvas::RGB(255, 0, 0)), GetParam().Expect.Red);
  EXPECT_EQ(Coloured(picture, 70, 70, canvas::RGB(0, 0, 255)), GetParam().Expect.Blue);
  if (GetParam().Expect.Logged) {
    ASSERT_EQ(lines.size(), 1u) << "one line however often it is drawn";
    EXPECT_NE(lines[0].find(GetParam().Expect.Logged), std::string::npos) << lines[0];
  } else {
    EXPECT_TRUE(lines.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Damages, BadMetafile, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TBadCase>& i) { return std::string(i.param.Name); });

// Random bytes, whole or after a sound header of either kind: no raise
// from drawing, no hang, memory in bound.
TEST(BadMetafile, RandomBytesAreRefusedOrDrawnSafely) {
  std::mt19937 random(20240611);
  const TBytes wmf = Picture({"", false, nullptr, nullptr, {}}), emf = Picture({"", true, nullptr, nullptr, {}});
  const TBytes heads[] = {{}, TBytes(wmf.begin(), wmf.begin() + 40), TBytes(emf.begin(), emf.begin() + 108)};
  SetLogHook([](const std::string&) {});
  for (int round = 0; round < 300; ++round) {
    TBytes bytes = heads[round % 3];
    for (int i = 0; i < 2000; ++i) bytes.push_back(std::uint8_t(random()));
    canvas::TBitmap picture(64, 64);
    test_support::TAllocationWatch watch;
    std::optional<metafile::TMetafileData> m;
    try {
      m.emplace(bytes);
    } catch (const canvas::EInvalidGraphic&) {
    }
    if (m) m->Draw(picture.Canvas(), {0, 0, 64, 64});
    EXPECT_LT(watch.Largest(), std::size_t(1) << 20) << "round " << round;
  }
  SetLogHook(nullptr);
}

}  // namespace
