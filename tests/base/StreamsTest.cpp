#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "base/ByteBlock.h"
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "support/Raised.h"

namespace {

TEST(MemoryStream, TypedReadsAreLittleEndian) {
  TMemoryStream s({0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF});
  EXPECT_EQ(s.ReadU16(), 0x1234);
  EXPECT_EQ(s.ReadU32(), 0x12345678u);
  EXPECT_EQ(s.ReadI8(), -1);
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(MemoryStream, ReadPastEndRaisesStreamReadError) {
  TMemoryStream s({1, 2, 3});
  s.ReadU16();
  EXPECT_EQ(RaisedBy<EReadError>([&] { s.ReadU16(); }), "Stream read error");
}

TEST(MemoryStream, LyingLengthDoesNotAllocate) {
  TMemoryStream s({1, 2, 3, 4});
  EXPECT_THROW(s.ReadBytes(int64_t(1) << 40), EReadError);
  EXPECT_THROW(s.ReadBytes(-1), EReadError);
  s.SetPosition(1);
  EXPECT_EQ(s.ReadBytes(3), (std::vector<uint8_t>{2, 3, 4}));
}

TEST(MemoryStream, WritesGrowAndSeekClampsAtZero) {
  TMemoryStream s;
  s.WriteU32(0xAABBCCDD);
  s.Seek(-100, TSeekOrigin::soCurrent);
  EXPECT_EQ(s.GetPosition(), 0);
  s.Seek(6, TSeekOrigin::soBeginning);
  s.WriteU8(9);
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0xDD, 0xCC, 0xBB, 0xAA, 0, 0, 9}));
  // A place past the 64-bit range leaves the position as it was.
  s.Seek(INT64_MAX - 10, TSeekOrigin::soBeginning);
  EXPECT_EQ(s.Seek(100, TSeekOrigin::soCurrent), INT64_MAX - 10);
  EXPECT_EQ(s.Seek(INT64_MAX, TSeekOrigin::soEnd), INT64_MAX - 10);
}

TEST(FileStream, RoundTripAndOpenErrors) {
  std::string path = (std::filesystem::temp_directory_path() / "sonarid_stream_test.bin").string();
  {
    TMemoryStream m({5, 6, 7});
    m.SaveToFile(path);
  }
  TMemoryStream back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.Bytes(), (std::vector<uint8_t>{5, 6, 7}));
  std::remove(path.c_str());
  EXPECT_THROW(TFileStream(path, fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream("/nonexistent-dir/x", fmCreate), EFCreateError);
  EXPECT_THROW(TFileStream("/tmp", fmOpenRead), EFOpenError);
}

TEST(ByteBlock, AccessorsCheckTheirRange) {
  TByteBlock b(4);
  b.setU16(2, 0xBEEF);
  EXPECT_EQ(b.u8(2), 0xEF);
  EXPECT_EQ(b.i16(2), int16_t(0xBEEF));
  EXPECT_THROW(b.u32(1), ERangeError);
  EXPECT_THROW(b.setU8(4, 0), ERangeError);
  EXPECT_THROW(b.u16(size_t(-1)), ERangeError);
}

TEST(ByteBlock, OverlayKeepsTheRest) {
  TByteBlock b(4);
  b.setU32(0, 0x44332211);
  const uint8_t shortData[] = {0xAA};
  b.Overlay(shortData, 1);
  EXPECT_EQ(b.u32(0), 0x443322AAu);
  const uint8_t longData[] = {1, 2, 3, 4, 5, 6};
  b.Overlay(longData, 6);
  EXPECT_EQ(b.u32(0), 0x04030201u);
  EXPECT_EQ(b.Size(), 4u);
}

}  // namespace
