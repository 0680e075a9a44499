#pragma once
// Texts placed on the page: the free text (kind 200) and the page mark
// (kind 215), a page header or footer whose wording the layout supplies
// (such as a page number).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteBlock.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/StreamStrings.h"

// A run of a formatted text line: its font and its slice of the text's
// lines read one after another. The layout writes the run's box on the
// line and where its characters start; the renderer writes the characters
// its segment names at the box's top-left, in the run's colour.
struct TKVTextRun {
  uint8_t Kind = 0;
  std::string FontName;  // empty: "Arial"
  uint16_t Size = 0;     // points; 0: 8
  uint8_t Style = 0;
  uint16_t Start = 0, Length = 0;
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;  // the layout's, 1/8 pixel from the text's origin
  int32_t CharOffset = 0;                           // the layout's
  uint8_t Hidden = 0;     // non-zero: not drawn
  uint16_t Segment = 0;   // index into the text's segments
  uint32_t Color = 0;     // COLORREF
};

// Characters First..Last (inclusive, from 0) of line Line of a text.
struct TKVTextSegment {
  uint16_t Line = 0, First = 0, Last = 0;
};

class TKVText : public TKVItem {
public:
  explicit TKVText(TObject* Owner);

  // Block with width and height cleared (the layout measures them again),
  // both texts, and the source's lines appended as copies.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  const std::string& Text1() const { return FText1; }
  void SetText1(const std::string& Value) { FText1 = Value; }
  const std::string& Text2() const { return FText2; }
  void SetText2(const std::string& Value) { FText2 = Value; }
  TKVWideList& Lines() { return FLines; }
  const TKVWideList& Lines() const { return FLines; }
  // The lines read one after another, as the runs address them.
  std::u16string WholeText() const;
  // The characters Run addresses in Whole (this text's WholeText); a range
  // reaching past the text gives only what the text holds.
  static std::u16string_view RunChars(std::u16string_view Whole, const TKVTextRun& Run);

  // Per line, its formatted runs; empty when the text has none (one font
  // for the whole text). The files read here store none.
  std::vector<std::vector<TKVTextRun>> Runs;
  std::vector<TKVTextSegment> Segments;

  // Measured text boxes, filled and read by the layout and the renderer.
  std::vector<std::vector<TByteBlock>> LayoutCache;
  std::vector<uint8_t> LayoutBuffer;

private:
  std::string FText1;
  TKVWideList FLines;
  std::string FText2;
};

class TKVPageMark : public TKVItem {
public:
  explicit TKVPageMark(TObject* Owner);

  // Block with width and height cleared, text.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }
  uint16_t Page() const { return Data().u16(PageMarkBlock::Page); }

private:
  std::string FText;
};
