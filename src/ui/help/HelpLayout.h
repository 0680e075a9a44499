#pragma once
// Help blocks laid out into line items for a client width: runs wrap at
// their last blank or punctuation before the edge, pictures and rules take
// their place in the lines, closed sections hide what lies deeper. Widths are
// measured one character at a time and kept per font and character.

#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "ui/help/HelpBlocks.h"

// The text measure a layout uses: the control's canvas, or fixed metrics in
// tests.
class THelpMetrics {
public:
  virtual ~THelpMetrics() = default;
  virtual void SetFont(const canvas::TFont& font) = 0;
  virtual int CharWidth(unsigned char c) = 0;
  virtual int Height() = 0;
};

// The canvas's metrics (the text layer's fonts).
class TCanvasHelpMetrics : public THelpMetrics {
public:
  explicit TCanvasHelpMetrics(canvas::TCanvas& canvas) : FCanvas(canvas) {}
  void SetFont(const canvas::TFont& font) override { FCanvas.Font = font; }
  int CharWidth(unsigned char c) override;
  int Height() override { return FCanvas.GetTextMetrics().Height; }

private:
  canvas::TCanvas& FCanvas;
};

struct THelpItem {
  THelpBlock* Block = nullptr;
  std::string Text;
  canvas::TRect Rect;
};

struct THelpView {
  int ClientWidth = 0, ClientHeight = 0;
  int Paragraph = 8;
  bool Autosize = false;
  canvas::TFont Font;  // the style of text outside "font" elements
};

// The font a block's text is drawn in.
canvas::TFont HelpBlockFont(const THelpBlock& block, const canvas::TFont& base);

class THelpLayout {
public:
  // Lays Blocks out; when OpenedLast (cleared here) is a section whose end
  // lies below the view, ScrollY moves to show it.
  void Run(const THelpBlocks& blocks, const THelpView& view, THelpMetrics& metrics, const THelpBlock*& openedLast,
           int& scrollY);

  // Records reused from one layout to the next; the first Count are in use.
  std::vector<THelpItem> Items;
  int Count = 0;
  int ContentWidth = 0, ContentHeight = 0;

private:
  THelpItem& AddItem(THelpBlock* block, std::string text, const canvas::TRect& rect);
  void FinishLine(int height, bool reset);
  void SetIndent(int depth);
  void LayOutRun(THelpBlock& block, const std::string& text);
  int Width(const std::string& text, size_t from, size_t to);

  const THelpView* FView = nullptr;
  THelpMetrics* FMetrics = nullptr;
  int FX = 0, FY = 0, FLineHeight = 0, FIndent = 0, FLineStart = 0;
  bool FLineEmpty = true;
  std::vector<int> FStack;
  // Character widths of the font in use, and of every font met so far.
  std::array<int, 256>* FWidths = nullptr;
  std::map<std::string, std::array<int, 256>> FWidthCache;
};
