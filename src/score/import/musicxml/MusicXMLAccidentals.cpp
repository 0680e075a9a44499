#include "score/import/musicxml/MusicXMLAccidentals.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr uint8_t FreeKey = 20, FlatKeyBase = 10;
constexpr int32_t SharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B
constexpr int32_t FlatOrder[7] = {6, 2, 5, 1, 4, 0, 3};   // B E A D G C F
}  // namespace

void TKVXMLAccidentals::SetKey(uint8_t Key) {
  FKey.fill(0);
  if (Key < FlatKeyBase) {
    for (int32_t i = 0; i < std::min<int32_t>(Key, 7); ++i) FKey[size_t(SharpOrder[i])] = 1;
  } else if (Key != FreeKey) {
    for (int32_t i = 0; i < std::min<int32_t>(Key - FlatKeyBase, 7); ++i) FKey[size_t(FlatOrder[i])] = -1;
  }
  StartMeasure();
}

void TKVXMLAccidentals::StartMeasure() {
  for (TLines& lines : FStaves)
    for (size_t line = 0; line < lines.size(); ++line) lines[line] = FKey[line % 7];
}

TKVXMLAccidentals::TLines& TKVXMLAccidentals::StaffLines(int32_t Staff) {
  while (FStaves.size() <= size_t(Staff)) {
    TLines& lines = FStaves.emplace_back();
    for (size_t line = 0; line < lines.size(); ++line) lines[line] = FKey[line % 7];
  }
  return FStaves[size_t(Staff)];
}

namespace {
uint8_t SignVariant(int32_t Alter) {
  static constexpr uint8_t variants[5] = {XMLSign::DoubleFlat, XMLSign::Flat, XMLSign::Natural, XMLSign::Sharp,
                                          XMLSign::DoubleSharp};
  return variants[Alter + 2];
}
}  // namespace

bool TKVXMLAccidentals::NeedsSign(int32_t Staff, int32_t Line, int32_t Alter, bool Grace, uint8_t& Variant) {
  if (std::abs(Alter) > 2 || Staff < 0 || Line < 0) return false;
  TLines& lines = StaffLines(Staff);
  const bool inRows = Line < Lines;
  int16_t& state = inRows ? lines[size_t(Line)] : FKey[size_t(Line % 7)];
  if (state == Alter) return false;
  Variant = SignVariant(Alter);
  if (inRows && !Grace) state = int16_t(Alter);
  return true;
}

bool TKVXMLAccidentals::NeedsTablatureSign(int32_t Alter, uint8_t& Variant) {
  if (Alter == 0 || std::abs(Alter) > 2) return false;
  Variant = SignVariant(Alter);
  return true;
}
