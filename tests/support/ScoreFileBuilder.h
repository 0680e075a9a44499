#pragma once
// Builds score files of the engine's own format (current generation) byte by
// byte, from the format's description, for the tests of the reader and of
// everything that loads a score: a writer of the little-endian fields and
// nested records, a block helper that sets fields at their offsets, and the
// file's top level with a field per rung (only the rungs that the version
// selects are written). Damage is made with the writer (a record size that
// lies, a raw byte) or by editing the finished bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using TBytes = std::vector<uint8_t>;

// A data block of a given size, all zero, with fields set at offsets.
class TBlockBytes {
public:
  explicit TBlockBytes(size_t size) : FBytes(size, 0) {}
  TBlockBytes& U8(size_t offset, uint8_t value);
  TBlockBytes& U16(size_t offset, uint16_t value);
  TBlockBytes& U32(size_t offset, uint32_t value);
  // An 80-bit extended float (10 bytes).
  TBlockBytes& Extended(size_t offset, long double value);
  operator const TBytes&() const { return FBytes; }
  const TBytes& Bytes() const { return FBytes; }

private:
  TBytes FBytes;
};

class TScoreFileWriter {
public:
  TScoreFileWriter& U8(uint8_t value);
  TScoreFileWriter& U16(uint16_t value);
  TScoreFileWriter& U32(uint32_t value);
  TScoreFileWriter& I32(int32_t value) { return U32(uint32_t(value)); }
  TScoreFileWriter& U64(uint64_t value);
  TScoreFileWriter& Raw(const TBytes& bytes);
  // A 16-bit length and the bytes of an 8-bit text.
  TScoreFileWriter& Str(const std::string& text);
  // A 16-bit count and that many texts.
  TScoreFileWriter& Strings(const std::vector<std::string>& texts);
  // A 16-bit count and that many wide texts (each a 16-bit count of UTF-16 units).
  TScoreFileWriter& WideList(const std::vector<std::u16string>& lines);
  // A 16-bit count and that many 16-bit values, or bytes.
  TScoreFileWriter& Words(const std::vector<uint16_t>& words);
  TScoreFileWriter& ByteArray(const TBytes& bytes);

  // Opens a record: its 32-bit size (written by End) and its version; for a
  // version above 0 the block with its 16-bit size follows.
  TScoreFileWriter& Begin(uint16_t version, const TBytes& block = {});
  // An item list entry: the kind byte, then Begin.
  TScoreFileWriter& BeginItem(uint8_t kind, uint16_t version, const TBytes& block = {});
  // Closes the innermost record. SizeDelta is added to the size written
  // (a record that claims more or fewer bytes than it holds).
  TScoreFileWriter& End(int32_t sizeDelta = 0);

  // The bytes written so far (every record closed).
  const TBytes& Bytes() const;

private:
  TBytes FBytes;
  std::vector<size_t> FOpen;  // where each open record's size goes
};

// The bytes that Write puts into a fresh writer (one record, one list entry).
TBytes Written(const std::function<void(TScoreFileWriter&)>& write);

// A named record, drum entry or user symbol of the file's sections. Data is
// written after its length byte as it stands (its length may exceed what the
// engine keeps).
struct TNamedRecordSpec {
  TBytes Data;
  std::string Name, Text;
};
struct TDrumEntrySpec {
  TBytes Data;
  std::string Name;
};
struct TUserSymbolSpec {
  std::string Name;
  TBytes Record;  // a whole user-symbol record
};

// Offsets of fields of the settings block.
namespace SettingsOffset {
constexpr size_t Scale = 0, UserPages = 32, MetricWords = 40, UserDataSize = 50, SpacingWords = 56, Flags = 68,
                 SystemDistance = 72;
}

// The top level of a score file. Every rung has a field; Bytes() writes the
// header and the rungs the version selects, in order, then Trailing.
struct TScoreFile {
  // The settings block of a new score (92 bytes).
  static TBlockBytes DefaultSettings();

  uint8_t FormatByte = 0xFB;
  std::string Title = "Ostinel data file";
  uint16_t Revision = 0x0404;
  uint16_t Version = 16;
  TBytes Settings = DefaultSettings().Bytes();           // 1
  TBytes PageRecord = {2, 0, 0, 0, 0, 0};                // 2: a whole record (version 0 by default)
  std::vector<TBytes> Pieces;                            // 3: whole piece records
  std::optional<uint16_t> PieceCount;                    //    written instead of Pieces.size()
  std::vector<TBytes> ScoreItems;                        // 4: each a kind byte and its record
  std::array<std::string, 3> Texts;                      // 5, 6, 7
  std::vector<std::string> TextList;                     // 8
  std::vector<TNamedRecordSpec> NamedRecords;            // 9
  std::vector<TDrumEntrySpec> DrumEntries;               // 10
  std::vector<TUserSymbolSpec> UserSymbols;              // 11
  int32_t Zoom = 100;                                    // 12
  int32_t TempoScale = 100;                              // 13
  uint16_t Version14Word = 0;                            // 14
  TBytes UserData;                                       // 15 (as many bytes as the block's UserDataSize)
  std::vector<std::pair<std::string, int32_t>> TextFonts;  // 16
  TBytes Trailing;

  TBytes Bytes() const;
};
