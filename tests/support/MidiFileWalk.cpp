#include "support/MidiFileWalk.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace test_support {

namespace {

int64_t MeasureLength(const std::vector<uint16_t>& map, size_t m) {
  uint16_t word = map[std::min(m, map.size() - 1)];
  return (word >> 8) * 512 / (word & 0xFF);
}

// A time signature takes effect at the first bar line at or after it.
void AddMeter(std::vector<uint16_t>& map, int64_t time, uint16_t word) {
  size_t m = 0;
  for (int64_t sum = 0; time > 0 && sum < time; ++m) {
    if (m >= map.size()) map.push_back(map.back());
    sum += MeasureLength(map, m);
  }
  if (m == map.size()) map.push_back(word);
  map[m] = word;
}

// A note while the file is walked: the index of its note-on and its track.
struct TWalked {
  size_t Note;
  int Track;
  bool Sounding = true;
  bool OwnNoteOff = false;
  int64_t StruckAgain = 0;  // where a new strike of its key in its track ended it
};

struct TStrayOff {
  int64_t Tick;
  int Track;
  bool Used = false;
};

}  // namespace

TFileWalk WalkMidiFile(const TBytes& f) {
  TFileWalk walk;
  size_t at = 0;
  auto be32 = [&](size_t i) { return uint32_t(f[i]) << 24 | f[i + 1] << 16 | f[i + 2] << 8 | f[i + 3]; };
  const double division = f.size() >= 14 ? (f[12] << 8 | f[13]) : 96;
  // Channel x 128 + key: the notes in the order they began, and the stray
  // note-offs.
  std::map<int, std::vector<TWalked>> walked;
  std::map<int, std::vector<TStrayOff>> strays;
  std::vector<int64_t> trackEnds;
  auto end = [&](TWalked& n, int64_t tick) {
    walk.Notes[n.Note].End = tick;
    walk.LastEnd = std::max(walk.LastEnd, tick);
    n.Sounding = false;
  };
  for (int track = 0; at + 8 <= f.size(); ++track) {
    const bool isTrack = std::equal(f.begin() + std::ptrdiff_t(at), f.begin() + std::ptrdiff_t(at) + 4, "MTrk");
    const size_t chunkEnd = std::min<size_t>(f.size(), at + 8 + be32(at + 4));
    size_t i = at + 8;
    auto number = [&] {
      uint32_t v = 0;
      while (i < chunkEnd && (f[i] & 0x80)) v = v << 7 | (f[i++] & 0x7F);
      return i < chunkEnd ? v << 7 | f[i++] : v;
    };
    int status = 0;
    uint64_t time = 0;
    int64_t tick = 0;
    while (isTrack && i < chunkEnd) {
      time += number();
      if (i >= chunkEnd) break;
      tick = int64_t(std::floor(double(time) * 128.0 / division + 0.5 + 1e-6));
      if (f[i] == 0xFF) {
        const int type = i + 1 < chunkEnd ? f[i + 1] : 0;
        i += 2;
        const size_t length = number();
        if (type == 0x51 && length >= 3 && i + 2 < chunkEnd && (f[i] | f[i + 1] | f[i + 2])) {
          walk.Tempos.push_back({tick, (f[i] << 16 | f[i + 1] << 8 | f[i + 2]) / 128000.0});
          walk.LastPoint = std::max<int64_t>(walk.LastPoint, int64_t(std::nearbyint(double(tick) / 32.0)) * 32);
        }
        if (type == 0x58 && length >= 2 && i + 1 < chunkEnd && f[i] > 0 && f[i + 1] < 7)
          AddMeter(walk.MeterMap, tick, uint16_t(f[i] << 8 | 1 << f[i + 1]));
        i += length;
      } else if (f[i] == 0xF0 || f[i] == 0xF7) {
        ++i;
        i += number();
      } else {
        if (f[i] & 0x80) status = f[i++];
        const int kind = status >> 4;
        const int size = kind == 0xC || kind == 0xD ? 1 : 2;
        if (kind == 0xA || kind == 0xD || kind == 0xE || (kind == 0xB && i < chunkEnd && f[i] != 7 && f[i] != 10))
          walk.LastPoint = std::max<int64_t>(walk.LastPoint, tick);
        const int key = i < chunkEnd ? f[i] & 0x7F : 0, velocity = i + 1 < chunkEnd ? f[i + 1] & 0x7F : 0;
        const int slot = (status & 15) * 128 + key;
        std::vector<TWalked>& notes = walked[slot];
        const bool on = kind == 0x9 && i + 1 < chunkEnd && velocity > 0;
        if ((kind == 0x8 || kind == 0x9) && i < chunkEnd) {
          auto own = std::find_if(notes.begin(), notes.end(), [&](const TWalked& n) { return n.Sounding && n.Track == track; });
          if (own != notes.end()) {
            end(*own, tick);
            if (on) own->StruckAgain = tick;
            else own->OwnNoteOff = true;
          } else if (!on) {
            strays[slot].push_back({tick, track});
          }
        }
        if (on) {
          notes.push_back({walk.Notes.size(), track});
          walk.Notes.push_back({key, tick, status & 15});
        }
        i += size;
      }
    }
    trackEnds.push_back(tick);
    at = chunkEnd;
  }
  for (auto& [slot, notes] : walked) {
    std::stable_sort(notes.begin(), notes.end(),
                     [&](const TWalked& a, const TWalked& b) { return walk.Notes[a.Note].Time < walk.Notes[b.Note].Time; });
    std::vector<TStrayOff>& offs = strays[slot];
    std::stable_sort(offs.begin(), offs.end(), [](const TStrayOff& a, const TStrayOff& b) { return a.Tick < b.Tick; });
    for (TWalked& n : notes) {
      if (n.OwnNoteOff) continue;
      const int64_t start = walk.Notes[n.Note].Time;
      auto stray = std::find_if(offs.begin(), offs.end(), [&](const TStrayOff& s) {
        return !s.Used && s.Track != n.Track && s.Tick > start && (n.Sounding || s.Tick <= n.StruckAgain);
      });
      if (stray != offs.end()) stray->Used = true, end(n, stray->Tick);
      else if (n.Sounding) end(n, trackEnds[size_t(n.Track)]);
    }
  }
  std::sort(walk.Notes.begin(), walk.Notes.end());
  return walk;
}

double PlayTimeOfMidiFile(const TBytes& f) {
  TFileWalk walk = WalkMidiFile(f);
  int64_t end = 0;
  for (size_t m = 0; end < walk.LastEnd || end <= walk.LastPoint; ++m) end += MeasureLength(walk.MeterMap, m);
  std::stable_sort(walk.Tempos.begin(), walk.Tempos.end(),
                   [](const TTempoEvent& a, const TTempoEvent& b) { return a.Time < b.Time; });
  double ms = 0, rate = 500.0 / 128;
  int64_t at = 0;
  for (const TTempoEvent& t : walk.Tempos) {
    if (t.Time >= end) break;
    ms += double(t.Time - at) * rate;
    at = t.Time;
    rate = t.MsPerTick;
  }
  return ms + double(end - at) * rate;
}

std::string MidiCacheDir() {
  const char* env = std::getenv("SONARID_MIDI_CACHE");
  return env && *env ? env : SONARID_MIDI_CACHE;
}

std::vector<std::string> MidiCorpusFiles() {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::string dir = MidiCacheDir();
  if (dir.empty() || !fs::is_directory(dir)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (entry.is_regular_file() && (ext == ".mid" || ext == ".midi" || ext == ".kar" || ext == ".rmi"))
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace test_support
