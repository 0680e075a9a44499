// Free objects of the pages: texts, page marks, pictures, drawings and
// embedded objects that stand on every page or on one page, each laid out
// into a display record of the page with its box on the page. An object of
// every page gets a record on each page, linked to the one of the page
// before. Page marks get their wording here.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Strings.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/page/PageMarkTexts.h"
#include "score/model/ItemKinds.h"
#include "score/model/Page.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

namespace {

// Only these kinds stand on pages; the page word of every other kind reads
// as 0, which would otherwise put it on every page.
bool IsPageObject(const TKVItem* Item) {
  const uint8_t kind = Item->Kind();
  return kind == ItemKind::OleObject || (kind >= ItemKind::Text && kind <= ItemKind::ArcChord) ||
         kind == ItemKind::PageMark;
}

struct TBox {
  int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

void SetBounds(TKVDisplayItem& Display, const TBox& Box) {
  Display.Bounds = {Saturate32(Box.Left), Saturate32(Box.Top), Saturate32(Box.Right), Saturate32(Box.Bottom)};
}

// A negative position becomes 0, and a box of W x H reaching past the
// page's right or bottom edge is pulled back onto it.
void ClampToPage(const TKVComposerContext& Ctx, int64_t& X, int64_t& Y, int64_t W, int64_t H) {
  X = std::max<int64_t>(X, 0);
  Y = std::max<int64_t>(Y, 0);
  if (X + W > Ctx.PageWidth) X = std::max<int64_t>(Ctx.PageWidth - W, 0);
  if (Y + H > Ctx.PageHeight) Y = std::max<int64_t>(Ctx.PageHeight - H, 0);
}

// The smallest box holding Box turned by Angle degrees about its top left.
TBox Rotated(const TBox& Box, uint16_t Angle) {
  if (Angle == 0) return Box;
  const long double radians = Angle * std::numbers::pi_v<long double> / 180;
  const long double c = std::cos(radians), s = std::sin(radians);
  const int64_t w = Box.Right - Box.Left, h = Box.Bottom - Box.Top;
  TBox turned{Box.Left, Box.Top, Box.Left, Box.Top};
  for (auto [dx, dy] : {std::pair<int64_t, int64_t>{w, 0}, {0, h}, {w, h}}) {
    const int64_t x = Box.Left + int64_t(std::llround(double(dx * c + dy * s)));
    const int64_t y = Box.Top + int64_t(std::llround(double(-dx * s + dy * c)));
    turned = {std::min(turned.Left, x), std::min(turned.Top, y), std::max(turned.Right, x),
              std::max(turned.Bottom, y)};
  }
  return turned;
}

TKVLayoutCanvas& TextCanvas(TKVComposerContext& Ctx, const std::string& Name, int32_t Size, uint8_t Style) {
  TKVLayoutCanvas& canvas = Ctx.Format().Canvas;
  canvas.Font = {Name.empty() ? "Arial" : Name, Size == 0 ? 64 : Size * 8, Style};
  return canvas;
}

void RestoreCanvas(TKVComposerContext& Ctx) { Ctx.Format().Canvas.Font = {Ctx.Score.MusicFontName(), 144, 0}; }

void LayoutPageMark(TKVComposerContext& Ctx, TKVPageMark& Mark, TKVDisplayItem& Display) {
  const TByteBlock& data = Mark.Data();
  int64_t x = std::max<int16_t>(data.i16(PageObjectBlock::X), 0), y = std::max<int16_t>(data.i16(PageObjectBlock::Y), 0);
  const uint8_t format = data.u8(PageMarkBlock::Format);
  const uint32_t nibble = format >> 4;
  const int32_t pageIndex = Ctx.Page->PageIndex;
  if (data.u8(PageMarkBlock::Numbered) == 0)
    Display.Text = PageNumberText(nibble, int64_t(pageIndex) + data.u16(PageMarkBlock::PageNumberOffset));
  else
    DateTimeText(nibble, PageMarkNow(), Display.Text);
  TKVLayoutCanvas& canvas = TextCanvas(Ctx, Mark.Text(), data.u8(PageMarkBlock::FontSize), data.u8(PageMarkBlock::FontStyle));
  const int64_t w = canvas.TextWidth(Display.Text);
  int64_t h = canvas.TextHeight();
  if (h == 0) h = 128;
  RestoreCanvas(Ctx);
  const TKVPage& settings = Ctx.Score.Page();
  const int64_t leftMargin = int64_t(settings.GetLeftMarginPixels()) * 8;
  const int64_t rightEdge = Ctx.PageWidth - int64_t(settings.GetRightMarginPixels()) * 8 - w;
  int horizontal = format & 3;
  // In a book the left and right anchors change sides on odd pages.
  if (settings.Book() && pageIndex % 2 == 1 && (horizontal == 1 || horizontal == 2)) horizontal = 3 - horizontal;
  switch (horizontal) {
    case 1: x = leftMargin; break;
    case 2: x = rightEdge; break;
    case 3: x = (Ctx.PageWidth - w) / 2; break;
    default: break;
  }
  switch ((format >> 2) & 3) {
    case 1: y = int64_t(settings.GetTopMarginPixels()) * 8; break;
    case 2: y = Ctx.PageHeight - int64_t(settings.GetBottomMarginPixels()) * 8 - h; break;
    case 3: y = (Ctx.PageHeight - h) / 2; break;
    default: break;
  }
  ClampToPage(Ctx, x, y, w, h);
  TBox box{x - 24, y - 24, x + w + 24, y + h + 24};
  if (settings.Turn() && pageIndex % 2 == 1) box = {Ctx.PageWidth - x - w - 24, y - 24, Ctx.PageWidth - x + 24, y + h + 24};
  SetBounds(Display, Rotated(box, data.u16(PageMarkBlock::Angle)));
}

void LayoutTextRuns(TKVComposerContext& Ctx, TKVText& Text, TKVDisplayItem& Display) {
  TByteBlock& data = Text.Data();
  const std::u16string whole = Text.WholeText();
  int64_t width = 0, top = 0;
  int32_t offset = 0;
  for (std::vector<TKVTextRun>& line : Text.Runs) {
    int64_t lineWidth = 0, lineHeight = 0;
    for (TKVTextRun& run : line) {
      TKVLayoutCanvas& canvas = TextCanvas(Ctx, run.FontName, run.Size, run.Style);
      run.Left = Saturate32(lineWidth);
      run.Top = Saturate32(top);
      run.CharOffset = offset;
      // A run reaching past the text measures only what the text holds.
      const std::u16string slice(TKVText::RunChars(whole, run));
      offset = Saturate32(int64_t(offset) + int64_t(slice.size()));
      lineWidth += canvas.TextWidthW(slice);
      const int64_t height = canvas.TextHeight();
      lineHeight = std::max(lineHeight, height);
      run.Right = Saturate32(lineWidth);
      run.Bottom = Saturate32(top + height);
    }
    width = std::max({width, lineWidth, int64_t(128)});
    for (TKVTextRun& run : line) {
      const int64_t down = top + lineHeight - run.Bottom;
      run.Top = Saturate32(run.Top + down);
      run.Bottom = Saturate32(run.Bottom + down);
    }
    top += lineHeight;
  }
  RestoreCanvas(Ctx);
  const int64_t height = top == 0 ? 128 : top;
  data.setU16(PageObjectBlock::Width, uint16_t(std::min<int64_t>(width, 0xFFFF)));
  data.setU16(PageObjectBlock::Height, uint16_t(std::min<int64_t>(height, 0xFFFF)));
  int64_t x = data.i16(PageObjectBlock::X), y = data.i16(PageObjectBlock::Y);
  ClampToPage(Ctx, x, y, width, height);
  SetBounds(Display, {x, y, x + width, y + height});
}

void LayoutText(TKVComposerContext& Ctx, TKVText& Text, TKVDisplayItem& Display) {
  if (!Text.Runs.empty()) return LayoutTextRuns(Ctx, Text, Display);
  const TByteBlock& data = Text.Data();
  int64_t width = data.u16(PageObjectBlock::Width), height = data.u16(PageObjectBlock::Height);
  if (width == 0 || height == 0) {
    TKVLayoutCanvas& canvas = TextCanvas(Ctx, Text.Text1(), data.u8(TextBlock::FontSize), data.u8(TextBlock::FontStyle));
    width = 128;
    for (const std::u16string& line : Text.Lines()) width = std::max<int64_t>(width, canvas.TextWidthW(line));
    height = int64_t(canvas.TextHeight()) * int64_t(Text.Lines().size());
    if (height == 0) height = 128;
    RestoreCanvas(Ctx);
  }
  int64_t x = data.i16(PageObjectBlock::X), y = data.i16(PageObjectBlock::Y);
  ClampToPage(Ctx, x, y, width, height);
  SetBounds(Display, Rotated({x, y, x + width, y + height}, data.u16(TextBlock::Angle)));
}

// Pictures, drawings and embedded objects: their own box (a line's two end
// points), pulled onto the page like a page mark.
void LayoutGeometry(TKVComposerContext& Ctx, const TKVItem& Object, TKVDisplayItem& Display) {
  const TByteBlock& data = Object.Data();
  int64_t x = data.i16(PageObjectBlock::X), y = data.i16(PageObjectBlock::Y);
  int64_t w = data.u16(PageObjectBlock::Width), h = data.u16(PageObjectBlock::Height);
  if (Object.Kind() == ItemKind::Line) {
    // A line keeps its second end point where the others keep their size.
    const int64_t x2 = data.i16(PageObjectBlock::Width), y2 = data.i16(PageObjectBlock::Height);
    w = std::abs(x2 - x);
    h = std::abs(y2 - y);
    x = std::min(x, x2);
    y = std::min(y, y2);
  }
  ClampToPage(Ctx, x, y, w, h);
  SetBounds(Display, {x, y, x + w, y + h});
}

// The items whose page objects the composer lays out: the score's, or the
// active part's in vsPart.
std::vector<TKVItem*> ObjectItems(const TKVComposerContext& Ctx) {
  if (Ctx.PartView()) return Ctx.Part ? Ctx.Part->Items().Items() : std::vector<TKVItem*>{};
  std::vector<TKVItem*> items;
  items.reserve(size_t(Ctx.Score.GetItemCount()));
  for (int32_t i = 0; i < Ctx.Score.GetItemCount(); ++i) items.push_back(Ctx.Score.GetItem(i));
  return items;
}

// The record of Object on the page before, or nil.
TKVDisplayItem* PreviousRecord(const TKVComposerContext& Ctx, const TKVItem* Object) {
  if (Ctx.Store.PageCount < 1 || size_t(Ctx.Store.PageCount) > Ctx.Store.Pages.size()) return nullptr;
  for (TKVDisplayItem* display : Ctx.Store.Pages[size_t(Ctx.Store.PageCount - 1)]->RepeatedObjects)
    if (display->Item == Object) return display;
  return nullptr;
}

}  // namespace

TKVDisplayItem* AddPageDisplay(TKVComposerContext& Ctx, TKVItem* Object) {
  TKVPageRecord& page = *Ctx.Page;
  if (page.PageObjectCount == UINT16_MAX) return nullptr;
  TKVDisplayItem& display = TakeRecord(page.PageObjects, page.PageObjectCount++);
  display = TKVDisplayItem{};
  display.Item = Object;
  Object->DisplayLink = nullptr;
  return &display;
}

void LayoutPageObject(TKVComposerContext& Ctx, TKVDisplayItem& Display) {
  TKVItem& object = *Display.Item;
  switch (object.Kind()) {
    case ItemKind::PageMark: LayoutPageMark(Ctx, static_cast<TKVPageMark&>(object), Display); break;
    case ItemKind::Text: LayoutText(Ctx, static_cast<TKVText&>(object), Display); break;
    default: LayoutGeometry(Ctx, object, Display); break;
  }
}

void LayoutPageObjects(TKVComposerContext& Ctx) {
  TKVPageRecord& page = *Ctx.Page;
  page.PageObjectCount = 0;
  const std::vector<TKVItem*> items = ObjectItems(Ctx);
  for (TKVItem* object : items) {
    if (!IsPageObject(object)) continue;
    // In a part the objects of every page come first.
    if (GetItemPage(object) != 0) {
      if (Ctx.PartView()) break;
      continue;
    }
    TKVDisplayItem* previous = PreviousRecord(Ctx, object);
    TKVDisplayItem* display = AddPageDisplay(Ctx, object);
    if (!display) return;
    LayoutPageObject(Ctx, *display);
    page.RepeatedObjects.push_back(display);
    display->Link = previous;
    object->DisplayLink = display;
  }
  for (; page.ItemCursor < items.size() && page.ItemCursor < UINT16_MAX; ++page.ItemCursor) {
    TKVItem* object = items[page.ItemCursor];
    if (!IsPageObject(object) || GetItemPage(object) != page.PageIndex + 1) continue;
    TKVDisplayItem* display = AddPageDisplay(Ctx, object);
    if (!display) return;
    LayoutPageObject(Ctx, *display);
  }
}

void KeepFirstSystemBetweenPageTexts(TKVComposerContext& Ctx) {
  const TKVPageRecord& page = *Ctx.Page;
  const int64_t middle = (int64_t(TenthsToUnits(Ctx.TopEdge)) + TenthsToUnits(Ctx.BottomEdge)) / 2;
  long double pushed = Ctx.Y, floor = Ctx.Y, limit = Ctx.BottomEdge;
  for (uint16_t i = 0; i < page.PageObjectCount && i < page.PageObjects.size(); ++i) {
    const TKVDisplayItem& text = *page.PageObjects[i];
    if (!text.Item) continue;
    const uint8_t kind = text.Item->Kind();
    if (kind == ItemKind::Text && text.Bounds.Top < middle) {
      pushed = std::max(pushed, UnitsToTenths(text.Bounds.Bottom) + Ctx.Interval);
      floor = std::max(floor, UnitsToTenths(text.Bounds.Bottom));
    } else if ((kind == ItemKind::Text || kind == ItemKind::PageMark) && text.Bounds.Top >= middle) {
      limit = std::min(limit, UnitsToTenths(text.Bounds.Top));
    }
  }
  if (pushed + Ctx.SystemHeight > limit) pushed = std::max(floor, limit - Ctx.SystemHeight);
  Ctx.Y = pushed;
}
