#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/midi/MidiStream.h"

namespace {

// What the splitter hands on, written as text: "s:903C64" for a short
// message (status first), "x:F07E7F0901F7" for a block.
std::vector<std::string> Split(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> out;
  auto hex = [](const uint8_t* p, size_t n) {
    std::string s;
    char buf[3];
    for (size_t i = 0; i < n; ++i) {
      std::snprintf(buf, sizeof buf, "%02X", p[i]);
      s += buf;
    }
    return s;
  };
  midi::TMidiStreamSink sink;
  sink.Short = [&](uint32_t m) {
    const uint8_t b[3] = {uint8_t(m), uint8_t(m >> 8), uint8_t(m >> 16)};
    const int n = midi::MidiDataLength(b[0]) + 1;
    EXPECT_EQ(m >> (8 * n), 0u) << "bytes beyond the message must be zero";
    out.push_back("s:" + hex(b, size_t(n)));
  };
  sink.SysEx = [&](const uint8_t* p, size_t n) { out.push_back("x:" + hex(p, n)); };
  midi::SplitMidiStream(bytes.data(), bytes.size(), sink);
  return out;
}

struct TStreamCase {
  const char* Name;
  std::vector<uint8_t> Bytes;
  std::vector<std::string> Expected;
};

void PrintTo(const TStreamCase& c, std::ostream* os) { *os << c.Name; }

class MidiStreamSplit : public testing::TestWithParam<TStreamCase> {};

TEST_P(MidiStreamSplit, GivesTheMessagesOfTheBytes) { EXPECT_EQ(Split(GetParam().Bytes), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(
    Midi, MidiStreamSplit,
    testing::Values(
        TStreamCase{"ProgramChangeOfARawEvent", {0xC3, 0x05}, {"s:C305"}},
        TStreamCase{"RunningStatus", {0x90, 0x3C, 0x64, 0x40, 0x50, 0x3C, 0x00}, {"s:903C64", "s:904050", "s:903C00"}},
        TStreamCase{"OneByteRunningStatus", {0xD1, 0x10, 0x20}, {"s:D110", "s:D120"}},
        TStreamCase{"PitchBend", {0xE0, 0x00, 0x40}, {"s:E00040"}},
        TStreamCase{"TuningBlock",
                    {0xF0, 0x7F, 0x7F, 0x08, 0x02, 0x00, 0x01, 0x3C, 0x7F, 0x7F, 0x7F, 0xF7},
                    {"x:F07F7F080200013C7F7F7FF7"}},
        TStreamCase{"BlockThenChannelMessage",
                    {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0xB0, 0x07, 0x64},
                    {"x:F07E7F0901F7", "s:B00764"}},
        TStreamCase{"RealTimeInsideABlock", {0xF0, 0x43, 0xF8, 0x10, 0xF7}, {"s:F8", "x:F04310F7"}},
        TStreamCase{"BlockCutByAStatusIsDropped", {0xF0, 0x43, 0x10, 0x90, 0x3C, 0x64}, {"s:903C64"}},
        TStreamCase{"UnendedBlockIsDropped", {0xF0, 0x7E, 0x7F}, {}},
        TStreamCase{"StrayDataBytes", {0x3C, 0x64, 0x80, 0x3C, 0x00}, {"s:803C00"}},
        TStreamCase{"UnfinishedMessageAtTheEnd", {0xB0, 0x07}, {}},
        TStreamCase{"SystemCommonEndsRunningStatus", {0x90, 0x3C, 0x64, 0xF3, 0x02, 0x3E, 0x64}, {"s:903C64", "s:F302"}},
        TStreamCase{"SongPositionAndTuneRequest", {0xF2, 0x01, 0x02, 0xF6}, {"s:F20102", "s:F6"}},
        TStreamCase{"StrayEndAndUndefinedBytes", {0xF7, 0xF4, 0x10, 0xF5, 0xFF}, {"s:FF"}},
        TStreamCase{"RealTimeKeepsRunningStatus", {0x90, 0x3C, 0x64, 0xFE, 0x3E, 0x64}, {"s:903C64", "s:FE", "s:903E64"}},
        TStreamCase{"Empty", {}, {}}),
    [](const testing::TestParamInfo<TStreamCase>& info) { return std::string(info.param.Name); });

}  // namespace
