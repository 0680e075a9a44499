// Every Standard MIDI File of the fetched corpus reads and imports without
// error, and what is read and imported equals a count taken straight from the
// file by a plain walk of its events. Skipped when the corpus has not been
// fetched (scripts/fetch-midi-corpus, or SONARID_MIDI_CACHE pointing at it).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "score/import/MidiImportTestSupport.h"
#include "score/import/MidiReaderTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string MidiCacheDir() {
  const char* env = std::getenv("SONARID_MIDI_CACHE");
  return env && *env ? env : SONARID_MIDI_CACHE;
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  std::string dir = MidiCacheDir();
  if (dir.empty() || !fs::is_directory(dir)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (entry.is_regular_file() && (ext == ".mid" || ext == ".midi" || ext == ".kar" || ext == ".rmi"))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct TNoteOn {
  int Key;
  int64_t Time;  // score ticks (128 a quarter note)
  bool operator<(const TNoteOn& o) const { return Key != o.Key ? Key < o.Key : Time < o.Time; }
};

// Every note-on with a velocity, found by walking the track chunks the plain
// way: running status kept across everything, SysEx and meta events skipped
// by their lengths.
std::vector<TNoteOn> NoteOns(const TBytes& f) {
  std::vector<TNoteOn> notes;
  size_t at = 0;
  auto be32 = [&](size_t i) { return uint32_t(f[i]) << 24 | f[i + 1] << 16 | f[i + 2] << 8 | f[i + 3]; };
  const double division = f.size() >= 14 ? (f[12] << 8 | f[13]) : 96;
  while (at + 8 <= f.size()) {
    bool track = std::equal(f.begin() + at, f.begin() + at + 4, "MTrk");
    size_t end = std::min<size_t>(f.size(), at + 8 + be32(at + 4));
    size_t i = at + 8;
    auto number = [&] {
      uint32_t v = 0;
      while (i < end && (f[i] & 0x80)) v = v << 7 | (f[i++] & 0x7F);
      return i < end ? v << 7 | f[i++] : v;
    };
    int status = 0;
    uint64_t time = 0;
    while (track && i < end) {
      time += number();
      if (i >= end) break;
      if (f[i] == 0xFF) {
        i += 2;
        i += number();
      } else if (f[i] == 0xF0 || f[i] == 0xF7) {
        ++i;
        i += number();
      } else {
        if (f[i] & 0x80) status = f[i++];
        int kind = status >> 4;
        int size = kind == 0xC || kind == 0xD ? 1 : 2;
        if (kind == 0x9 && i + 1 < end && f[i + 1] > 0)
          notes.push_back({f[i], int64_t(std::floor(time * 128.0 / division + 0.5 + 1e-6))});
        i += size;
      }
    }
    at = end;
  }
  std::sort(notes.begin(), notes.end());
  return notes;
}

std::vector<int> KeysOf(const std::vector<TNoteOn>& notes) {
  std::vector<int> keys;
  for (const TNoteOn& n : notes) keys.push_back(n.Key);
  return keys;
}

// Keys in A and not in B, and the reverse, counted as multisets.
std::string KeyDifference(const std::vector<int>& a, const std::vector<int>& b) {
  std::vector<int> extra, missing;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(extra));
  std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(missing));
  std::string out = "extra:";
  for (int k : extra) out += " " + std::to_string(k);
  out += " missing:";
  for (int k : missing) out += " " + std::to_string(k);
  return out;
}

TEST(MidiCorpus, EveryFileReadsEveryNote) {
  std::vector<fs::path> files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no MIDI corpus at '" << MidiCacheDir() << "'";
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.string());
    TMemoryStream stream;
    stream.LoadFromFile(path.string());
    TKVMidiImportState s;
    ASSERT_NO_THROW(s = ReadMidiFile(stream));
    std::vector<int> keys;
    for (const auto& part : s.Parts) {
      EXPECT_TRUE(part->OpenNotes.empty());
      for (const TNoteSeen& n : NotesOf(*part)) keys.push_back(n.Key);
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, KeysOf(NoteOns(stream.Bytes())));
    EXPECT_FALSE(keys.empty());
    for (uint16_t word : s.MeterMap) EXPECT_TRUE((word >> 8) > 0 && (word & 0xFF) > 0);
  }
}

// One test per file, so that the files import side by side.
class MidiCorpusImport : public MidiImportTest, public testing::WithParamInterface<fs::path> {};

// The notes written (a tied chain counted once) and the notes merged into a
// note of the same key, voice and position are the notes of the file; each
// merged note has a note of its key near it in the file.
TEST_P(MidiCorpusImport, ImportsEveryNote) {
  TMemoryStream stream;
  stream.LoadFromFile(GetParam().string());
  TKVMidiImportResult result;
  ASSERT_NO_THROW(result = Import(stream.Bytes()));
  std::vector<int> keys;
  for (int p = 0; p < piece->GetPartCount(); ++p)
    for (TKVNote* n : NoteStarts(*Part(p))) keys.push_back(n->MidiKey);
  const std::vector<TNoteOn> file = NoteOns(stream.Bytes());
  std::string merged;
  for (const TKVMidiMergedNote& m : result.MergedDuplicates) {
    keys.push_back(m.Key);
    merged += " " + std::to_string(m.Key) + "@" + std::to_string(m.Time);
    auto near = std::count_if(file.begin(), file.end(), [&](const TNoteOn& n) {
      return n.Key == m.Key && std::abs(n.Time - int64_t(m.Time)) <= TicksPerWhole;
    });
    EXPECT_GE(near, 2) << "merged " << int(m.Key) << " at " << m.Time << " has no note of its key near it";
  }
  std::sort(keys.begin(), keys.end());
  EXPECT_TRUE(keys == KeysOf(file)) << KeyDifference(keys, KeysOf(file));
  std::printf("%zu notes, %zu merged duplicates:%s\n", file.size(), result.MergedDuplicates.size(), merged.c_str());
}

INSTANTIATE_TEST_SUITE_P(Corpus, MidiCorpusImport, testing::ValuesIn(CorpusFiles()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                           std::string name = info.param.parent_path().filename().string() + "_" +
                                              info.param.stem().string() + "_" + std::to_string(info.index);
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MidiCorpusImport);

}  // namespace
