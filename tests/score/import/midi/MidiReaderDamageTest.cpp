// The reader on damaged and hostile files: a clear error for an unreadable
// structure, and everything readable kept otherwise.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "score/import/ImportErrors.h"
#include "score/import/midi/MidiReaderTestSupport.h"
#include "support/Raised.h"

namespace {

std::string ErrorOf(const TBytes& bytes) {
  return RaisedBy<EImportError>([&] { ReadMidi(bytes); });
}

size_t NoteCount(const TKVMidiImportState& s) {
  size_t n = 0;
  for (const auto& p : s.Parts) n += NotesOf(*p).size();
  return n;
}

TBytes Text(const std::string& s) { return TBytes(s.begin(), s.end()); }

// A file with a bit of everything, used whole or damaged.
TBytes RichFile() {
  TMidiFileBuilder file(1, 96);
  file.AddTrack().Text(0, 3, "Conductor").Tempo(0, 500000).TimeSignature(0, 3, 2).KeySignature(0, -2).EndOfTrack();
  TMidiTrackBuilder& t = file.AddTrack();
  t.RunningStatus(true).Program(0, 0, 5).Controller(0, 0, 7, 90);
  for (int i = 0; i < 12; ++i) {
    t.NoteOn(0, 0, 55 + i, 80).NoteOn(0, 0, 67 + i, 70);
    if (i % 4 == 0) t.SysEx(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
    t.Text(0, 5, i % 2 ? "la-" : "/li").PitchBend(10, 0, 8192 + i).NoteOn(86, 0, 55 + i, 0).NoteOff(0, 0, 67 + i);
  }
  t.EndOfTrack();
  file.AddTrack().NoteOn(0, 9, 36, 100).NoteOn(48, 9, 36, 0).EndOfTrack();
  return file.Bytes();
}

struct TNotMidiCase {
  const char* Name;
  TBytes Bytes;
};
void PrintTo(const TNotMidiCase& c, std::ostream* os) {
  *os << c.Name;
}
class MidiNotAFile : public testing::TestWithParam<TNotMidiCase> {};

TEST_P(MidiNotAFile, RaisesTheNotMidiError) { EXPECT_EQ(ErrorOf(GetParam().Bytes), SNotMidiFile); }

TBytes TrackFirst() {
  TBytes bytes = {'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
  for (uint8_t b : TMidiFileBuilder(0, 96).Bytes()) bytes.push_back(b);
  return bytes;
}

TBytes RiffWave() {
  TBytes b = Text("RIFF");
  b.insert(b.end(), {12, 0, 0, 0});
  for (char c : std::string("WAVEdata")) b.push_back(uint8_t(c));
  b.insert(b.end(), {0, 0, 0, 0});
  return b;
}

TBytes RmidWithoutData() {
  TBytes rmid = TMidiFileBuilder::WrapRmid(TMidiFileBuilder(0, 96).Bytes());
  auto at = std::search(rmid.begin(), rmid.end(), std::begin("data"), std::end("data") - 1);
  std::copy_n("date", 4, at);
  return rmid;
}

INSTANTIATE_TEST_SUITE_P(Cases, MidiNotAFile,
                         testing::Values(TNotMidiCase{"Empty", {}},
                                         TNotMidiCase{"Text", Text("Hello, this is not music at all.\n")},
                                         TNotMidiCase{"ShortMagic", Text("MThd")},
                                         TNotMidiCase{"TrackBeforeHeader", TrackFirst()},
                                         TNotMidiCase{"RiffWave", RiffWave()},
                                         TNotMidiCase{"RmidWithoutData", RmidWithoutData()}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(MidiReaderDamage, UnreadableHeaderRaisesTheHeaderError) {
  TBytes full = TMidiFileBuilder(1, 96).Bytes();
  TBytes shortLength = full;
  shortLength[7] = 4;  // the header says 4 bytes: no room for the division
  EXPECT_EQ(ErrorOf(shortLength), SMidiHeaderDamaged);
  EXPECT_EQ(ErrorOf(TBytes(full.begin(), full.begin() + 11)), SMidiHeaderDamaged);  // cut inside
  EXPECT_EQ(ErrorOf(TMidiFileBuilder(1, 0).Bytes()), SMidiHeaderDamaged);
  EXPECT_EQ(ErrorOf(TMidiFileBuilder(1, 0xE700).Bytes()), SMidiHeaderDamaged);  // SMPTE, 0 ticks a frame
}

// Every prefix of a file reads without error once the header is complete,
// never loses a note it has read, and leaves no note open.
TEST(MidiReaderDamage, EveryTruncationKeepsWhatWasRead) {
  TBytes full = RichFile();
  size_t complete = NoteCount(ReadMidi(full));
  ASSERT_EQ(complete, 25u);
  size_t previous = 0;
  for (size_t n = 14; n <= full.size(); ++n) {
    TKVMidiImportState s = ReadMidi(TBytes(full.begin(), full.begin() + n));
    size_t count = NoteCount(s);
    EXPECT_GE(count, previous) << "cut at " << n;
    previous = count;
    for (const auto& p : s.Parts) EXPECT_TRUE(p->OpenNotes.empty());
  }
  EXPECT_EQ(previous, complete);
}

TEST(MidiReaderDamage, LyingChunkLengthsReadWhatIsThere) {
  for (uint32_t declared : {0xFFFFFFFFu, 0x7FFFFFF0u, 1000u}) {
    TMidiFileBuilder file(0, 96);
    file.AddTrack().NoteOn(0, 0, 60, 90).NoteOff(96, 0, 60).NoteOn(0, 0, 62, 90).DeclaredLength(declared);
    TKVMidiImportState s = ReadMidi(file.Bytes());
    ASSERT_EQ(s.Parts.size(), 1u) << declared;
    EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 128, 60, 90}, {128, 0, 62, 90}}));
  }
  // Too short: the track ends early, and its tail is taken for a chunk of an
  // unknown kind and skipped.
  TMidiFileBuilder file(1, 96);
  file.AddTrack().NoteOn(0, 0, 60, 90).NoteOff(96, 0, 60).NoteOn(0, 0, 62, 90).NoteOff(96, 0, 62).DeclaredLength(8);
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 1u);
  EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 128, 60, 90}}));
}

TEST(MidiReaderDamage, TrailingBytesAfterTheLastChunkAreIgnored) {
  TBytes b = RichFile();
  b.insert(b.end(), {'M', 'T', 'r', 'k', 0});
  EXPECT_EQ(NoteCount(ReadMidi(b)), 25u);
}

TEST(MidiReaderDamage, HugeDeltaEndsItsTrackOnly) {
  TMidiFileBuilder file(1, 960);
  file.AddTrack().NoteOn(0, 0, 60, 90).NoteOff(TKVMidiReader::MaxDeltaTime, 0, 60).EndOfTrack();
  file.AddTrack().NoteOn(0, 1, 62, 90).NoteOff(TKVMidiReader::MaxDeltaTime + 1, 1, 62).NoteOn(0, 1, 64, 90)
      .EndOfTrack();
  file.AddTrack().NoteOn(0, 2, 65, 90).NoteOff(960, 2, 65).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 3u);
  // A delta at the limit is read; one above it ends the track, whose open
  // note ends where the track stood.
  EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 65535, 60, 90}}));
  EXPECT_EQ(NotesOf(*s.Parts[1]), (std::vector<TNoteSeen>{{0, 0, 62, 90}}));
  EXPECT_EQ(NotesOf(*s.Parts[2]), (std::vector<TNoteSeen>{{0, 128, 65, 90}}));
}

TEST(MidiReaderDamage, RunningTimeStopsAtTheLatestEventTime) {
  // 12,000,000 file ticks at 128 a quarter are as many score ticks.
  TMidiFileBuilder file(1, 128);
  file.AddTrack()
      .NoteOn(12000000, 0, 60, 90).NoteOff(4000000, 0, 60)  // 16,000,000: still inside
      .NoteOn(777215, 0, 61, 90)                           // 16,777,215: the last tick
      .TimeSignature(0, 3, 2)
      .NoteOn(1, 0, 62, 90)  // past it: the track ends
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  EXPECT_EQ(NotesOf(*s.Parts[0]),
            (std::vector<TNoteSeen>{{12000000, 65535, 60, 90}, {TKVMidiReader::MaxEventTime, 0, 61, 90}}));
  // The meter map holds one word per 4/4 measure up to that time, and no more.
  EXPECT_EQ(s.MeterMap.size(), TKVMidiReader::MaxEventTime / 512 + 2);
  EXPECT_EQ(s.MeterMap.back(), 0x0304);
}

TEST(MidiReaderDamage, VariableLengthNumbersHaveNoByteLimitButSaturate) {
  TMidiFileBuilder file(0, 96);
  file.AddTrack()
      .NoteOn(0, 0, 60, 90)
      .Raw({0x80, 0x80, 0x80, 0x80, 0x80, 0x00}).Raw({0x80, 60, 0})  // a padded delta of 0
      .NoteOn(0, 0, 62, 90)
      .Raw({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}).Raw({0x80, 62, 0})  // huge: the track ends
      .EndOfTrack();
  EXPECT_EQ(NotesOf(*ReadMidi(file.Bytes()).Parts[0]),
            (std::vector<TNoteSeen>{{0, 0, 60, 90}, {0, 0, 62, 90}}));
}

TEST(MidiReaderDamage, EventsRunningPastTheChunkEndEndTheTrack) {
  struct TCase {
    const char* Name;
    TBytes Tail;
  };
  for (const TCase& c : {TCase{"MetaLength", {0x00, 0xFF, 0x01, 0x7F, 'a', 'b'}},
                         TCase{"SysExLength", {0x00, 0xF0, 0x8F, 0x7F, 0x90, 0x3E, 0x40}},
                         TCase{"MetaLengthUnfinished", {0x00, 0xFF, 0x05, 0x81}},
                         TCase{"DataBytes", {0x00, 0x90, 0x3E}},
                         TCase{"DeltaUnfinished", {0x81}}}) {
    TMidiFileBuilder file(0, 96);
    file.AddTrack().NoteOn(0, 0, 60, 90).NoteOff(96, 0, 60).NoteOn(0, 0, 64, 90).Raw(c.Tail);
    TKVMidiImportState s = ReadMidi(file.Bytes());
    EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 128, 60, 90}, {128, 0, 64, 90}})) << c.Name;
  }
}

TEST(MidiReaderDamage, TruncatedRmidDataReadsWhatIsThere) {
  TBytes rmid = TMidiFileBuilder::WrapRmid(RichFile(), false);
  rmid.resize(rmid.size() - 40);  // the INFO list and the end of the data chunk are gone
  EXPECT_GT(NoteCount(ReadMidi(rmid)), 0u);
}

// Random damage never does more than raise the reader's own error.
TEST(MidiReaderDamage, RandomDamageEitherReadsOrRaisesCleanly) {
  const TBytes good = RichFile();
  std::mt19937 random(20240611);
  int raised = 0;
  for (int round = 0; round < 3000; ++round) {
    TBytes bytes = good;
    int edits = 1 + int(random() % 6);
    for (int e = 0; e < edits; ++e) {
      size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] ^= uint8_t(1 << (random() % 8)); break;
        case 1: bytes[at] = uint8_t(random()); break;
        case 2: bytes.erase(bytes.begin() + at); break;
        default: bytes.insert(bytes.begin() + at, uint8_t(random())); break;
      }
    }
    try {
      TKVMidiImportState s = ReadMidi(bytes);
      for (const auto& p : s.Parts) {
        EXPECT_TRUE(p->OpenNotes.empty());
        for (const auto& e : p->Events) EXPECT_LE(e->Time, TKVMidiReader::MaxEventTime);
      }
    } catch (const EImportError&) {
      ++raised;
    }
  }
  // Only damage to the first fourteen bytes can make the file unreadable.
  EXPECT_LT(raised, 600);
}

}  // namespace
