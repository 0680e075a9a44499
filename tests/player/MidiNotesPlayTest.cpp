// Every note-on of a MIDI file sounds once when the file plays: the notes the
// play thread strikes and the notes the import merged into a note of the same
// key and beat are, channel and key by channel and key, the file's note-ons.
// Checked on files written the way sequencers and arrangers write them, and
// on every file of the fetched corpus.

#include <cctype>
#include <filesystem>
#include <map>

#include "PlayFixture.h"
#include "platform/midi/Synthesiser.h"
#include "platform/threads/MainQueue.h"
#include "player/MidiOutput.h"
#include "support/AudioCheck.h"
#include "score/import/midi/MidiImport.h"
#include "score/model/ScoreImporters.h"
#include "support/MidiFileBuilder.h"
#include "support/MidiFileWalk.h"
#include "support/Sanitized.h"
#include "support/ScratchDir.h"

namespace {

// One event of a track: note-ons with a velocity, note-offs with none.
struct TTimed {
  uint32_t Time;
  int Channel, Key, Velocity;
};
using TTrackEvents = std::vector<TTimed>;

// A track of the events, in time order (events of one time in the order
// given), after an optional name and program change; note-offs as note-ons
// of velocity 0 when asked.
void WriteTrack(TMidiFileBuilder& File, TTrackEvents Events, const std::string& Name = "", int Program = -1,
                bool ZeroVelocityOffs = false) {
  TMidiTrackBuilder& t = File.AddTrack();
  if (!Name.empty()) t.Text(0, 3, Name);
  if (Program >= 0) t.Program(0, Events.empty() ? 0 : Events[0].Channel, Program);
  std::stable_sort(Events.begin(), Events.end(), [](const TTimed& a, const TTimed& b) { return a.Time < b.Time; });
  uint32_t now = 0;
  for (const TTimed& e : Events) {
    if (e.Velocity || ZeroVelocityOffs)
      t.NoteOn(e.Time - now, e.Channel, e.Key, e.Velocity);
    else
      t.NoteOff(e.Time - now, e.Channel, e.Key);
    now = e.Time;
  }
  t.EndOfTrack(96);
}

// A strummed key: struck N times an eighth apart (division 96), each strike's
// note-off N eighths after it, so that all of them come after the last strike.
TBytes Strum(int N, int Program = 24) {
  TTrackEvents events;
  for (int i = 0; i < N; ++i) events.push_back({uint32_t(i * 48), 0, 52, 90});
  for (int i = 0; i < N; ++i) events.push_back({uint32_t((i + N) * 48), 0, 52, 0});
  TMidiFileBuilder file(1, 96);
  WriteTrack(file, events, "Guitar", Program);
  return file.Bytes();
}

// A bass key struck on every beat and held for two: each strike comes a beat
// before the note-off of the one before it, the note-offs of a tick written
// before its note-on, or after it.
TBytes Restrike(bool OffsFirst) {
  TTrackEvents events;
  for (int i = 0; i < 12; ++i) {
    TTimed on{uint32_t(i * 96), 0, 36, 100}, off{uint32_t(i * 96 + 192), 0, 36, 0};
    events.push_back(on);
    events.insert(OffsFirst ? events.end() - 1 : events.end(), off);
  }
  TMidiFileBuilder file(1, 96);
  WriteTrack(file, events, "Bass", 33);
  return file.Bytes();
}

// Two named tracks on channel 0: the melody's note-offs stand in the chord
// track, an eighth before each next melody note; the melody strikes a key
// again in its second measure.
TBytes CrossedTracks() {
  const int melody[] = {72, 74, 76, 77, 79, 77, 76, 74};
  TTrackEvents tune, chords;
  for (int i = 0; i < 8; ++i) {
    tune.push_back({uint32_t(i * 96), 0, melody[i], 100});
    chords.push_back({uint32_t(i * 96 + 48), 0, melody[i], 0});
  }
  for (int m = 0; m < 2; ++m)
    for (int key : {60, 64, 67}) {
      chords.push_back({uint32_t(m * 384), 0, key, 80});
      chords.push_back({uint32_t(m * 384 + 380), 0, key, 0});
    }
  TMidiFileBuilder file(1, 96);
  WriteTrack(file, tune, "Melody");
  WriteTrack(file, chords, "Chords");
  return file.Bytes();
}

// Each note of a tune again an eighth later, softer, while the first still
// sounds.
TBytes Echo() {
  const int keys[] = {60, 60, 62, 64, 64, 64, 67, 65, 64, 62, 60, 60};
  TTrackEvents events;
  for (int i = 0; i < 12; ++i)
    for (int copy = 0; copy < 2; ++copy) {
      events.push_back({uint32_t(i * 96 + copy * 48), 0, keys[i], copy ? 60 : 100});
      events.push_back({uint32_t(i * 96 + copy * 48 + 90), 0, keys[i], 0});
    }
  TMidiFileBuilder file(1, 96);
  WriteTrack(file, events, "Lead", 80);
  return file.Bytes();
}

// Sixteen named tracks on channel 0, each striking a key of its own twice;
// the last track holds every note-off.
TBytes SixteenTracks() {
  TMidiFileBuilder file(1, 96);
  TTrackEvents offs;
  for (int t = 0; t < 16; ++t) {
    WriteTrack(file, {{0, 0, 60 + t, 90}, {96, 0, 60 + t, 90}}, "Part " + std::to_string(t));
    offs.push_back({90, 0, 60 + t, 0});
    offs.push_back({186, 0, 60 + t, 0});
  }
  WriteTrack(file, offs, "Offs");
  return file.Bytes();
}

// An accompaniment as an arranger writes it (division 192, 140 a minute,
// channel 5): in each bar a chord struck on beat 2 1/2, whose notes end one
// after another, goes onto beat 2 where an eighth is struck, and its lowest
// upper key is struck on beats 1 and 4 as well; the strike on beat 4 ends
// on the tick the next bar's begins.
TBytes Accompaniment() {
  struct TNote {
    uint32_t Start, Length;
    int Key, Velocity;
  };
  const TNote notes[] = {
      {0, 80, 50, 80},     {96, 80, 53, 80},    {192, 80, 69, 80},    {288, 304, 50, 63},   {288, 304, 53, 63},
      {288, 304, 62, 63},  {288, 304, 69, 63},  {768, 80, 60, 80},    {864, 80, 52, 83},    {960, 80, 67, 86},
      {1056, 352, 52, 73}, {1056, 352, 60, 73}, {1056, 400, 72, 73},  {1056, 464, 79, 73},  {1440, 96, 60, 103},
      {1536, 80, 60, 80},  {1632, 80, 52, 83},  {1728, 80, 67, 86},   {1824, 352, 52, 73},  {1824, 352, 60, 73},
      {1824, 400, 72, 73}, {1824, 464, 79, 73}, {2208, 96, 60, 103},  {2304, 832, 50, 57}};
  TTrackEvents events;  // the note-offs of a tick before its note-ons
  for (const TNote& n : notes) events.push_back({n.Start + n.Length, 4, n.Key, 0});
  for (const TNote& n : notes) events.push_back({n.Start, 4, n.Key, n.Velocity});
  TMidiFileBuilder file(1, 192);
  file.AddTrack().Tempo(0, 60000000 / 140).EndOfTrack();
  WriteTrack(file, events, "Accompaniment", -1, true);
  return file.Bytes();
}

struct TNotesCase {
  const char* Name;
  TBytes (*Build)();
  size_t NoteOns, Struck, Merged;
};
void PrintTo(const TNotesCase& c, std::ostream* os) {
  *os << c.Name;
}

class MidiNotesPlay : public PlayTest {
protected:
  MidiNotesPlay() {
    RegisterMidiImporter();
    AfterShort([this](uint8_t status, uint8_t key) {
      if ((status & 0xF0) == 0x90 && std::stoi(sent.back().Text.substr(6), nullptr, 16) > 0) ++struck[(status & 15) * 128 + key];
    });
  }
  ~MidiNotesPlay() override { RegisterScoreImporter(TKVImportFormat::MIDI, {}); }

  // Loads Path as the program does and plays it through to its end.
  void LoadAndPlay(const std::string& Path) {
    score->LoadFromFile(Path);
    PlayAll();
  }
  // Notes struck, over all keys.
  size_t Struck() const {
    size_t n = 0;
    for (const auto& [key, count] : struck) n += size_t(count);
    return n;
  }
  // Channel x 128 + key of each note struck more often than the file has
  // note-ons of it, and of each note-on neither struck nor merged when the
  // merged notes are counted in: "<channel>/<key>: struck <n> of <m>".
  std::string Mismatches(const TBytes& File) const {
    std::map<int, int> ons;
    for (const test_support::TNoteOn& n : test_support::WalkMidiFile(File).Notes) ++ons[n.Channel * 128 + n.Key];
    std::string out;
    int unstruck = 0;
    for (const auto& [key, count] : ons) {
      const auto it = struck.find(key);
      const int played = it == struck.end() ? 0 : it->second;
      if (played > count) out += " " + std::to_string(key / 128) + "/" + std::to_string(key % 128) + ": struck " +
                                 std::to_string(played) + " of " + std::to_string(count);
      unstruck += std::max(0, count - played);
    }
    for (const auto& [key, count] : struck)
      if (!ons.count(key)) out += " " + std::to_string(key / 128) + "/" + std::to_string(key % 128) + " not in the file";
    if (uint32_t(unstruck) != score->MidiImportNotice.Merged)
      out += " unstruck " + std::to_string(unstruck) + ", merged " + std::to_string(score->MidiImportNotice.Merged);
    return out;
  }

  std::map<int, int> struck;  // channel x 128 + key: note-ons sent with a velocity
};

class MidiNotesPlayCases : public MidiNotesPlay, public testing::WithParamInterface<TNotesCase> {};

TEST_P(MidiNotesPlayCases, EveryNoteOnIsStruckOrMergedOnce) {
  const TNotesCase& c = GetParam();
  test_support::TScratchDir dir;
  const TBytes bytes = c.Build();
  test_support::WriteBytes(dir.Path("notes.mid"), bytes);
  LoadAndPlay(dir.Path("notes.mid"));
  EXPECT_EQ(test_support::WalkMidiFile(bytes).Notes.size(), c.NoteOns);
  EXPECT_EQ(Struck(), c.Struck);
  EXPECT_EQ(score->MidiImportNotice.Merged, c.Merged);
  EXPECT_EQ(Mismatches(bytes), "");
  // Every note of these files ends by a note-off or by a new strike.
  EXPECT_EQ(score->MidiImportNotice.EndedByTrack, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SequencerPatterns, MidiNotesPlayCases,
    testing::Values(TNotesCase{"StrumOfTwo", [] { return Strum(2); }, 2, 2, 0},
                    TNotesCase{"StrumOfSixteen", [] { return Strum(16); }, 16, 16, 0},
                    TNotesCase{"StrumOfTwentyTwo", [] { return Strum(22); }, 22, 22, 0},
                    TNotesCase{"RestrikeABeatBeforeTheNoteOffOffsFirst", [] { return Restrike(true); }, 12, 12, 0},
                    TNotesCase{"RestrikeABeatBeforeTheNoteOffOnsFirst", [] { return Restrike(false); }, 12, 12, 0},
                    TNotesCase{"TwoTracksOnOneChannelWithCrossedNoteOffs", CrossedTracks, 14, 14, 0},
                    TNotesCase{"EchoTrack", Echo, 24, 24, 0},
                    TNotesCase{"SixteenTracksOnOneChannel", SixteenTracks, 32, 32, 0},
                    TNotesCase{"AccompanimentChordMovedOntoTheBeat", Accompaniment, 24, 23, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

// What the play thread sends, rendered by the built-in synthesiser faster
// than real time: every strike of a strummed key is heard, each an attack
// that rises out of the sound before it (on a xylophone, whose sound dies
// away between strikes).
TEST_F(MidiNotesPlay, EveryStrikeOfAStrumIsHeard) {
  midi::TSampleSource& synth = midi::AttachSynthesiser(44100);
  TMidiOutput out;
  out.SetDeviceID(0);
  ASSERT_TRUE(out.Open());
  audiocheck::TStereo audio;
  double rendered = 0;  // ms
  auto renderTo = [&](double ms) {
    const audiocheck::TStereo more = audiocheck::Pull(synth, (ms - rendered) / 1000);
    audio.insert(audio.end(), more.begin(), more.end());
    rendered += double(audiocheck::Frames(more)) * 1000 / synth.SampleRate();
  };
  view.OnPlayShort = [&](TObject*, uint8_t status, uint8_t data1, uint8_t data2, int32_t, bool) {
    renderTo(clock.NowMs() - start);
    out.PutShort(status, data1, data2);
  };
  test_support::TScratchDir dir;
  test_support::WriteBytes(dir.Path("strum.mid"), Strum(22, 13));
  score->LoadFromFile(dir.Path("strum.mid"));
  PlayAll();
  renderTo(rendered + 500);
  out.Close();
  midi::DetachSynthesiser();
  TMainQueue::Instance().ProcessPending();
  // Loudness of each 20 ms; an attack is a frame at least twice as loud as
  // the quietest of the 100 ms before it, counted once per rise.
  const int frame = synth.SampleRate() / 50;
  std::vector<double> loudness(5, 0.0);  // the silence before the run
  for (size_t at = 0; at + size_t(frame) <= audiocheck::Frames(audio); at += size_t(frame))
    loudness.push_back(audiocheck::Rms(audiocheck::Slice(audio, synth.SampleRate(), double(at) / synth.SampleRate(), 0.02), 0));
  int attacks = 0;
  bool rising = false;
  for (size_t i = 5; i < loudness.size(); ++i) {
    const double before = *std::min_element(loudness.begin() + std::ptrdiff_t(i) - 5, loudness.begin() + std::ptrdiff_t(i));
    const bool attack = loudness[i] > 0.005 && loudness[i] > 2 * before;
    attacks += attack && !rising;
    rising = attack;
  }
  EXPECT_EQ(attacks, 22);
}

// Every file of the fetched corpus, played through on the fake clock.
class MidiCorpusPlay : public MidiNotesPlay, public testing::WithParamInterface<std::string> {};

TEST_P(MidiCorpusPlay, EveryNoteOnIsStruckOrMergedOnce) {
  TMemoryStream file;
  file.LoadFromFile(GetParam());
  LoadAndPlay(GetParam());
  EXPECT_EQ(Mismatches(file.Bytes()), "");
  std::printf("%zu note-ons, %zu struck, %u merged, %u ended by their track, %.0f ms played\n",
              test_support::WalkMidiFile(file.Bytes()).Notes.size(), Struck(), score->MidiImportNotice.Merged,
              score->MidiImportNotice.EndedByTrack, clock.NowMs() - start);
}

INSTANTIATE_TEST_SUITE_P(Corpus, MidiCorpusPlay, testing::ValuesIn(test_support::SanitizerShare(test_support::MidiCorpusFiles(), 4)),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = std::filesystem::path(info.param).stem().string() + "_" + std::to_string(info.index);
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MidiCorpusPlay);

}  // namespace

