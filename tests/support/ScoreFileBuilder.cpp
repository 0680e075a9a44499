#include "support/ScoreFileBuilder.h"

#include <stdexcept>

#include "base/Extended.h"

namespace {

void Put(TBytes& out, size_t offset, uint64_t value, int width) {
  if (offset + size_t(width) > out.size()) throw std::out_of_range("field outside the block");
  for (int i = 0; i < width; ++i) out[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

}  // namespace

TBlockBytes& TBlockBytes::U8(size_t offset, uint8_t value) { return Put(FBytes, offset, value, 1), *this; }
TBlockBytes& TBlockBytes::U16(size_t offset, uint16_t value) { return Put(FBytes, offset, value, 2), *this; }
TBlockBytes& TBlockBytes::U32(size_t offset, uint32_t value) { return Put(FBytes, offset, value, 4), *this; }

TBlockBytes& TBlockBytes::Extended(size_t offset, long double value) {
  TExtended80 ext = ExtendedFromLongDouble(value);
  for (size_t i = 0; i < ext.Bytes.size(); ++i) U8(offset + i, ext.Bytes[i]);
  return *this;
}

TScoreFileWriter& TScoreFileWriter::U8(uint8_t value) { return FBytes.push_back(value), *this; }
TScoreFileWriter& TScoreFileWriter::U16(uint16_t value) { return U8(uint8_t(value)).U8(uint8_t(value >> 8)); }
TScoreFileWriter& TScoreFileWriter::U32(uint32_t value) { return U16(uint16_t(value)).U16(uint16_t(value >> 16)); }
TScoreFileWriter& TScoreFileWriter::U64(uint64_t value) { return U32(uint32_t(value)).U32(uint32_t(value >> 32)); }

TScoreFileWriter& TScoreFileWriter::Raw(const TBytes& bytes) {
  FBytes.insert(FBytes.end(), bytes.begin(), bytes.end());
  return *this;
}

TScoreFileWriter& TScoreFileWriter::Str(const std::string& text) {
  U16(uint16_t(text.size()));
  return Raw(TBytes(text.begin(), text.end()));
}

TScoreFileWriter& TScoreFileWriter::Strings(const std::vector<std::string>& texts) {
  U16(uint16_t(texts.size()));
  for (const std::string& text : texts) Str(text);
  return *this;
}

TScoreFileWriter& TScoreFileWriter::WideList(const std::vector<std::u16string>& lines) {
  U16(uint16_t(lines.size()));
  for (const std::u16string& line : lines) {
    U16(uint16_t(line.size()));
    for (char16_t unit : line) U16(uint16_t(unit));
  }
  return *this;
}

TScoreFileWriter& TScoreFileWriter::Words(const std::vector<uint16_t>& words) {
  U16(uint16_t(words.size()));
  for (uint16_t word : words) U16(word);
  return *this;
}

TScoreFileWriter& TScoreFileWriter::ByteArray(const TBytes& bytes) { return U16(uint16_t(bytes.size())).Raw(bytes); }

TScoreFileWriter& TScoreFileWriter::Begin(uint16_t version, const TBytes& block) {
  FOpen.push_back(FBytes.size());
  U32(0).U16(version);
  if (version > 0) U16(uint16_t(block.size())).Raw(block);
  return *this;
}

TScoreFileWriter& TScoreFileWriter::BeginItem(uint8_t kind, uint16_t version, const TBytes& block) {
  return U8(kind).Begin(version, block);
}

TScoreFileWriter& TScoreFileWriter::End(int32_t sizeDelta) {
  if (FOpen.empty()) throw std::logic_error("End without Begin");
  size_t at = FOpen.back();
  FOpen.pop_back();
  Put(FBytes, at, uint32_t(int64_t(FBytes.size() - at - 4) + sizeDelta), 4);
  return *this;
}

const TBytes& TScoreFileWriter::Bytes() const {
  if (!FOpen.empty()) throw std::logic_error("a record is still open");
  return FBytes;
}

TBytes Written(const std::function<void(TScoreFileWriter&)>& write) {
  TScoreFileWriter w;
  write(w);
  return w.Bytes();
}

TBlockBytes TScoreFile::DefaultSettings() {
  using namespace SettingsOffset;
  TBlockBytes b(92);
  b.U32(Scale, 100).U8(4, 1).U32(20, 24).U8(25, 12).U8(26, 2);
  const uint8_t options[5] = {1, 1, 0, 0, 1};
  for (size_t i = 0; i < 5; ++i) b.U8(27 + i, options[i]);
  const uint16_t metrics[5] = {192, 448, 128, 256, 64};
  for (size_t i = 0; i < 5; ++i) b.U16(MetricWords + 2 * i, metrics[i]);
  for (size_t i = 0; i < 3; ++i) b.U16(SpacingWords + 2 * i, 16);
  b.U16(62, 30).U16(66, 8).U8(Flags, 3);
  const uint16_t layout[4] = {8, 4, 24, 8};
  for (size_t i = 0; i < 4; ++i) b.U16(82 + 2 * i, layout[i]);
  return b;
}

TBytes TScoreFile::Bytes() const {
  TScoreFileWriter w;
  w.U8(FormatByte).Str(Title).U16(Revision).U16(Version);
  if (Version >= 1) w.ByteArray(Settings);
  if (Version >= 2) w.Raw(PageRecord);
  if (Version >= 3) {
    w.U16(PieceCount.value_or(uint16_t(Pieces.size())));
    for (const TBytes& piece : Pieces) w.Raw(piece);
  }
  if (Version >= 4) {
    w.U16(uint16_t(ScoreItems.size()));
    for (const TBytes& item : ScoreItems) w.Raw(item);
  }
  for (uint16_t i = 0; i < 3; ++i)
    if (Version >= 5 + i) w.Str(Texts[i]);
  if (Version >= 8) w.Strings(TextList);
  if (Version >= 9) {
    w.U16(uint16_t(NamedRecords.size()));
    for (const TNamedRecordSpec& r : NamedRecords) w.U8(uint8_t(r.Data.size())).Raw(r.Data).Str(r.Name).Str(r.Text);
  }
  if (Version >= 10) {
    w.U16(uint16_t(DrumEntries.size()));
    for (const TDrumEntrySpec& e : DrumEntries) w.U8(uint8_t(e.Data.size())).Raw(e.Data).Str(e.Name);
  }
  if (Version >= 11) {
    w.U16(uint16_t(UserSymbols.size()));
    for (const TUserSymbolSpec& s : UserSymbols) w.Str(s.Name).Raw(s.Record);
  }
  if (Version >= 12) w.I32(Zoom);
  if (Version >= 13) w.I32(TempoScale);
  if (Version >= 14) w.U16(Version14Word);
  if (Version >= 15) w.Raw(UserData);
  if (Version >= 16) {
    w.U16(uint16_t(TextFonts.size()));
    for (const auto& [name, value] : TextFonts) w.Str(name).I32(value);
  }
  w.Raw(Trailing);
  return w.Bytes();
}
