#pragma once
// Free routines shared by the score model, its readers, the layout and the
// renderer: numbering, tuplet ratios, rectangles, the key-signature test, the
// page word of free page objects and the apostrophe entity.

#include <cstdint>
#include <string>

class TByteBlock;
class TKVItem;

// Roman numbering as the score prints it: the units digit (I .. IX, nothing
// for 0) after one X per ten, so 40 gives XXXX. Negative numbers give "".
std::string IntToRoman(int32_t N);
// Spreadsheet-style letters: 0 A .. 25 Z, 26 AA, 701 ZZ, 702 AAA.
// Negative numbers give "".
std::string IntToLetters(int32_t N);
// Value of a hexadecimal digit; letters of either case count from 10.
// Other characters are not checked: anything above '9' gives code - 55.
int32_t HexDigitValue(char C);

struct TKVRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TKVRect&) const = default;
};
struct TKVOriginSize {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TKVOriginSize&) const = default;
};
// The rectangle spanned by two corners, with Left <= Right and Top <= Bottom.
TKVRect NormalizeRect(const TKVRect& R);
TKVOriginSize RectToOriginSize(const TKVRect& R);

// Number of normal notes a tuplet of N notes stands for (3 for 2, 2 for 3,
// 4 for 5..7, ...); 1 for every count without a rule.
int32_t TupletNormalCount(int32_t N);
int32_t TupletScale(int32_t N, uint16_t Value);

// True when key signature Key alters the diatonic step Step (0 = C .. 6 = B).
// Table is the seven 16-bit entries of a key of its own (Key 20), whose
// bits 8-11 name an altered step; a missing table alters nothing.
bool KeySignatureAlters(int32_t Step, int32_t Key, const TByteBlock* Table);

// Replaces the first "&apos;" of S by an apostrophe.
std::string UnescapeApos(const std::string& S);

// Page (counted from 1) on which a free page object stands, read from its
// data block; 0 for every other kind and for a block too short to hold it.
uint16_t GetItemPage(const TKVItem* Item);
