#include "score/import/midi/MidiNotePairing.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

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
void TKVMidiNotePairing::End(TPairing& Note, uint32_t Time, uint64_t Order) {
  TKVImportEvent& note = *Note.Note;
  note.Length = uint16_t(std::min<uint32_t>(Time - note.Time, UINT16_MAX));
  note.Order = Order;
  Note.Sounding = false;
}

void TKVMidiNotePairing::PairKey(const TNoteEvent* First, const TNoteEvent* Last) {
  std::vector<TPairing> notes;  // in the order they began
  // The notes still sounding (indexes into notes, in the order they began):
  // at most one a part, so that finding one never walks the notes ended.
  std::vector<size_t> sounding;
  // Stray note-offs by track, by time (and file order) each.
  std::map<uint32_t, std::set<std::pair<uint32_t, uint64_t>>> strays;
  auto takeNewest = [&](auto&& Matches) -> TPairing* {
    for (size_t i = sounding.size(); i-- > 0;)
      if (Matches(notes[sounding[i]])) {
        TPairing* found = &notes[sounding[i]];
        sounding.erase(sounding.begin() + std::ptrdiff_t(i));
        return found;
      }
    return nullptr;
  };
  for (const TNoteEvent* e = First; e != Last; ++e) {
    if (e->Note) {
      if (TPairing* struck = takeNewest([&](const TPairing& n) { return n.Part == e->Part; })) {
        End(*struck, e->Time, e->Order);
        struck->End = e->Time;
      }
      sounding.push_back(notes.size());
      notes.push_back({e->Note, e->Part, e->Track});
      continue;
    }
    TPairing* own = takeNewest([&](const TPairing& n) { return n.Track == e->Track && n.Part == e->Part; });
    if (!own) own = takeNewest([&](const TPairing& n) { return n.Track == e->Track; });
    if (own) {
      End(*own, e->Time, e->Order);
      own->OwnNoteOff = true;
    } else {
      strays[e->Track].insert({e->Time, e->Order});
    }
  }
  for (TPairing& n : notes) {
    if (n.OwnNoteOff) continue;
    // The first stray note-off of another track after the note began (one
    // at the very tick it began belongs to an earlier note) and, for a note
    // a new strike ended, not after that strike.
    std::set<std::pair<uint32_t, uint64_t>>* from = nullptr;
    std::set<std::pair<uint32_t, uint64_t>>::iterator first;
    for (auto& [track, offs] : strays) {
      if (track == n.Track) continue;
      auto it = offs.upper_bound({n.Note->Time, UINT64_MAX});
      if (it != offs.end() && (n.Sounding || it->first <= n.End) && (!from || *it < *first)) from = &offs, first = it;
    }
    if (from) {
      End(n, first->first, first->second);
      from->erase(first);
      continue;
    }
    if (!n.Sounding) continue;
    const TTrackEnd end = n.Track < FTrackEnds.size() ? FTrackEnds[n.Track] : TTrackEnd{0, FOrder};
    End(n, std::max(end.Time, n.Note->Time), end.Order);
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
