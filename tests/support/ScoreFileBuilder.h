#pragma once
// Builds score files of the engine's own format (current generation) byte by
// byte from the format's description: a writer of little-endian fields and
// nested records, blocks with fields at their offsets, and the file's top
// level with one field per rung (Bytes() writes the rungs the version
// selects). Damage is made with the writer (a record size that lies, raw
// bytes) or by editing the finished bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using TBytes = std::vector<uint8_t>;

// A zero-filled data block with fields set at offsets.
class TBlockBytes {
public:
  explicit TBlockBytes(size_t size) : FBytes(size, 0) {}
  TBlockBytes& U8(size_t offset, uint8_t value) { return Put(offset, value, 1); }
  TBlockBytes& U16(size_t offset, uint16_t value) { return Put(offset, value, 2); }
  TBlockBytes& U32(size_t offset, uint32_t value) { return Put(offset, value, 4); }
  operator const TBytes&() const { return FBytes; }

private:
  TBlockBytes& Put(size_t offset, uint64_t value, int width);
  TBytes FBytes;
};

class TScoreFileWriter {
public:
  TScoreFileWriter& U8(uint8_t value) { return FBytes.push_back(value), *this; }
  TScoreFileWriter& U16(uint16_t value) { return U8(uint8_t(value)).U8(uint8_t(value >> 8)); }
  TScoreFileWriter& U32(uint32_t value) { return U16(uint16_t(value)).U16(uint16_t(value >> 16)); }
  TScoreFileWriter& Raw(const TBytes& bytes);
  TScoreFileWriter& Str(const std::string& text);                          // u16 length, bytes
  TScoreFileWriter& WideList(const std::vector<std::u16string>& lines);    // u16 count, u16-counted UTF-16
  TScoreFileWriter& Words(const std::vector<uint16_t>& words);             // u16 count, values
  TScoreFileWriter& ByteArray(const TBytes& bytes) { return U16(uint16_t(bytes.size())).Raw(bytes); }

  // Opens a record: its 32-bit size (written by End), its version and, for a
  // version above 0, the block with its 16-bit size.
  TScoreFileWriter& Begin(uint16_t version, const TBytes& block = {});
  // An item list entry: the kind byte, then Begin.
  TScoreFileWriter& BeginItem(uint8_t kind, uint16_t version, const TBytes& block = {}) {
    return U8(kind).Begin(version, block);
  }
  // Closes the innermost record; SizeDelta is added to the size written.
  TScoreFileWriter& End(int32_t sizeDelta = 0);
  const TBytes& Bytes() const;  // every record closed

private:
  TBytes FBytes;
  std::vector<size_t> FOpen;
};

// What Write puts into a fresh writer (one record, one list entry).
TBytes Written(const std::function<void(TScoreFileWriter&)>& write);

namespace SettingsOffset {
constexpr size_t Scale = 0, UserPages = 32, MetricWords = 40, UserDataSize = 50, SpacingWords = 56, Flags = 68,
                 SystemDistance = 72;
}

// The sections' entries; Data follows its length byte as it stands.
struct TNamedRecordSpec {
  TBytes Data;
  std::string Name, Text;
};
struct TDrumEntrySpec {
  TBytes Data;
  std::string Name;
};

// The top level: header, then one field per rung (numbered as the version
// that selects it), then Trailing.
struct TScoreFile {
  static TBlockBytes DefaultSettings();  // of a new score, 92 bytes

  uint8_t FormatByte = 0xFB;
  std::string Title = "Ostinel data file";
  uint16_t Revision = 0x0404;
  uint16_t Version = 16;
  TBytes Settings = DefaultSettings();                            // 1
  TBytes PageRecord = {2, 0, 0, 0, 0, 0};                         // 2: a whole record
  std::vector<TBytes> Pieces;                                     // 3: records
  std::optional<uint16_t> PieceCount;                             //    instead of Pieces.size()
  std::vector<TBytes> ScoreItems;                                 // 4: kind bytes and records
  std::array<std::string, 3> Texts;                               // 5-7
  std::vector<std::string> TextList;                              // 8
  std::vector<TNamedRecordSpec> NamedRecords;                     // 9
  std::vector<TDrumEntrySpec> DrumEntries;                        // 10
  std::vector<std::pair<std::string, TBytes>> UserSymbols;        // 11: names and records
  int32_t Zoom = 100, TempoScale = 100;                           // 12, 13
  uint16_t Version14Word = 0;                                     // 14
  TBytes UserData;                                                // 15 (the block's UserDataSize bytes)
  std::vector<std::pair<std::string, int32_t>> TextFonts;         // 16
  TBytes Trailing;

  TBytes Bytes() const;
};
