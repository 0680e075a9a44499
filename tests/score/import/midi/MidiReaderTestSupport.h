#pragma once
// Reading builder-made files and picking the collected records apart.

#include <string>
#include <variant>
#include <vector>

#include "base/Streams.h"
#include "score/import/midi/MidiReader.h"
#include "support/MidiFileBuilder.h"

inline TKVMidiImportState ReadMidi(const TBytes& bytes, const TKVMidiDrumMap* drumMap = nullptr) {
  TMemoryStream stream(bytes);
  return ReadMidiFile(stream, drumMap);
}

// A note record reduced to what the tests compare.
struct TNoteSeen {
  uint32_t Time;
  uint16_t Length;
  uint8_t Key;
  uint8_t Velocity;
  bool operator==(const TNoteSeen&) const = default;
};

inline std::vector<TNoteSeen> NotesOf(const TKVMidiImportPart& part) {
  std::vector<TNoteSeen> notes;
  for (const auto& e : part.Events)
    if (std::holds_alternative<TKVImportNote>(e->Item)) notes.push_back({e->Time, e->Length, e->Key, e->Velocity});
  return notes;
}

template <class T>
std::vector<const TKVImportEvent*> RecordsOf(const TKVImportEventList& list) {
  std::vector<const TKVImportEvent*> out;
  for (const auto& e : list)
    if (std::holds_alternative<T>(e->Item)) out.push_back(e.get());
  return out;
}

inline std::vector<std::u16string> LyricTexts(const TKVMidiImportPart& part) {
  std::vector<std::u16string> texts;
  for (const TKVImportEvent* e : RecordsOf<TKVImportLyric>(part.Events))
    texts.push_back(std::get<TKVImportLyric>(e->Item).Text);
  return texts;
}
