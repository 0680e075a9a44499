// Every Standard MIDI File of the fetched corpus reads without error, and the
// notes read equal a count taken straight from the file by a plain walk of
// its events. Skipped when the corpus has not been fetched
// (run corpus/fetch-midi.sh DIR and point SONARID_MIDI_CACHE at DIR).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

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

// The keys of every note-on with a velocity, found by walking the track
// chunks the plain way: running status kept across everything, SysEx and
// meta events skipped by their lengths.
std::vector<int> NoteOnKeys(const TBytes& f) {
  std::vector<int> keys;
  size_t at = 0;
  auto be32 = [&](size_t i) { return uint32_t(f[i]) << 24 | f[i + 1] << 16 | f[i + 2] << 8 | f[i + 3]; };
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
    while (track && i < end) {
      number();
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
        if (kind == 0x9 && i + 1 < end && f[i + 1] > 0) keys.push_back(f[i]);
        i += size;
      }
    }
    at = end;
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

TEST(MidiCorpus, EveryFileReadsAndKeepsEveryNote) {
  std::vector<fs::path> files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no MIDI corpus at '" << MidiCacheDir() << "'";
  size_t totalNotes = 0;
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
    EXPECT_EQ(keys, NoteOnKeys(stream.Bytes()));
    EXPECT_FALSE(keys.empty());
    for (uint16_t word : s.MeterMap) EXPECT_TRUE((word >> 8) > 0 && (word & 0xFF) > 0);
    totalNotes += keys.size();
  }
  std::printf("MIDI corpus: %zu files, %zu notes\n", files.size(), totalNotes);
}

}  // namespace
