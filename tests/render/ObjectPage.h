#pragma once
// Free objects on a builder page, each with the display record the page
// composer would give it: positions and sizes in pixels at 100 % (stored
// as eighths), fields set by the test.

#include <memory>
#include <string>
#include <vector>

#include "render/PageBuilder.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Image.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/PageTexts.h"

struct TObjectPage {
  explicit TObjectPage(TPageBuilder& B) : b(B) {}

  // An object of Kind at (X, Y) of W x H pixels (a line: from (X, Y) to
  // (W, H)), with its record's box the same.
  TKVItem& Add(uint8_t Kind, int X, int Y, int W, int H) {
    Items.emplace_back(CreateItemByKind(Kind, nullptr));
    TKVItem& item = *Items.back();
    TByteBlock& d = item.Data();
    d.setI16(ObjectBlock::X, int16_t(8 * X)), d.setI16(ObjectBlock::Y, int16_t(8 * Y));
    d.setU16(ObjectBlock::Width, uint16_t(8 * W)), d.setU16(ObjectBlock::Height, uint16_t(8 * H));
    auto& record = *b.Page.PageObjects.emplace_back(std::make_unique<TKVDisplayItem>());
    b.Page.PageObjectCount = uint16_t(b.Page.PageObjects.size());
    record.Item = &item;
    record.Bounds = Kind == ItemKind::Line ? TKVLayoutRect{8 * std::min(X, W), 8 * std::min(Y, H),
                                                           8 * std::max(X, W), 8 * std::max(Y, H)}
                                           : TKVLayoutRect{8 * X, 8 * Y, 8 * (X + W), 8 * (Y + H)};
    record.Bounds2 = record.Bounds;
    return item;
  }
  TKVDisplayItem& Record(const TKVItem& Item) {
    for (auto& r : b.Page.PageObjects)
      if (r->Item == &Item) return *r;
    throw std::logic_error("no record");
  }

  TKVItem& Line(int X1, int Y1, int X2, int Y2, uint8_t Arrows, uint8_t Width = 0, uint32_t Color = 0,
                uint8_t PenStyle = 0) {
    TKVItem& line = Add(ItemKind::Line, X1, Y1, X2, Y2);
    TByteBlock& d = line.Data();
    d.setU8(LineBlock::Arrows, Arrows), d.setU8(LineBlock::LineWidth, Width);
    d.setU32(LineBlock::LineColor, Color), d.setU8(LineBlock::PenStyle, PenStyle);
    return line;
  }
  TKVItem& Box(uint8_t Kind, int X, int Y, int W, int H, uint8_t BrushStyle, uint32_t Fill = 0x0000FF,
               uint8_t PenStyle = 0, uint8_t Width = 1, uint32_t Color = 0) {
    TKVItem& box = Add(Kind, X, Y, W, H);
    TByteBlock& d = box.Data();
    d.setU8(RectangleBlock::LineWidth, Width), d.setU32(RectangleBlock::LineColor, Color);
    d.setU8(RectangleBlock::PenStyle, PenStyle), d.setU32(RectangleBlock::FillColor, Fill);
    d.setU8(RectangleBlock::BrushStyle, BrushStyle);
    return box;
  }
  // The start and end points in pixels of the page.
  TKVItem& Arc(uint8_t Kind, int X, int Y, int W, int H, int SX, int SY, int EX, int EY, uint8_t BrushStyle = 0,
               uint8_t PenStyle = 0) {
    TKVItem& arc = Add(Kind, X, Y, W, H);
    TByteBlock& d = arc.Data();
    d.setI16(ArcBlock::StartX, int16_t(8 * SX)), d.setI16(ArcBlock::StartY, int16_t(8 * SY));
    d.setI16(ArcBlock::EndX, int16_t(8 * EX)), d.setI16(ArcBlock::EndY, int16_t(8 * EY));
    d.setU8(ArcBlock::PenStyle, PenStyle), d.setU8(ArcBlock::BrushStyle, BrushStyle);
    return arc;
  }
  // Alignment 0 left, 1 centred, 2 right.
  TKVText& Text(int X, int Y, int W, int H, std::vector<std::u16string> Lines, uint8_t Size = 12,
                uint8_t Alignment = 0, uint16_t Angle = 0, uint32_t Color = 0, const std::string& Font = "") {
    auto& text = static_cast<TKVText&>(Add(ItemKind::Text, X, Y, W, H));
    TByteBlock& d = text.Data();
    d.setU8(TextBlock::Flags, uint8_t(Alignment << 4)), d.setU8(TextBlock::FontSize, Size);
    d.setU32(TextBlock::FontColor, Color), d.setU16(TextBlock::Angle, Angle);
    text.SetText1(Font);
    text.Lines().assign(Lines.begin(), Lines.end());
    return text;
  }
  TKVImage& Picture(int X, int Y, int W, int H, uint16_t Type, std::vector<uint8_t> Bytes, uint8_t Flags = 0) {
    auto& image = static_cast<TKVImage&>(Add(ItemKind::Image, X, Y, W, H));
    image.Data().setU8(ImageBlock::Flags, Flags);
    image.Picture().SetGraphic(Type, std::move(Bytes));
    return image;
  }
  // A page mark whose record holds Wording, in a box at (X, Y).
  TKVPageMark& Mark(int X, int Y, const std::string& Wording, uint8_t Size = 12, uint16_t Angle = 0,
                    uint32_t Color = 0) {
    auto& mark = static_cast<TKVPageMark&>(Add(ItemKind::PageMark, X, Y, 0, 0));
    TByteBlock& d = mark.Data();
    d.setU8(PageMarkBlock::FontSize, Size), d.setU16(PageMarkBlock::Angle, Angle);
    d.setU32(PageMarkBlock::FontColor, Color);
    Record(mark).Text = Wording;
    return mark;
  }

  TPageBuilder& b;
  std::vector<std::unique_ptr<TKVItem>> Items;
};
