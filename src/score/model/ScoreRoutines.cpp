#include "score/model/ScoreRoutines.h"

#include <algorithm>

#include "base/ByteBlock.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"

std::string IntToRoman(int32_t N) {
  static const char* const units[10] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
  if (N < 0) return "";
  return std::string(size_t(N / 10), 'X') + units[N % 10];
}

std::string IntToLetters(int32_t N) {
  if (N < 0) return "";
  std::string s;
  while (N >= 26) {
    s.insert(s.begin(), char('A' + N % 26));
    N = N / 26 - 1;
  }
  s.insert(s.begin(), char('A' + N));
  return s;
}

int32_t HexDigitValue(char C) {
  unsigned char c = static_cast<unsigned char>(C);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c > '9' ? c - 55 : c - 48;
}

TKVRect NormalizeRect(const TKVRect& R) {
  return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
          std::max(R.Top, R.Bottom)};
}

TKVOriginSize RectToOriginSize(const TKVRect& R) {
  TKVRect n = NormalizeRect(R);
  return {n.Left, n.Top, n.Right - n.Left, n.Bottom - n.Top};
}

int32_t TupletNormalCount(int32_t N) {
  switch (N) {
    case 2:
    case 4:
      return 3;
    case 3:
      return 2;
    case 5:
    case 6:
    case 7:
      return 4;
    case 8:
      return 6;
    case 9:
    case 10:
    case 12:
      return 8;
    case 21:
      return 24;
    default:
      return 1;
  }
}

int32_t TupletScale(int32_t N, uint16_t Value) { return int32_t(Value) * TupletNormalCount(N); }

bool KeySignatureAlters(int32_t Step, int32_t Key, const TByteBlock* Table) {
  // Steps in the order the accidentals of a key signature are added.
  static constexpr int32_t sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B
  static constexpr int32_t flatOrder[7] = {6, 2, 5, 1, 4, 0, 3};   // B E A D G C F
  if (Key == 20) {
    if (!Table) return false;
    for (size_t i = 0; i < 7 && 2 * i + 2 <= Table->Size(); ++i)
      if (((Table->u16(2 * i) >> 8) & 0x0F) == Step) return true;
    return false;
  }
  const int32_t* order = Key < 10 ? sharpOrder : flatOrder;
  int32_t count = Key < 10 ? Key : Key - 10;
  for (int32_t i = 0; i < 7 && i < count; ++i)
    if (order[i] == Step) return true;
  return false;
}

std::string UnescapeApos(const std::string& S) {
  static const std::string entity = "&apos;";
  size_t at = S.find(entity);
  if (at == std::string::npos) return S;
  return S.substr(0, at) + "'" + S.substr(at + entity.size());
}

// A chord frame (kind 36) is no page object: its block has no page word.
uint16_t GetItemPage(const TKVItem* Item) {
  if (!Item) return 0;
  size_t offset;
  switch (Item->Kind()) {
    case ItemKind::OleObject:
    case ItemKind::Text:
    case ItemKind::Image:
    case ItemKind::Line:
    case ItemKind::Rectangle:
    case ItemKind::Ellipse:
      offset = TextBlock::Page;
      static_assert(TextBlock::Page == ImageBlock::Page && TextBlock::Page == LineBlock::Page &&
                    TextBlock::Page == RectangleBlock::Page && TextBlock::Page == OleBlock::Page);
      break;
    case ItemKind::Arc:
    case ItemKind::Pie:
    case ItemKind::ArcChord:
      offset = ArcBlock::Page;
      break;
    case ItemKind::PageMark:
      offset = PageMarkBlock::Page;
      break;
    default:
      return 0;
  }
  const TByteBlock& data = Item->Data();
  return offset + 2 <= data.Size() ? data.u16(offset) : 0;
}
