#include "support/OldScoreFileBuilder.h"

namespace {

using W = TScoreFileWriter;

// The one-value rungs and their sizes.
const std::map<int, int> RungSizes = {{1, 4},  {2, 4},  {3, 4},  {4, 4},  {5, 2},  {6, 4},  {7, 2},  {8, 4},  {9, 2},
                                      {11, 1}, {12, 2}, {14, 1}, {15, 1}, {18, 1}, {19, 1}, {20, 4}, {21, 1}, {22, 1},
                                      {23, 4}, {24, 1}, {26, 1}, {27, 1}, {28, 4}, {30, 1}, {32, 4}, {33, 4}};

// Marker, a 32-bit length counted from the marker, then what Body writes.
void Marked(W& w, uint8_t marker, int32_t delta, const std::function<void(W&)>& body) {
  const TBytes rest = Written(body);
  w.U8(marker).U32(uint32_t(int64_t(rest.size()) + 5 + delta)).Raw(rest);
}

// Before 0280 hex three 32-bit values, 12 data bytes; then 12 data bytes (from
// 0355 hex as many as the size byte says), a count and 32-bit values.
void Descriptors(W& w, const TOldPartRecord& p, uint16_t revision) {
  w.U16(uint16_t(p.Descriptors.size()));
  if (revision >= 0x0355) w.U8(p.DescriptorSize);
  for (TBytes d : p.Descriptors) {
    d.resize(std::max<size_t>(p.DescriptorSize, 16), 0xEE);
    if (revision < 0x0280) w.U32(0xEEEEEEEE).U32(0xEEEEEEEE).U32(0xEEEEEEEE);
    w.Raw(TBytes(d.begin(), d.begin() + (revision >= 0x0355 ? p.DescriptorSize : 12)));
    if (revision >= 0x0280) w.U16(2).U32(0xEEEEEEEE).U32(0xEEEEEEEE);
  }
}

// Part version 12 (an empty version-7 table), staff version 9.
void Part(W& w, const TOldPartRecord& p, uint16_t revision) {
  Marked(w, p.Marker, p.LengthDelta, [&](W& w) {
    w.U16(12).U32(0).Str(p.Name).U32(1).U8(0).U32(0xEEEEEEEE);
    Descriptors(w, p, revision);
    w.U16(0).U8(0).Words(p.Groups).U8(0).U32(100).U32(64).U16(uint16_t(p.Staves.size()));
    for (const TOldStaffRecord& s : p.Staves)
      Marked(w, 252, 0, [&](W& w) {
        w.U16(9).U16(5).U8(0).U32(0).Str("").U32(1).U8(0).U8(0).U32(100).U32(64).U16(s.Measures).Raw(s.Content);
      });
    w.U16(uint16_t(p.Columns.size()));
    for (const auto& marks : p.Columns) {
      w.U16(uint16_t(marks.size()));
      for (const TBytes& mark : marks) w.ByteArray(mark);
    }
    w.U16(uint16_t(p.Drawings.size()));
    for (const TOldDrawing& d : p.Drawings) w.ByteArray(d.Record).Raw(d.After);
  });
}

}  // namespace

TOldDrawing OldText(const std::string& Text, const std::vector<std::string>& Lines) {
  return {{'='}, Written([&](W& w) {
            w.Str(Text).U16(uint16_t(Lines.size()));
            for (const std::string& line : Lines) w.Str(line);
          })};
}

TOldDrawing OldPicture(uint16_t Flag, uint16_t Type, const TBytes& Picture) {
  return {{'>'}, Written([&](W& w) { w.U16(Flag).U16(Type).U32(uint32_t(Picture.size())).Raw(Picture); })};
}

TBytes TOldScoreFile::Bytes() const {
  W w;
  w.U8(FormatByte);
  if (FormatByte == 0xF5) w.Str(Title).U16(Revision);
  w.U16(HeaderVersion);
  for (int rung = 1; rung <= std::min<int>(HeaderVersion, 33); ++rung) {
    const int64_t value = Rungs.count(rung) ? Rungs.at(rung) : 0;
    const int size = RungSizes.count(rung) ? RungSizes.at(rung) : 0;
    size == 1 ? w.U8(uint8_t(value)) : size == 2 ? w.U16(uint16_t(value)) : size == 4 ? w.U32(uint32_t(value)) : w;
    for (int f = 0; rung == 10 && f <= 11; ++f)  // page version 11: lengths 0, paper size Custom
      f == 0 ? w.U16(11) : f == 11 || f <= 6 ? w.Raw(TBytes(10, 0)) : w.U16(f == 8 ? 27 : 0);
    if (rung == 13) w.U16(SkippedRows).Raw(TBytes(size_t(SkippedRows) * PairsPerRow * 2, 0xEE));
    if (rung == 16 || rung == 17 || rung == 25 || rung == 29 || rung == 31) w.U16(0);
  }
  w.U16(uint16_t(Parts.size()));
  for (const TOldPartRecord& p : Parts) Part(w, p, FormatByte == 0xF5 ? Revision : 0x0300);
  return w.Bytes();
}
