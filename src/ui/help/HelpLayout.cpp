#include "ui/help/HelpLayout.h"

#include <algorithm>
#include <cctype>

#include "base/Strings.h"
#include "platform/canvas/Canvas.h"

namespace {

constexpr int kGap = 4, kEdge = 4, kEmptyBreak = 13, kRuleHeight = 4;

bool InWord(char c) { return std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80; }

// A point or comma between two letters or digits is part of a word (a file
// name such as "Untitled.wav", a number such as "1,5"), never a place to break.
bool IsBreak(std::string_view text, size_t k) {
  const char c = text[k];
  if (std::string_view(" ,.;()[]").find(c) == std::string_view::npos) return false;
  const bool joins = (c == '.' || c == ',') && k > 0 && k + 1 < text.size() && InWord(text[k - 1]) && InWord(text[k + 1]);
  return !joins;
}

bool IsRun(THelpBlockKind kind) {
  return kind == hbText || kind == hbListEntry || kind == hbPageLink || kind == hbOtherLink;
}

}  // namespace

int TCanvasHelpMetrics::CharWidth(unsigned char c) {
  char byte = char(c);
  return FCanvas.TextWidthA(std::string_view(&byte, 1));
}

canvas::TFont HelpBlockFont(const THelpBlock& block, const canvas::TFont& base) {
  canvas::TFont font = base;
  if (!block.Style.Set) return font;
  if (!block.Style.Name.empty()) font.Name = block.Style.Name;
  if (block.Style.Size) font.SetSize(block.Style.Size);
  font.Color = block.Style.Color;
  font.Style = block.Style.Style;
  return font;
}

THelpItem& THelpLayout::AddItem(THelpBlock* block, std::string text, const canvas::TRect& rect) {
  if (Count == int(Items.size())) Items.emplace_back();
  THelpItem& item = Items[Count++];
  item.Block = block;
  item.Text = std::move(text);
  item.Rect = rect;
  return item;
}

void THelpLayout::FinishLine(int height, bool reset) {
  for (int i = FLineStart; i < Count; ++i) {
    canvas::TRect& r = Items[i].Rect;
    int dy = (height - r.Height()) / 2;
    r.Top += dy;
    r.Bottom += dy;
  }
  FLineStart = Count;
  ContentWidth = std::max(ContentWidth, FX);
  FX = FIndent;
  FY += height;
  if (reset) FLineHeight = 0;
  FLineEmpty = true;
}

void THelpLayout::SetIndent(int depth) {
  if (depth > FStack.back()) {
    FStack.push_back(depth);
    FIndent += FView->Paragraph;
  } else {
    while (FStack.back() > depth && FStack.size() > 1 && FIndent >= 1) {
      FStack.pop_back();
      FIndent -= FView->Paragraph;
    }
  }
  FX = FIndent;
}

int THelpLayout::Width(const std::string& text, size_t from, size_t to) {
  int width = 0;
  for (size_t k = from; k < to; ++k) {
    int& w = (*FWidths)[(unsigned char)text[k]];
    if (w < 0) w = FMetrics->CharWidth((unsigned char)text[k]);
    width += w;
  }
  return width;
}

void THelpLayout::LayOutRun(THelpBlock& block, const std::string& text) {
  canvas::TFont font = HelpBlockFont(block, FView->Font);
  FMetrics->SetFont(font);
  auto [slot, added] = FWidthCache.try_emplace(Format("%s/%d/%u", font.Name.c_str(), font.Height, font.Style));
  if (added) slot->second.fill(-1);
  FWidths = &slot->second;
  int h = FMetrics->Height();
  FLineHeight = std::max(FLineHeight, h);
  size_t start = 0;
  int pieceX = FX, width = 0;  // where the piece begins, and its width so far
  size_t breakAt = std::string::npos;
  int limit = FView->ClientWidth - kEdge;
  // Every character counts, the last one too: a run whose last letter ended
  // past the edge would be cut there.
  for (size_t k = 0; k < text.size(); ++k) {
    if (IsBreak(text, k) && k > start) breakAt = k;
    int w = Width(text, k, k + 1);
    if (!FView->Autosize && pieceX + width + w > limit) {
      if (breakAt == std::string::npos) {
        // The whole piece moves to a new line, unless it begins one already:
        // a run with nowhere to break is never split.
        if (FLineStart < Count || pieceX > FIndent) {
          FinishLine(FLineHeight, false);
          FLineHeight = h;
          pieceX = FX;
        }
      } else {
        int kept = Width(text, start, breakAt);
        AddItem(&block, text.substr(start, breakAt - start), {pieceX, FY, pieceX + kept, FY + h});
        FinishLine(FLineHeight, true);
        FLineHeight = h;
        width -= kept;
        start = breakAt;
        breakAt = std::string::npos;
        pieceX = FX;
      }
    }
    width += w;
  }
  int last = Width(text, start, text.size());
  AddItem(&block, text.substr(start), {pieceX, FY, pieceX + last, FY + h});
  FX = pieceX + last + (!text.empty() && text.back() == '(' ? 0 : kGap);
  FLineEmpty = false;
}

void THelpLayout::Run(const THelpBlocks& blocks, const THelpView& view, THelpMetrics& metrics,
                      const THelpBlock*& openedLast, int& scrollY) {
  FView = &view;
  FMetrics = &metrics;
  ContentWidth = ContentHeight = Count = 0;
  FX = FY = FLineHeight = FLineStart = 0;
  FIndent = -view.Paragraph;
  FStack.assign(1, 0);
  FLineEmpty = true;
  std::vector<const THelpBlock*> sections;
  const THelpBlock* followed = nullptr;
  int labelTop = 0, bottom = 0;
  bool following = false;
  for (size_t i = 0; i < blocks.size(); ++i) {
    THelpBlock& block = *blocks[i];
    if (sections.size() > block.Depth) sections.resize(block.Depth);
    bool hidden = std::any_of(sections.begin(), sections.end(), [](const THelpBlock* s) { return s && !s->Open; });
    if (following && block.Depth <= followed->Depth) following = false;
    if (!hidden) {
      if (IsRun(block.Kind)) {
        if (i == 0 && block.Text.empty()) {
          // Skipped, but it still sets the indentation, so that the lines
          // after a wrap do not begin left of the page.
          if (!block.Parent) SetIndent(block.Depth);
          continue;
        }
        if (!block.Parent) {
          if (!FLineEmpty) FinishLine(FLineHeight, true);
          SetIndent(block.Depth);
        }
        LayOutRun(block, block.Text);
      } else if (block.Kind == hbSection) {
        if (!FLineEmpty) FinishLine(FLineHeight, true);
        SetIndent(block.Depth);
        int top = FY;
        LayOutRun(block, block.Open ? block.SecondText : block.Text);
        FinishLine(FLineHeight, true);
        sections.resize(block.Depth + 1);
        sections[block.Depth] = &block;
        if (&block == openedLast) {
          followed = &block;
          following = true;
          labelTop = top;
          bottom = FY;
        }
      } else if (block.Kind == hbBreak) {
        FinishLine(FLineEmpty ? kEmptyBreak : FLineHeight, true);
      } else if (block.Kind == hbPicture && block.Picture) {
        int w = block.Picture->Width(), h = block.Picture->Height();
        if (!view.Autosize && FX + w > view.ClientWidth && !FLineEmpty) FinishLine(FLineHeight, true);
        FLineHeight = std::max(FLineHeight, h + 2);
        AddItem(&block, "", {FX, FY, FX + w, FY + h});
        FX += w + kGap;
        FLineEmpty = false;
      } else if (block.Kind == hbRule) {
        if (!FLineEmpty) FinishLine(FLineHeight, true);
        AddItem(&block, "", {FX, FY, FX + ContentWidth, FY + kRuleHeight});
        FLineHeight = kRuleHeight;
        FinishLine(FLineHeight, true);
      }
    }
    if (following && &block != followed) bottom = FY + FLineHeight;
  }
  ContentWidth = std::max(ContentWidth, FX);
  if (!FLineEmpty) FY += FLineHeight;
  ContentHeight = FY;
  for (int i = 0; i < Count; ++i)
    if (Items[i].Block->Kind == hbRule) Items[i].Rect.Right = ContentWidth - 2 * Items[i].Rect.Left;
  if (openedLast && followed == openedLast && bottom > view.ClientHeight + scrollY)
    scrollY = bottom - labelTop >= view.ClientHeight ? labelTop : bottom - view.ClientHeight;
  openedLast = nullptr;
}
