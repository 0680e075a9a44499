// The score file's sections of named records, drum entries and user
// symbols, and the drum map built from the drum entries.

#include <algorithm>
#include <memory>

#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/StreamStrings.h"
#include "score/model/UserSymbol.h"

namespace {

// The staff position of key 0 (the C five octaves below middle C).
constexpr int StaffPositionOfKey0 = 23;

}  // namespace

void TKVScore::ReadNamedRecords(TStream& Stream) {
  uint16_t count = Stream.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    auto record = std::make_unique<TKVNamedRecord>();
    ReadOnto(Stream, record->Data, Stream.ReadU8());  // a length byte, then the data
    std::string name;
    ReadStreamString(Stream, name);
    ReadStreamString(Stream, record->Text);
    FNamedRecords.AddObject(name, record.release());
  }
}

void TKVScore::ReadDrumEntries(TStream& Stream) {
  uint16_t count = Stream.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    auto entry = std::make_unique<TKVDrumEntry>();
    ReadOnto(Stream, entry->Data, Stream.ReadU8());
    ReadStreamString(Stream, entry->Name);
    FDrumEntries.push_back(std::move(entry));
  }
}

void TKVScore::ReadUserSymbols(TStream& Stream) {
  uint16_t count = Stream.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    std::string name;
    ReadStreamString(Stream, name);
    auto* symbol = new TKVUserSymbol;
    FUserSymbols.AddObject(name, symbol);
    symbol->ReadData(Stream);
  }
}

// An entry whose staff position lies below key 0 has no notated key, and one
// whose sounding key is above 127 has no sounding slot: each stays out of
// that map.
void TKVScore::BuildDrumMap() {
  if (DrumMapFrozen) return;
  for (auto& entries : DrumMapByNotatedKey) entries.clear();
  DrumMapBySoundingKey.fill(nullptr);
  static const int semitones[7] = {0, 2, 4, 5, 7, 9, 11};
  for (const auto& owned : FDrumEntries) {
    TKVDrumEntry* entry = owned.get();
    const TByteBlock& data = entry->Data;
    if (data.u8(TKVDrumEntry::Enabled) == 0) continue;
    int steps = int(data.u8(TKVDrumEntry::StaffPosition)) - StaffPositionOfKey0;
    if (steps >= 0) {
      int key = std::clamp((steps / 7 - 5) * 12 + 60 + semitones[steps % 7], 0, 127);
      size_t set = std::min<size_t>(data.u8(TKVDrumEntry::SetIndex), size_t(FNamedRecords.Count()));
      std::vector<TKVDrumEntry*>& sets = DrumMapByNotatedKey[size_t(key)];
      if (sets.size() < set + 1) sets.resize(set + 1, nullptr);
      sets[set] = entry;
    }
    uint8_t sounding = data.u8(TKVDrumEntry::SoundingKey);
    if (sounding < DrumMapBySoundingKey.size()) DrumMapBySoundingKey[sounding] = entry;
  }
}
