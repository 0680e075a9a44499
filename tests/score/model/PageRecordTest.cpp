#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/Extended.h"
#include "base/Streams.h"
#include "score/model/Page.h"

namespace {

// A page data block as a score file carries it.
struct BlockFields {
  uint32_t color = 0xFFFFFF;
  long double values[8] = {2100, 2970, 150, 200, 150, 250, 120, 15.875L};  // by TKVPageValue
  uint8_t orientation = 0, paper = uint8_t(TKVPaperSize::A4), metrix = rmMM, book = 0, turn = 0, autoSize = 0;
};

std::vector<uint8_t> Block(const BlockFields& fields) {
  static const size_t offsets[8] = {4, 20, 52, 36, 68, 84, 100, 116};
  TByteBlock b(132);
  b.setU32(0, fields.color);
  for (int i = 0; i < 8; ++i) b.setExt(offsets[i], ExtendedFromLongDouble(fields.values[i]));
  const uint8_t tail[6] = {fields.orientation, fields.paper, fields.metrix, fields.book, fields.turn, fields.autoSize};
  b.Write(126, tail, 6);
  return std::vector<uint8_t>(b.Data(), b.Data() + 132);
}

// Record with version 1 and block size S = bytes.size(), then Padding
// unused bytes inside the record, then a marker word after it.
std::vector<uint8_t> Record(const std::vector<uint8_t>& bytes, uint16_t version = 1, uint32_t padding = 0) {
  TMemoryStream s;
  uint32_t length = 2 + (version ? 2 + uint32_t(bytes.size()) : 0) + padding;
  s.WriteU32(length);
  s.WriteU16(version);
  if (version) {
    s.WriteU16(uint16_t(bytes.size()));
    s.WriteBytes(bytes);
  }
  for (uint32_t i = 0; i < padding; ++i) s.WriteU8(0xEE);
  s.WriteU16(0xF00D);
  return s.Bytes();
}

void ExpectAtMarker(TMemoryStream& s) { EXPECT_EQ(s.ReadU16(), 0xF00D) << "stream not at the record's end"; }

TEST(PageRecord, A4PortraitBlockWithUnusedBytesAfterIt) {
  TKVPage page(nullptr);
  TMemoryStream s(Record(Block({}), 1, 13));
  page.ReadData(s);
  ExpectAtMarker(s);
  EXPECT_EQ(page.GetValue(pvWidth), 210);
  EXPECT_EQ(page.GetValue(pvHeight), 297);
  EXPECT_EQ(page.GetValue(pvTopMargin), 20);
  EXPECT_EQ(page.GetValue(pvLeftMargin), 15);
  EXPECT_EQ(page.PaperSize(), TKVPaperSize::A4);
  EXPECT_EQ(page.Orientation(), poPortrait);
}

TEST(PageRecord, LandscapeCustomInInches) {
  BlockFields fields;
  fields.values[pvWidth] = 5080;
  fields.values[pvHeight] = 2540;
  fields.orientation = poLandscape;
  fields.paper = uint8_t(TKVPaperSize::Custom);
  fields.metrix = rmInches;
  fields.book = 1;
  TKVPage page(nullptr);
  TMemoryStream s(Record(Block(fields)));
  page.ReadData(s);
  EXPECT_EQ(page.Orientation(), poLandscape);
  EXPECT_EQ(page.PaperSize(), TKVPaperSize::Custom);
  EXPECT_EQ(page.Metrix(), rmInches);
  EXPECT_EQ(page.Width(), 20);
  EXPECT_EQ(page.Height(), 10);
  EXPECT_TRUE(page.Book());
  EXPECT_EQ(page.GetWidthPixels(), 960);  // half of 1920 in book layout
  page.SetWidth(10);                      // custom: writable
  EXPECT_EQ(page.InternalValue(pvWidth), 2540);
}

TEST(PageRecord, LargerBlockReadsItsFirstBytesAndSkipsTheRest) {
  std::vector<uint8_t> bytes = Block({});
  bytes.insert(bytes.end(), 8, 0x77);
  TKVPage page(nullptr);
  TMemoryStream s(Record(bytes));
  page.ReadData(s);
  ExpectAtMarker(s);
  std::vector<uint8_t> expected = Block({});
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), page.Data().Data()));
  EXPECT_EQ(page.Data().u8(131), 0);
}

TEST(PageRecord, SmallerBlockChangesOnlyTheFieldsItHolds) {
  BlockFields fields;
  fields.color = 0x112233;
  std::vector<uint8_t> bytes = Block(fields);
  bytes.resize(100);  // Color through BottomMargin
  TKVPage page(nullptr);
  TMemoryStream s(Record(bytes));
  page.ReadData(s);
  ExpectAtMarker(s);
  EXPECT_EQ(page.Color(), 0x112233u);
  EXPECT_EQ(page.InternalValue(pvWidth), 2100);
  EXPECT_EQ(page.InternalValue(pvBottomMargin), 250);
  EXPECT_EQ(page.InternalValue(pvInterval), 120);  // defaults remain
  EXPECT_EQ(page.PaperSize(), TKVPaperSize::Custom);
}

TEST(PageRecord, ZeroBlockAndVersionZeroChangeNothing) {
  const TByteBlock fresh = TKVPage(nullptr).Data();
  TKVPage page(nullptr);
  TMemoryStream empty(Record({}));
  page.ReadData(empty);
  ExpectAtMarker(empty);
  EXPECT_EQ(page.Data(), fresh);

  TMemoryStream version0(Record(Block({}), 0, 20));  // skipped by its length
  page.ReadData(version0);
  ExpectAtMarker(version0);
  EXPECT_EQ(page.Data(), fresh);
}

TEST(PageRecord, DamagedLengthsKeepTheirValues) {
  std::vector<uint8_t> bytes = Block({});
  TExtended80 nan = ExtendedFromLongDouble(__builtin_nanl(""));
  TExtended80 inf = ExtendedFromLongDouble(__builtin_huge_vall());
  TExtended80 unnormal = ExtendedFromLongDouble(5);
  unnormal.Bytes[7] &= 0x7F;  // clear the explicit integer bit
  TExtended80 huge = ExtendedFromLongDouble(1e300L);
  std::copy(nan.Bytes.begin(), nan.Bytes.end(), bytes.begin() + 4);        // Width
  std::copy(inf.Bytes.begin(), inf.Bytes.end(), bytes.begin() + 20);       // Height
  std::copy(unnormal.Bytes.begin(), unnormal.Bytes.end(), bytes.begin() + 36);  // TopMargin
  std::copy(huge.Bytes.begin(), huge.Bytes.end(), bytes.begin() + 116);    // LineSpace
  TKVPage page(nullptr);
  TMemoryStream s(Record(bytes));
  page.ReadData(s);
  ExpectAtMarker(s);
  EXPECT_EQ(page.InternalValue(pvWidth), 1000);
  EXPECT_EQ(page.InternalValue(pvHeight), 800);
  EXPECT_EQ(page.InternalValue(pvTopMargin), 100);
  EXPECT_EQ(page.InternalValue(pvLineSpace), 15.875L);
  EXPECT_EQ(page.InternalValue(pvLeftMargin), 150);  // valid fields are taken
  EXPECT_EQ(page.PaperSize(), TKVPaperSize::A4);
}

TEST(PageRecord, UnknownOptionBytesReadDefensively) {
  BlockFields fields;
  fields.orientation = 5;
  fields.paper = 200;
  fields.metrix = 9;
  TKVPage page(nullptr);
  TMemoryStream s(Record(Block(fields)));
  page.ReadData(s);
  EXPECT_EQ(page.Orientation(), poPortrait);
  EXPECT_EQ(page.PaperSize(), TKVPaperSize::Custom);
  EXPECT_EQ(page.Metrix(), rmMM);
  EXPECT_EQ(page.GetValue(pvWidth), 210);
  page.SetWidth(100);  // an unknown paper size is treated as custom
  EXPECT_EQ(page.InternalValue(pvWidth), 1000);
}

TEST(PageRecord, TruncatedOrInconsistentRecordsRaiseTheReadError) {
  std::vector<uint8_t> bytes = Record(Block({}));
  bytes.resize(bytes.size() - 2);  // drop the marker: the record is complete
  for (size_t cut : {size_t(0), size_t(2), size_t(5), size_t(7), size_t(60), bytes.size() - 1}) {
    TMemoryStream s(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    TKVPage page(nullptr);
    EXPECT_THROW(page.ReadData(s), EReadError) << "cut at " << cut;
  }
  // A length shorter than the record's own fields.
  std::vector<uint8_t> shortLength = bytes;
  shortLength[0] = 10;
  TMemoryStream s(shortLength);
  TKVPage page(nullptr);
  EXPECT_THROW(page.ReadData(s), EReadError);
  // A length beyond the end of the stream.
  std::vector<uint8_t> longLength = bytes;
  longLength[3] = 0x7F;
  TMemoryStream t(longLength);
  EXPECT_THROW(page.ReadData(t), EReadError);
}

}  // namespace
