// The reader on well-formed files: what each kind of event leaves in the
// import state.

#include <gtest/gtest.h>

#include <functional>

#include "score/import/midi/MidiReaderTestSupport.h"
#include "score/import/midi/MidiSpelling.h"

namespace {

// A C major scale of quarters.
TBytes ScaleFile() {
  TMidiFileBuilder file(0, 96);
  TMidiTrackBuilder& t = file.AddTrack();
  for (int key : {60, 62, 64, 65, 67, 69, 71, 72}) t.NoteOn(0, 0, key, 100).NoteOff(96, 0, key);
  t.EndOfTrack();
  return file.Bytes();
}

struct TTimeCase {
  uint16_t Division;
  uint32_t Tick;
  uint32_t Expected;
};
void PrintTo(const TTimeCase& c, std::ostream* os) {
  *os << c.Division << "/" << c.Tick;
}
class MidiEventTime : public testing::TestWithParam<TTimeCase> {};

TEST_P(MidiEventTime, FileTicksBecomeScoreTicksRoundingHalvesUp) {
  TMidiFileBuilder file(0, GetParam().Division);
  file.AddTrack().NoteOn(GetParam().Tick, 0, 70, 90).NoteOff(0, 0, 70).EndOfTrack();
  auto notes = NotesOf(*ReadMidi(file.Bytes()).Parts[0]);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].Time, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Divisions, MidiEventTime,
                         testing::Values(TTimeCase{96, 48, 64}, TTimeCase{256, 1, 1}, TTimeCase{256, 3, 2},
                                         TTimeCase{3, 1, 43}, TTimeCase{480, 480 * 1000, 128000},
                                         TTimeCase{1, 5, 640}));

// One track of one channel at 128 ticks a quarter, and the notes it reads.
struct TNotesCase {
  const char* Name;
  std::function<void(TMidiTrackBuilder&)> Write;
  std::vector<TNoteSeen> Expected;
};
void PrintTo(const TNotesCase& c, std::ostream* os) {
  *os << c.Name;
}
class MidiNotes : public testing::TestWithParam<TNotesCase> {};

TEST_P(MidiNotes, AreReadFromTheTrack) {
  TMidiFileBuilder file(0, 128);
  GetParam().Write(file.AddTrack());
  EXPECT_EQ(NotesOf(*ReadMidi(file.Bytes()).Parts.at(0)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MidiNotes,
    testing::Values(
        TNotesCase{"ChordNotesShareStartAndEndInOffOrder",
                   [](auto& t) {
                     t.NoteOn(0, 0, 60, 80).NoteOn(0, 0, 64, 81).NoteOn(0, 0, 67, 82);
                     t.NoteOff(256, 0, 67).NoteOff(0, 0, 60).NoteOff(0, 0, 64).EndOfTrack();
                   },
                   {{0, 256, 67, 82}, {0, 256, 60, 80}, {0, 256, 64, 81}}},
        TNotesCase{"LengthStopsAt16Bits", [](auto& t) { t.NoteOn(0, 0, 60, 80).NoteOff(70000, 0, 60).EndOfTrack(); },
                   {{0, 65535, 60, 80}}},
        TNotesCase{"RunningStatusSurvivesKnownMetaEventsAndSysEx",
                   [](auto& t) {
                     t.RunningStatus(true).NoteOn(0, 0, 60, 90).Text(0, 1, "x");
                     t.SysEx(0, {0x43, 0x10, 0x90, 0x3C, 0x7F, 0xF7});  // looks like a note-on inside
                     t.NoteOn(10, 0, 62, 90);                           // written without status
                     t.SysEx(0, {0x01, 0xF7}, 0xF7).NoteOn(10, 0, 60, 0).NoteOn(10, 0, 62, 0).EndOfTrack();
                   },
                   {{0, 20, 60, 90}, {10, 20, 62, 90}}},
        // Any other meta event cancels the running status: data bytes that
        // follow are read as delta times until a status byte comes.
        TNotesCase{"OtherMetaEventsCancelTheRunningStatus",
                   [](auto& t) {
                     t.NoteOn(0, 0, 60, 90).Meta(0, 0x21, {0x00}).Delta(0).Raw({0x3E, 0x40}).Raw({0x80, 60, 0});
                   },
                   {{0, 0x3E + 0x40, 60, 90}}},
        TNotesCase{"SystemCommonMessagesTakeTheirDataBytes",
                   [](auto& t) {
                     t.NoteOn(0, 0, 60, 90).Delta(0).Raw({0xF2, 0x10, 0x20}).Delta(0).Raw({0xF3, 0x05});
                     t.Delta(0).Raw({0xF1, 0x11}).Delta(0).Raw({0xF6}).NoteOff(7, 0, 60).EndOfTrack();
                   },
                   {{0, 7, 60, 90}}},
        // A message is as long as its kind says: a data byte of 128 or more
        // (a note-off's velocity 0xCC or 0xFF, a note-on's 0x80 that makes
        // it a note-off) is read without its top bit, not as a status byte.
        TNotesCase{"DataBytesAreReadByTheMessagesLength",
                   [](auto& t) {
                     t.NoteOn(0, 0, 60, 100).Delta(128).Raw({0x80, 60, 0xCC}).NoteOn(0, 0, 62, 100);
                     t.Delta(128).Raw({0x90, 62, 0x80}).NoteOn(0, 0, 64, 0xFF).Delta(128).Raw({0x80, 64, 0xFF});
                     t.NoteOn(0, 0, 65, 100).Delta(128).Raw({0xB0, 0x01, 0x90}).NoteOff(0, 0, 65).EndOfTrack();
                   },
                   {{0, 128, 60, 100}, {128, 128, 62, 100}, {256, 128, 64, 127}, {384, 128, 65, 100}}},
        // A key struck again while it sounds (an echo) ends the note it
        // had; the note-off that follows ends the newest strike, and a
        // note-off with nothing of its key sounding ends nothing.
        TNotesCase{"AKeyStruckAgainEndsItsSoundingNote",
                   [](auto& t) {
                     t.NoteOn(0, 0, 60, 90).NoteOn(64, 0, 60, 91).NoteOn(0, 0, 62, 92).NoteOff(64, 0, 60);
                     t.NoteOn(0, 0, 60, 0).NoteOff(64, 0, 62).NoteOff(0, 0, 60).EndOfTrack();
                   },
                   {{0, 64, 60, 90}, {64, 64, 60, 91}, {64, 128, 62, 92}}},
        // Without note-offs each strike lasts to the next one; the last
        // lasts to the end of its track.
        TNotesCase{"StrikesWithoutNoteOffsLastToTheNext",
                   [](auto& t) {
                     for (int i = 0; i < 17; ++i) t.NoteOn(i == 0 ? 0 : 8, 0, 60, 100 + i);
                     t.EndOfTrack(200);
                   },
                   [] {
                     std::vector<TNoteSeen> notes;
                     for (uint32_t i = 0; i < 16; ++i) notes.push_back({8 * i, 8, 60, uint8_t(100 + i)});
                     notes.push_back({128, 200, 60, 116});
                     return notes;
                   }()}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MidiReader, NoteWithoutNoteOffEndsWithItsTrack) {
  TMidiFileBuilder file(1, 128);
  file.AddTrack().NoteOn(0, 0, 60, 80).NoteOn(10, 0, 62, 80).NoteOff(20, 0, 62).EndOfTrack(300);
  file.AddTrack().NoteOn(5000, 1, 50, 70).EndOfTrack(7);
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 2u);
  EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{10, 20, 62, 80}, {0, 330, 60, 80}}));
  EXPECT_EQ(NotesOf(*s.Parts[1]), (std::vector<TNoteSeen>{{5000, 7, 50, 70}}));
  for (const auto& p : s.Parts) EXPECT_TRUE(p->OpenNotes.empty());
  EXPECT_EQ(s.EndedByTrack, 2u);
}

// Notes that several tracks play on one channel, by the part each track's
// name makes (an unnamed track plays in the first part of its channel), and
// the notes that only their track's end ended.
struct TTracksCase {
  const char* Name;
  std::function<void(TMidiFileBuilder&)> Write;
  std::vector<std::vector<TNoteSeen>> Expected;  // by part
  uint32_t EndedByTrack;
};
void PrintTo(const TTracksCase& c, std::ostream* os) {
  *os << c.Name;
}
class MidiTracksOnOneChannel : public testing::TestWithParam<TTracksCase> {};

TEST_P(MidiTracksOnOneChannel, KeepTheirOwnNotes) {
  TMidiFileBuilder file(1, 128);
  GetParam().Write(file);
  TKVMidiImportState s = ReadMidi(file.Bytes());
  std::vector<std::vector<TNoteSeen>> parts;
  for (const auto& p : s.Parts) {
    parts.push_back(NotesOf(*p));
    EXPECT_TRUE(p->OpenNotes.empty());
  }
  EXPECT_EQ(parts, GetParam().Expected);
  EXPECT_EQ(s.EndedByTrack, GetParam().EndedByTrack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MidiTracksOnOneChannel,
    testing::Values(
        TTracksCase{"ANoteOffEndsItsOwnTracksNoteFirst",
                    [](auto& f) {
                      f.AddTrack().Text(0, 3, "A").NoteOn(0, 0, 60, 80).EndOfTrack(500);
                      f.AddTrack().Text(0, 3, "B").NoteOn(32, 0, 60, 81).NoteOff(32, 0, 60).NoteOff(32, 0, 60).EndOfTrack();
                    },
                    {{{0, 96, 60, 80}}, {{32, 32, 60, 81}}},
                    0},
        // The melody's note-offs stand in the other track; its key struck
        // again later does not end its first strike early.
        TTracksCase{"ANoteOffOfAnotherTrackEndsTheNoteThatTrackLeftSounding",
                    [](auto& f) {
                      f.AddTrack().Text(0, 3, "A").NoteOn(0, 0, 72, 90).NoteOn(128, 0, 74, 91).NoteOn(128, 0, 72, 92).EndOfTrack();
                      f.AddTrack().Text(0, 3, "B").NoteOff(100, 0, 72).NoteOff(100, 0, 74).NoteOff(156, 0, 72).EndOfTrack();
                    },
                    {{{0, 100, 72, 90}, {128, 72, 74, 91}, {256, 100, 72, 92}}, {}},
                    0},
        TTracksCase{"AStrayNoteOffNeverEndsANoteItsOwnTrackEnds",
                    [](auto& f) {
                      f.AddTrack().Text(0, 3, "A").NoteOff(64, 0, 60).EndOfTrack();
                      f.AddTrack().Text(0, 3, "B").NoteOn(0, 0, 60, 80).NoteOff(128, 0, 60).EndOfTrack();
                    },
                    {{}, {{0, 128, 60, 80}}},
                    0},
        TTracksCase{"AnotherTracksNoteOffNeverEndsANoteBegunAtItsTick",
                    [](auto& f) {
                      f.AddTrack().Text(0, 3, "A").NoteOn(0, 0, 60, 80).EndOfTrack(200);
                      f.AddTrack().Text(0, 3, "B").NoteOff(0, 0, 60).EndOfTrack();
                    },
                    {{{0, 200, 60, 80}}, {}},
                    1},
        TTracksCase{"UnnamedTracksStrikeInTheFirstPartOfTheirChannel",
                    [](auto& f) {
                      f.AddTrack().NoteOn(0, 0, 60, 80).EndOfTrack(500);
                      f.AddTrack().NoteOn(64, 0, 60, 81).NoteOff(64, 0, 60).EndOfTrack();
                    },
                    {{{0, 64, 60, 80}, {64, 64, 60, 81}}},
                    0},
        TTracksCase{"ANoteOffOnAnotherChannelEndsNothing",
                    [](auto& f) {
                      f.AddTrack().NoteOn(0, 0, 60, 80).NoteOff(64, 1, 60).EndOfTrack(64);
                    },
                    {{{0, 128, 60, 80}}},
                    1}),
    [](const auto& info) { return std::string(info.param.Name); });

// Tracks on one channel merge into one part unless each begins with a
// program change; format 2 tracks overlay from tick 0 like format 1.
TEST(MidiReader, TracksOnOneChannelMergeUnlessEachChangesProgram) {
  for (bool programs : {false, true}) {
    for (int format : {1, 2}) {
      TMidiFileBuilder file(format, 96);
      for (int track = 0; track < 2; ++track) {
        TMidiTrackBuilder& t = file.AddTrack();
        if (programs) t.Program(0, 0, 40 + track);
        t.NoteOn(0, 0, 60 + track, 90).NoteOff(96, 0, 60 + track).EndOfTrack();
      }
      TKVMidiImportState s = ReadMidi(file.Bytes());
      EXPECT_EQ(s.Format, format);
      ASSERT_EQ(s.Parts.size(), programs ? 2u : 1u) << "format " << format;
      if (programs) {
        EXPECT_EQ(s.Parts[0]->Program, 40);
        EXPECT_EQ(s.Parts[1]->Program, 41);
        EXPECT_EQ(NotesOf(*s.Parts[1]), (std::vector<TNoteSeen>{{0, 128, 61, 90}}));
      } else {
        EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 128, 60, 90}, {0, 128, 61, 90}}));
      }
    }
  }
}

TEST(MidiReader, FormatZeroSplitsChannelsIntoParts) {
  TMidiFileBuilder file(0, 96);
  file.AddTrack()
      .Program(0, 0, 0).Program(0, 3, 33).Program(0, 0, 1)
      .NoteOn(0, 3, 40, 90).NoteOn(0, 0, 64, 90).NoteOff(96, 3, 40).NoteOff(0, 0, 64)
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 2u);
  EXPECT_EQ(s.Parts[0]->Channel, 0);
  EXPECT_EQ(s.Parts[0]->Program, 1);  // the later program change of channel 0 found its part again
  EXPECT_EQ(s.Parts[1]->Channel, 3);
  EXPECT_EQ(s.Parts[1]->Program, 33);
  EXPECT_EQ(NotesOf(*s.Parts[0]).size(), 1u);
  EXPECT_EQ(NotesOf(*s.Parts[1]).size(), 1u);
}

// A controller before any note makes a part without a channel; the first
// channel message gives it one.
TEST(MidiReader, VolumeBeforeNotesMakesAPartThatTakesTheFirstChannel) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack().Controller(0, 5, 7, 100).Controller(0, 5, 10, 30).NoteOn(0, 3, 65, 90).NoteOff(96, 3, 65)
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 1u);
  EXPECT_EQ(s.Parts[0]->Volume, 100);
  EXPECT_EQ(s.Parts[0]->Pan, 30);
  EXPECT_EQ(s.Parts[0]->Channel, 3);
  EXPECT_FALSE(s.Parts[0]->Program.has_value());
  EXPECT_EQ(NotesOf(*s.Parts[0]).size(), 1u);
}

TEST(MidiReader, OtherChannelMessagesAreKeptAsRawEvents) {
  TMidiFileBuilder file(0, 128);
  file.AddTrack()
      .RunningStatus(true)
      .Controller(0, 2, 64, 127).Controller(10, 2, 64, 0)  // the second in running status
      .PitchBend(5, 2, 0x2000).ChannelPressure(5, 2, 99).PolyPressure(5, 2, 60, 44)
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  std::vector<std::pair<uint32_t, TBytes>> seen;
  for (const auto& e : s.MIDIEvents) seen.push_back({e->Time, std::get<TKVImportMIDIEvent>(e->Item).Data});
  EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, TBytes>>{{0, {0xB2, 64, 127}},
                                                            {10, {0xB2, 64, 0}},
                                                            {15, {0xE2, 0x00, 0x40}},
                                                            {20, {0xD2, 99}},
                                                            {25, {0xA2, 60, 44}}}));
  EXPECT_TRUE(s.Parts.empty());
}

TEST(MidiReader, TemposOfAllTracksGoToTheScoreMarks) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack().Tempo(0, 500000).Tempo(96, 666667).Tempo(96, 0).Meta(96, 0x51, {0x07, 0xA1}).EndOfTrack();
  file.AddTrack().Tempo(48, 400000).Tempo(48, 1).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  std::vector<std::pair<uint32_t, int>> seen;
  for (const auto& e : s.ScoreMarks) seen.push_back({e->Time, std::get<TKVImportTempo>(e->Item).BeatsPerMinute});
  // 666,667 µs is how writers store 90 BPM; 0 µs and a short event are skipped;
  // 1 µs is beyond 16 bits and stops at the largest value.
  EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, int>>{{0, 120}, {128, 90}, {64, 150}, {128, 65535}}));
}

struct TMeterCase {
  const char* Name;
  std::vector<std::pair<uint32_t, std::pair<int, int>>> Changes;  // file tick (division 128), numerator, power
  std::vector<uint16_t> Expected;
};
void PrintTo(const TMeterCase& c, std::ostream* os) {
  *os << c.Name;
}
class MidiMeterMap : public testing::TestWithParam<TMeterCase> {};

TEST_P(MidiMeterMap, ChangesTakeEffectAtTheNextBarLine) {
  TMidiFileBuilder file(1, 128);
  TMidiTrackBuilder& t = file.AddTrack();
  uint32_t now = 0;
  for (const auto& [tick, meter] : GetParam().Changes) {
    t.TimeSignature(tick - now, meter.first, meter.second);
    now = tick;
  }
  t.EndOfTrack();
  EXPECT_EQ(ReadMidi(file.Bytes()).MeterMap, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MidiMeterMap,
    testing::Values(
        TMeterCase{"ThreeEightAtStart", {{0, {3, 3}}}, {0x0308}},
        TMeterCase{"SixEightInsideMeasureTwo", {{1000, {6, 3}}}, {0x0404, 0x0404, 0x0608}},
        TMeterCase{"ZeroBeatsSkipped", {{0, {0, 2}}}, {0x0404}},
        TMeterCase{"DenominatorBeyondTheByteSkipped", {{0, {4, 8}}}, {0x0404}},
        TMeterCase{"SmallestDenominator", {{0, {1, 7}}, {8, {2, 2}}}, {0x0180, 0x0180, 0x0204}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MidiReader, KeySignaturesGoToThePartOfTheCurrentChannel) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack()
      .NoteOn(0, 2, 70, 90).NoteOff(96, 2, 70)
      .KeySignature(0, 2, 0).KeySignature(0, -3, 1).KeySignature(0, 0).KeySignature(0, 8).KeySignature(0, -8)
      .Meta(0, 0x59, {0x01})
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 1u);
  EXPECT_EQ(s.Parts[0]->Channel, 2);
  std::vector<std::pair<int, int>> keys;
  for (const TKVImportEvent* e : RecordsOf<TKVImportKeySignature>(s.Parts[0]->Events)) {
    EXPECT_EQ(e->Time, 128u);
    keys.push_back({std::get<TKVImportKeySignature>(e->Item).Key, std::get<TKVImportKeySignature>(e->Item).Mode});
  }
  EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{2, 0}, {13, 1}}));
}

TEST(MidiReader, KeySignatureBeforeAnyChannelMessageMakesAChannelZeroPart) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack().KeySignature(0, -1).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 1u);
  EXPECT_EQ(s.Parts[0]->Channel, 0);
  EXPECT_EQ(RecordsOf<TKVImportKeySignature>(s.Parts[0]->Events).size(), 1u);
}

TEST(MidiReader, LyricsFollowTheKaraokeConventions) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack().Text(0, 3, "Melody").NoteOn(0, 4, 60, 90).NoteOff(96, 4, 60).EndOfTrack();
  file.AddTrack()
      .Text(0, 3, "Words")
      .Text(0, 1, "@T Title")  // dropped, the hyphen flag untouched
      .Text(0, 5, "Hap-")
      .Text(0, 1, "@L English")
      .Text(10, 5, "py ")
      .Text(10, 5, " /Birth-")
      .Text(10, 5, "-")
      .Text(10, 6, "Verse")
      .Text(10, 7, "  ")
      .Text(10, 5, "day\x01")
      .Text(0, 5, "")  // empty: nothing
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 2u);
  const TKVMidiImportPart& words = *s.Parts[1];
  EXPECT_EQ(words.Name, "Words");
  EXPECT_EQ(words.Channel, 0);  // the named part takes channel 0 with its first lyric
  struct TLyricSeen {
    uint32_t Time;
    int Kind, Style;
    std::u16string Text;
    bool operator==(const TLyricSeen&) const = default;
  };
  std::vector<TLyricSeen> seen;
  for (const TKVImportEvent* e : RecordsOf<TKVImportLyric>(words.Events)) {
    const auto& l = std::get<TKVImportLyric>(e->Item);
    EXPECT_EQ(l.Value, 256);
    seen.push_back({e->Time, l.Kind, l.Style, l.Text});
  }
  EXPECT_EQ(seen, (std::vector<TLyricSeen>{{0, 33, 0, u"Hap"},
                                           {13, 33, 1, u"py"},
                                           {27, 33, 2, u"Birth"},
                                           {40, 33, 1, u""},
                                           {53, 34, 1, u"Verse"},
                                           {67, 34, 0, u""},  // blank: the flag stays as it was
                                           {80, 33, 0, u"day"}}));
  EXPECT_TRUE(s.Parts[0]->Events.size() == 1);
}

TEST(MidiReader, LyricsGoToTheChannelZeroPartEvenInAnotherTrack) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack().NoteOn(0, 0, 60, 90).NoteOff(96, 0, 60).EndOfTrack();
  file.AddTrack().NoteOn(0, 1, 62, 90).Text(0, 5, "la").NoteOff(96, 1, 62).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 2u);
  EXPECT_EQ(LyricTexts(*s.Parts[0]), std::vector<std::u16string>{u"la"});
  EXPECT_TRUE(LyricTexts(*s.Parts[1]).empty());
  // The note-off after the lyric still finds its note on channel 1.
  EXPECT_EQ(NotesOf(*s.Parts[1]), (std::vector<TNoteSeen>{{0, 128, 62, 90}}));
}

TEST(MidiReader, TextsBecomeUtf8) {
  TMidiFileBuilder file(1, 96);
  file.AddTrack()
      .Text(0, 3, "Caf\xE9 \x80")          // Windows-1252
      .Text(0, 2, "\xC2\xA9 2024 ")        // already UTF-8
      .Text(0, 2, std::string("Me\0junk", 7))  // a zero byte ends a text
      .Text(0, 5, "\xD0\xBB\xD1\x8E")      // UTF-8 Cyrillic
      .EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  EXPECT_EQ(s.ThirdHeaderString, "\xC2\xA9 2024 Me");
  ASSERT_EQ(s.Parts.size(), 1u);
  EXPECT_EQ(s.Parts[0]->Name, "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(LyricTexts(*s.Parts[0]), std::vector<std::u16string>{u"\u043B\u044E"});
}

TEST(MidiReader, LongNewLineLyricKeepsAThousandCharacters) {
  TMidiFileBuilder file(1, 96);
  std::string text = "/";
  for (int i = 0; i < 1200; ++i) text += "\xC3\xA9";
  file.AddTrack().Text(0, 5, text).EndOfTrack();
  auto texts = LyricTexts(*ReadMidi(file.Bytes()).Parts[0]);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], std::u16string(1000, u'\u00E9'));
}

TEST(MidiReader, BlackKeysAreSpelledAsSharps) {
  TMidiFileBuilder file(0, 96);
  TMidiTrackBuilder& t = file.AddTrack();
  for (int key : {61, 62, 0, 127, 70}) t.NoteOn(0, 1, key, 90).NoteOff(1, 1, key);
  t.EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  std::vector<std::pair<int, int>> spelled;
  for (const auto& e : s.Parts[0]->Events) {
    const auto& n = std::get<TKVImportNote>(e->Item);
    spelled.push_back({n.Pitch, n.Accidental});
  }
  EXPECT_EQ(spelled, (std::vector<std::pair<int, int>>{
                         {0x50, SharpAccidental}, {0x51, 0}, {0x00, 0}, {0xA4, 0}, {0x55, SharpAccidental}}));
}

TEST(MidiReader, LowNoteFlagIsSetFromKey61Down) {
  for (auto [key, flag] : {std::pair{61, 1u}, {62, 0u}, {20, 1u}}) {
    TMidiFileBuilder file(0, 96);
    file.AddTrack().NoteOn(0, 0, key, 90).NoteOff(1, 0, key).EndOfTrack();
    EXPECT_EQ(ReadMidi(file.Bytes()).Parts[0]->LowNote, flag) << key;
  }
}

TEST(MidiReader, DrumChannelNotesFollowTheDrumMap) {
  TKVMidiDrumMap drums{};
  drums[36] = {true, 58, 2};    // position 35: octave 5, step 0
  drums[38] = {true, 60, 255};  // no symbol
  drums[42] = {true, 10, 0};    // below key 0: the lowest position
  drums[46] = {false, 70, 1};   // disabled
  TMidiFileBuilder file(0, 96);
  TMidiTrackBuilder& t = file.AddTrack();
  for (int key : {36, 38, 42, 46}) t.NoteOn(0, 9, key, 100).NoteOff(48, 9, key);
  t.NoteOn(0, 0, 36, 100).NoteOff(48, 0, 36);  // the map is only for the drum channel
  t.EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes(), &drums);
  ASSERT_EQ(s.Parts.size(), 2u);
  EXPECT_EQ(s.Parts[0]->Channel, 9);
  std::vector<std::tuple<int, int, int>> drum;
  for (const auto& e : s.Parts[0]->Events) {
    const auto& n = std::get<TKVImportNote>(e->Item);
    drum.push_back({n.Pitch, n.Symbol, n.Accidental});
    EXPECT_EQ(n.MidiKey, e->Key);
  }
  EXPECT_EQ(drum, (std::vector<std::tuple<int, int, int>>{
                      {0x50, 7, 0}, {0x52, 255, 0}, {0x00, 5, 0}, {0x35, 0, SharpAccidental}}));
  EXPECT_EQ(std::get<TKVImportNote>(s.Parts[1]->Events[0]->Item).Pitch, 0x30);
  // Without a map the drum notes are spelled from their keys.
  TKVMidiImportState plain = ReadMidi(file.Bytes());
  EXPECT_EQ(std::get<TKVImportNote>(plain.Parts[0]->Events[0]->Item).Pitch, 0x30);
}

// A velocity byte with its top bit is read without it, and counted; volume
// goes to its channel's part; a program after a part's first note is an event.
TEST(MidiReader, VelocitiesControllersAndProgramsGoWhereTheyPlay) {
  TMidiFileBuilder file(0, 128);
  file.AddTrack().Program(0, 0, 6).NoteOn(0, 0, 60, 100).Controller(0, 1, 7, 90).NoteOff(128, 0, 60).Program(0, 0, 9)
      .Raw({0x00, 0x90, 64, 0xC0}).NoteOff(128, 0, 64).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 128, 60, 100}, {128, 128, 64, 0x40}}));
  EXPECT_TRUE(s.HighVelocities == 1 && s.Parts[0]->Program == 6 && !s.Parts[0]->Volume && s.Parts.at(1)->Volume == 90);
  EXPECT_TRUE(s.MIDIEvents.size() == 1 && std::get<TKVImportMIDIEvent>(s.MIDIEvents[0]->Item).Data == TBytes({0xC0, 9}));
}

// Every data byte read without its top bit is counted, whatever its message.
TEST(MidiReader, DataBytesWithTheirTopBitAreCounted) {
  TMidiFileBuilder file(0, 128);
  file.AddTrack().Raw({0x00, 0xC0, 0x85, 0x00, 0x90, 60, 0xFF, 0x40, 0x80, 60, 0xCC, 0x00, 0xB0, 0x81, 0x90}).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  EXPECT_EQ(s.HighVelocities, 5u);
  EXPECT_EQ(NotesOf(*s.Parts.at(0)), (std::vector<TNoteSeen>{{0, 64, 60, 127}}));
  EXPECT_EQ(s.Parts[0]->Program, 5);
  ASSERT_EQ(s.MIDIEvents.size(), 1u);
  EXPECT_EQ(std::get<TKVImportMIDIEvent>(s.MIDIEvents[0]->Item).Data, TBytes({0xB0, 0x01, 0x10}));
}

TEST(MidiReader, HeaderFormatIsKeptOnlyWhenKnown) {
  TMidiFileBuilder file(7, 96);
  file.AddTrack().EndOfTrack();
  file.TrackCount(5);
  TKVMidiImportState s = ReadMidi(file.Bytes());
  EXPECT_EQ(s.Format, 0);
  EXPECT_EQ(s.TrackCount, 5);
}

TEST(MidiReader, ChunksOfOtherKindsAreSkipped) {
  TMidiFileBuilder file(1, 96);
  file.AddChunk("XFIH", {1, 2, 3, 'M', 'T', 'r', 'k'});
  file.AddTrack().NoteOn(0, 0, 60, 90).NoteOff(96, 0, 60).EndOfTrack();
  file.AddChunk("junk", TBytes(300, 0x90));
  TKVMidiImportState s = ReadMidi(file.Bytes());
  ASSERT_EQ(s.Parts.size(), 1u);
  EXPECT_EQ(NotesOf(*s.Parts[0]).size(), 1u);
}

// Frames per second and ticks per frame: a quarter note is half a second,
// and the file's own tempo events do not time it.
TEST(MidiReader, SmpteDivisionTimesAtHalfASecondPerQuarter) {
  TMidiFileBuilder file(0, uint16_t(uint8_t(-25) << 8 | 40));  // 25 fps x 40 = 500 ticks per quarter
  file.AddTrack().Tempo(0, 1000000).NoteOn(0, 0, 60, 90).NoteOff(1000, 0, 60).EndOfTrack();
  TKVMidiImportState s = ReadMidi(file.Bytes());
  EXPECT_EQ(NotesOf(*s.Parts[0]), (std::vector<TNoteSeen>{{0, 256, 60, 90}}));
  ASSERT_EQ(s.ScoreMarks.size(), 1u);
  EXPECT_EQ(s.ScoreMarks[0]->Time, 0u);
  EXPECT_EQ(std::get<TKVImportTempo>(s.ScoreMarks[0]->Item).BeatsPerMinute, TKVMidiReader::SmpteTempo);
}

TEST(MidiReader, RmidWrapperIsUnwrapped) {
  TBytes smf = ScaleFile();
  auto plain = NotesOf(*ReadMidi(smf).Parts[0]);
  for (bool infoFirst : {true, false}) {
    TKVMidiImportState s = ReadMidi(TMidiFileBuilder::WrapRmid(smf, infoFirst));
    ASSERT_EQ(s.Parts.size(), 1u);
    EXPECT_EQ(NotesOf(*s.Parts[0]), plain);
  }
}

}  // namespace
