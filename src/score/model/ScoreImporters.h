#pragma once
// Hooks through which the readers that live above the model plug into the
// score's loading: the Standard MIDI File import and the MusicXML import
// (chosen by LoadFromFile by extension) and the reader of the older
// generations of the own format (chosen by LoadFromStream by the first
// byte). The library that provides a reader registers it at start (not
// thread-safe), so the model depends on none of them.
//
// With nothing registered, a MIDI or MusicXML file is read like a file of any
// other extension (the own-format reader, which refuses it as "This is not
// Ostinel file"), and an older-generation file is refused like any other
// first byte.

#include <cstdint>
#include <functional>
#include <string>

class TKVScore;
class TStream;

enum class TKVImportFormat { MIDI, MusicXML };

struct TKVScoreImporter {
  // Reads the stream into the score (inside LoadFromFile's update bracket,
  // with the score's Importing flag set).
  std::function<void(TKVScore& Score, TStream& Stream)> Import;
  // Optional: runs after the bracket closed and the score was laid out,
  // also when Import failed, while Importing is still set.
  std::function<void(TKVScore& Score)> AfterLayout;
  // In place of Import: reads the whole stream before LoadFromFile clears
  // the score, so that a file that cannot be read leaves the score as it
  // was; the function it returns then builds the score as Import would.
  std::function<std::function<void(TKVScore& Score)>(TKVScore& Score, TStream& Stream)> Read = {};
};

// An importer without Import or Read removes the registration.
void RegisterScoreImporter(TKVImportFormat Format, TKVScoreImporter Importer);
// The importer registered for FileName's last extension (".mid", ".midi",
// ".rmi", ".kar": MIDI; ".xml": MusicXML; any letter case), or nil.
const TKVScoreImporter* FindScoreImporter(const std::string& FileName);

// Reads an older-generation file after its first byte (F5 or FA hex) into
// the score, inside LoadFromStream's update bracket.
using TKVOldFormatLoader = std::function<void(TKVScore& Score, TStream& Stream, uint8_t FormatByte)>;
// An empty loader removes the registration.
void RegisterOldFormatLoader(TKVOldFormatLoader Loader);
const TKVOldFormatLoader& OldFormatLoader();
