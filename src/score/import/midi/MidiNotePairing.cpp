#include "score/import/midi/MidiNotePairing.h"

#include <algorithm>

void TKVMidiNotePairing::NoteOn(uint32_t Track, TKVMidiImportPart& Part, TKVImportEvent& Note, uint8_t Channel) {
  FEvents.push_back({Note.Time, Track, NextOrder(), Channel, Note.Key, &Part, &Note});
}

void TKVMidiNotePairing::NoteOff(uint32_t Track, TKVMidiImportPart* Part, uint32_t Time, uint8_t Channel,
                                 uint8_t Key) {
  FEvents.push_back({Time, Track, NextOrder(), Channel, Key, Part, nullptr});
}

void TKVMidiNotePairing::TrackEnd(uint32_t Track, uint32_t Time) {
  if (FTrackEnds.size() <= Track) FTrackEnds.resize(Track + 1, {0, 0});
  FTrackEnds[Track] = {Time, NextOrder()};
}

// The length is kept in 16 bits: a longer note is cut at 65,535 ticks
// instead of wrapping to a short one.
void TKVMidiNotePairing::End(std::vector<TSounding>& Sounding, size_t Index, uint32_t Time, uint64_t Order) {
  TKVImportEvent& note = *Sounding[Index].Note;
  note.Length = uint16_t(std::min<uint32_t>(Time - note.Time, UINT16_MAX));
  note.Order = Order;
  Sounding.erase(Sounding.begin() + std::ptrdiff_t(Index));
}

void TKVMidiNotePairing::PairKey(const TNoteEvent* First, const TNoteEvent* Last) {
  std::vector<TSounding> sounding;  // in the order the notes began
  auto newest = [&](auto&& Matches) -> size_t {
    for (size_t i = sounding.size(); i-- > 0;)
      if (Matches(sounding[i])) return i;
    return SIZE_MAX;
  };
  for (const TNoteEvent* e = First; e != Last; ++e) {
    if (e->Note) {
      if (size_t i = newest([&](const TSounding& s) { return s.Part == e->Part; }); i != SIZE_MAX)
        End(sounding, i, e->Time, e->Order);
      sounding.push_back({e->Note, e->Part, e->Track});
      continue;
    }
    size_t i = newest([&](const TSounding& s) { return s.Track == e->Track && s.Part == e->Part; });
    if (i == SIZE_MAX) i = newest([&](const TSounding& s) { return s.Track == e->Track; });
    // A note-off of another track at the very tick a note began belongs to
    // an earlier note, never to that one.
    if (i == SIZE_MAX) i = newest([&](const TSounding& s) { return s.Note->Time < e->Time; });
    if (i != SIZE_MAX) End(sounding, i, e->Time, e->Order);
  }
  for (size_t i = sounding.size(); i-- > 0;) {
    const TTrackEnd end = sounding[i].Track < FTrackEnds.size() ? FTrackEnds[sounding[i].Track] : TTrackEnd{0, FOrder};
    End(sounding, i, std::max(end.Time, sounding[i].Note->Time), end.Order);
    ++FEndedByTrack;
  }
}

uint32_t TKVMidiNotePairing::Pair(std::vector<std::unique_ptr<TKVMidiImportPart>>& Parts) {
  // By channel and key, then in time order; a track's events keep their
  // order, and of two tracks at one time the earlier track's come first.
  std::stable_sort(FEvents.begin(), FEvents.end(), [](const TNoteEvent& a, const TNoteEvent& b) {
    if (a.Channel != b.Channel) return a.Channel < b.Channel;
    if (a.Key != b.Key) return a.Key < b.Key;
    return a.Time != b.Time ? a.Time < b.Time : a.Order < b.Order;
  });
  for (size_t first = 0, last; first < FEvents.size(); first = last) {
    for (last = first + 1; last < FEvents.size(); ++last)
      if (FEvents[last].Channel != FEvents[first].Channel || FEvents[last].Key != FEvents[first].Key) break;
    PairKey(FEvents.data() + first, FEvents.data() + last);
  }
  FEvents.clear();
  for (auto& part : Parts) {
    for (auto& note : part->OpenNotes) part->Events.push_back(std::move(note));
    part->OpenNotes.clear();
    std::stable_sort(part->Events.begin(), part->Events.end(),
                     [](const auto& a, const auto& b) { return a->Order < b->Order; });
  }
  return FEndedByTrack;
}
