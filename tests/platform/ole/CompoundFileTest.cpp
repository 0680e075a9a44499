// Compound files written by gsf, listed by python3-olefile and by our reader;
// damaged at the header and table fields the format's description names.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/canvas/Bitmap.h"
#include "platform/ole/EmbeddedObject.h"
#include "support/OleFiles.h"

namespace ole {
namespace {

using test_support::TOleBytes;

TOleBytes Noise(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  TOleBytes b(n);
  for (auto& x : b) x = std::uint8_t(random());
  return b;
}

const std::string kCompObj = "\x01" "CompObj", kPres = "\x02" "OlePres000";

// A picture's object: its type, a presentation of 2540 x 1270 HIMETRIC with
// a 4 x 2 DIB preview, and Contents of ContentsSize bytes.
std::vector<std::pair<std::string, TOleBytes>> PictureStreams(std::size_t contentsSize) {
  TOleBytes dib = test_support::DibFromImageMagick("-size 4x2 xc:red -fill blue -draw 'point 3,1'");
  return {{kCompObj, test_support::CompObjStream("Paint Picture")},
          {kPres, test_support::PresentationStream(CF_DIB, DVASPECT_CONTENT, 2540, 1270, dib)},
          {"Contents", Noise(contentsSize, 5)}};
}

std::string OurListing(const TCompoundFile& file) {
  std::vector<std::string> lines;
  for (const TStorageEntry& e : file.Entries()) {
    std::string name;
    for (char c : e.Path) name += (unsigned char)c < 32 ? "\\" + std::to_string(int(c)) : std::string(1, c);
    lines.push_back(name + " " + std::to_string(e.Size) + "\n");
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const auto& l : lines) out += l;
  return out;
}

class GsfFiles : public ::testing::TestWithParam<std::size_t> {};

// Contents below 4096 bytes lives in the mini stream; 7.5 MB needs more
// table sectors than the header lists, so the extension chain is read too.
TEST_P(GsfFiles, OlefileAndWeListTheSameStreamsAndReadTheirBytes) {
  const auto streams = PictureStreams(GetParam());
  const TOleBytes bytes = test_support::GsfCompoundFile(streams);
  ASSERT_FALSE(bytes.empty()) << "gsf createole failed";
  TCompoundFile file(bytes);
  EXPECT_EQ(OurListing(file), test_support::OlefileListing(bytes));
  for (const auto& [name, content] : streams) EXPECT_TRUE(file.ReadStream(name) == content) << name;
}

INSTANTIATE_TEST_SUITE_P(Sizes, GsfFiles, ::testing::Values(std::size_t(100), std::size_t(5000), std::size_t(7500000)));

TEST(EmbeddedObject, ReadsTypeExtentAndPreview) {
  TEmbeddedObject object;
  object.LoadStorage(test_support::GsfCompoundFile(PictureStreams(10)));
  EXPECT_FALSE(object.Damaged());
  EXPECT_EQ(object.UserType(), "Paint Picture");
  EXPECT_EQ(object.ExtentHimetric(DVASPECT_CONTENT), (canvas::TSize{2540, 1270}));
  EXPECT_EQ(object.ExtentHimetric(DVASPECT_ICON), (canvas::TSize{0, 0}));
  canvas::TBitmap target(8, 4, canvas::clWhite);
  object.Draw(target.Canvas(), {0, 0, 8, 4}, DVASPECT_CONTENT);
  EXPECT_EQ(target.ColorAt(0, 0), canvas::clRed);
  EXPECT_EQ(target.ColorAt(7, 3), canvas::clBlue);
  EXPECT_EQ(object.DoVerb(0), REGDB_E_CLASSNOTREG);
}

// Offsets of the parts of a gsf file, from its header.
struct TLayout {
  explicit TLayout(const TOleBytes& b) : Bytes(b) {}
  std::uint32_t U32(std::size_t at) const { return std::uint32_t(Bytes[at] | Bytes[at + 1] << 8 | Bytes[at + 2] << 16 | Bytes[at + 3] << 24); }
  std::size_t SectorAt(std::uint32_t s) const { return (std::size_t(s) + 1) * 512; }
  std::size_t FatEntry(std::uint32_t s) const { return SectorAt(U32(0x4C)) + 4 * s; }
  std::size_t Directory() const { return SectorAt(U32(0x30)); }
  // The directory entry of a stream, by its name in UTF-16.
  std::size_t EntryOf(const std::string& name) const {
    TOleBytes wide;
    for (char c : name) wide.insert(wide.end(), {std::uint8_t(c), 0});
    return std::size_t(std::search(Bytes.begin() + std::ptrdiff_t(Directory()), Bytes.end(), wide.begin(), wide.end()) - Bytes.begin());
  }
  const TOleBytes& Bytes;
};

void Put32(TOleBytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + std::size_t(i)) = std::uint8_t(v >> 8 * i);
}

struct TDamage {
  const char* Name;
  std::function<void(TOleBytes&, const TLayout&)> Apply;
  bool OnlyContents;  // the tables read; reading Contents fails
};

void PrintTo(const TDamage& d, std::ostream* os) { *os << d.Name; }

class Damaged : public ::testing::TestWithParam<TDamage> {};

TEST_P(Damaged, IsRefusedAndTheObjectKeepsItsBytes) {
  TOleBytes bytes = test_support::GsfCompoundFile(PictureStreams(5000));
  ASSERT_FALSE(bytes.empty());
  const TOleBytes original = bytes;
  GetParam().Apply(bytes, TLayout(original));
  if (GetParam().OnlyContents) {
    TCompoundFile file(bytes);
    EXPECT_THROW(file.ReadStream("Contents"), ECompoundFileError);
    return;
  }
  EXPECT_THROW(TCompoundFile file(bytes), ECompoundFileError);
  TEmbeddedObject object;
  object.LoadStorage(bytes);
  EXPECT_TRUE(object.Damaged());
  EXPECT_EQ(object.StorageBytes(), bytes);
  EXPECT_EQ(object.ExtentHimetric(DVASPECT_CONTENT), (canvas::TSize{0, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Damaged,
    ::testing::Values(
        TDamage{"NotACompoundFile", [](TOleBytes& b, const TLayout&) { b[0] = 0; }, false},
        TDamage{"CutInsideTheHeader", [](TOleBytes& b, const TLayout&) { b.resize(300); }, false},
        TDamage{"DirectoryOutsideTheFile", [](TOleBytes& b, const TLayout&) { Put32(b, 0x30, 0x7FFFFF); }, false},
        TDamage{"MoreTableSectorsThanTheFile", [](TOleBytes& b, const TLayout&) { Put32(b, 0x2C, 1000); }, false},
        TDamage{"DirectoryChainLoops",
                [](TOleBytes& b, const TLayout& l) { Put32(b, l.FatEntry(l.U32(0x30)), l.U32(0x30)); }, false},
        TDamage{"SiblingLinksItself",
                [](TOleBytes& b, const TLayout& l) {
                  std::size_t e = l.EntryOf("Contents");
                  Put32(b, e + 68, std::uint32_t((e - l.Directory()) / 128));
                },
                false},
        TDamage{"TwoEntriesOfOneName",
                [](TOleBytes& b, const TLayout& l) {
                  const std::size_t entry = l.EntryOf("\x02OlePres000");
                  std::size_t at = entry;
                  for (char c : std::string("Contents\0", 9)) b[at++] = std::uint8_t(c), b[at++] = 0;
                  b[entry + 64] = 18;
                },
                false},
        TDamage{"ChildOutsideTheDirectory", [](TOleBytes& b, const TLayout& l) { Put32(b, l.Directory() + 76, 5000); }, false},
        TDamage{"MiniStreamLargerThanTheFile", [](TOleBytes& b, const TLayout& l) { Put32(b, l.Directory() + 120, 0x7FFFFFFF); }, false},
        TDamage{"ContentsChainLoops",
                [](TOleBytes& b, const TLayout& l) {
                  std::uint32_t start = l.U32(l.EntryOf("Contents") + 116);
                  Put32(b, l.FatEntry(start), start);
                },
                true},
        TDamage{"ContentsLargerThanTheFile",
                [](TOleBytes& b, const TLayout& l) { Put32(b, l.EntryOf("Contents") + 120, 0x7FFFFFF0); }, true}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace ole
