#include "support/ScoreFileBuilder.h"

#include <stdexcept>

TBlockBytes& TBlockBytes::Put(size_t offset, uint64_t value, int width) {
  if (offset + size_t(width) > FBytes.size()) throw std::out_of_range("field outside the block");
  for (int i = 0; i < width; ++i) FBytes[offset + size_t(i)] = uint8_t(value >> (8 * i));
  return *this;
}

TScoreFileWriter& TScoreFileWriter::Raw(const TBytes& bytes) {
  FBytes.insert(FBytes.end(), bytes.begin(), bytes.end());
  return *this;
}

TScoreFileWriter& TScoreFileWriter::Str(const std::string& text) {
  return U16(uint16_t(text.size())).Raw(TBytes(text.begin(), text.end()));
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

TScoreFileWriter& TScoreFileWriter::Begin(uint16_t version, const TBytes& block) {
  FOpen.push_back(FBytes.size());
  U32(0).U16(version);
  if (version > 0) ByteArray(block);
  return *this;
}

TScoreFileWriter& TScoreFileWriter::End(int32_t sizeDelta) {
  if (FOpen.empty()) throw std::logic_error("End without Begin");
  size_t at = FOpen.back();
  FOpen.pop_back();
  uint32_t size = uint32_t(int64_t(FBytes.size() - at - 4) + sizeDelta);
  for (int i = 0; i < 4; ++i) FBytes[at + size_t(i)] = uint8_t(size >> (8 * i));
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

// Scale, Optimization, StemLength, Align, AutoJoin, the option bytes, the
// metric, spacing and further words, Flags and the four layout words.
TBlockBytes TScoreFile::DefaultSettings() {
  TBlockBytes b(92);
  b.U32(SettingsOffset::Scale, 100).U8(4, 1).U32(20, 24).U8(25, 12).U8(26, 2).U8(27, 1).U8(28, 1).U8(31, 1);
  const uint16_t words[][2] = {{40, 192}, {42, 448}, {44, 128}, {46, 256}, {48, 64}, {56, 16}, {58, 16},
                               {60, 16},  {62, 30},  {66, 8},   {82, 8},   {84, 4},  {86, 24}, {88, 8}};
  for (const auto& [offset, value] : words) b.U16(offset, value);
  return b.U8(SettingsOffset::Flags, 3);
}

TBytes TScoreFile::Bytes() const {
  TScoreFileWriter w;
  w.U8(FormatByte).Str(Title).U16(Revision).U16(Version);
  auto rung = [&](uint16_t number, auto write) {
    if (Version >= number) write();
  };
  rung(1, [&] { w.ByteArray(Settings); });
  rung(2, [&] { w.Raw(PageRecord); });
  rung(3, [&] {
    w.U16(PieceCount.value_or(uint16_t(Pieces.size())));
    for (const TBytes& piece : Pieces) w.Raw(piece);
  });
  rung(4, [&] {
    w.U16(uint16_t(ScoreItems.size()));
    for (const TBytes& item : ScoreItems) w.Raw(item);
  });
  for (uint16_t i = 0; i < 3; ++i) rung(5 + i, [&] { w.Str(Texts[i]); });
  rung(8, [&] {
    w.U16(uint16_t(TextList.size()));
    for (const std::string& text : TextList) w.Str(text);
  });
  rung(9, [&] {
    w.U16(uint16_t(NamedRecords.size()));
    for (const auto& r : NamedRecords) w.U8(uint8_t(r.Data.size())).Raw(r.Data).Str(r.Name).Str(r.Text);
  });
  rung(10, [&] {
    w.U16(uint16_t(DrumEntries.size()));
    for (const auto& e : DrumEntries) w.U8(uint8_t(e.Data.size())).Raw(e.Data).Str(e.Name);
  });
  rung(11, [&] {
    w.U16(uint16_t(UserSymbols.size()));
    for (const auto& [name, record] : UserSymbols) w.Str(name).Raw(record);
  });
  rung(12, [&] { w.U32(uint32_t(Zoom)); });
  rung(13, [&] { w.U32(uint32_t(TempoScale)); });
  rung(14, [&] { w.U16(Version14Word); });
  rung(15, [&] { w.Raw(UserData); });
  rung(16, [&] {
    w.U16(uint16_t(TextFonts.size()));
    for (const auto& [name, value] : TextFonts) w.Str(name).U32(uint32_t(value));
  });
  return w.Raw(Trailing).Bytes();
}
