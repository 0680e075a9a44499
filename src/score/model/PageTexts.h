#pragma once
// Texts placed on the page: the free text (kind 200) and the page mark
// (kind 215), a page header or footer whose wording the layout supplies
// (such as a page number).

#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/StreamStrings.h"

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
