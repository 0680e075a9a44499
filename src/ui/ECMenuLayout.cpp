// Placing a container's children: a row (menu bar, horizontal tool bar) or a
// column (drop-down, vertical tool bar), and the size of the drop-down that
// shows them.
#include <algorithm>

#include "platform/canvas/CairoCanvas.h"
#include "ui/ECMenu.h"

namespace {

// Text is measured with the fonts of the screen, whatever canvas paints later.
canvas::TCanvas& MeasuringCanvas() {
  static canvas::TCairoCanvas canvas(1, 1);
  return canvas;
}

int TextWidthIn(canvas::TCanvas& measure, const canvas::TFont& font, const std::string& text) {
  measure.Font = font;
  return forms::TextSize(measure, text).Cx;
}

bool HasArrowPart(const TECMenuItem* item) { return item->Kind() == ikDropDown || item->Kind() == ikUpDown; }

}  // namespace

void TECMenuItem::UpdateLayout(int first, int last) {
  if (FUpdateCount > 0) {
    if (FPendingFirst < 0 || first < FPendingFirst) FPendingFirst = first;
    if (last > FPendingLast) FPendingLast = last;
    return;
  }
  if (FMenu && FMenu->IsLoading()) return;
  canvas::TCanvas& measure = MeasuringCanvas();
  if (FOrientation == ioHorizontal)
    LayoutRow(measure);
  else
    LayoutColumn(measure);
  if (FParent) SizeDropDown();
}

void TECMenuItem::LayoutRow(canvas::TCanvas& measure) {
  const int m = FMargin;
  int x = m;
  int h = FMenuStyle == msToolbar ? FButtonHeight : 0;
  FImageColumn = 0;
  for (TECMenuItem* c : FItems) {
    if (!c->Shown()) continue;
    int w;
    if (c->FControl) {
      w = c->FControl->Width() + 2 * c->FTextOffset;
      c->FControl->SetLeft(x + c->FTextOffset);
      c->FControl->SetTop(m);
      if (HasArrowPart(c)) w += 12;
    } else if (FMenuStyle == msMenu) {
      w = TextWidthIn(measure, c->FFont, c->FCaption) + FTextOffset + 2 * FOffset + FArrowSpace;
      if (c->FKind == ikCheckBox || c->StateImage() >= 0) {
        w += 24;
        FImageColumn = 24;
      }
      h = std::max(h, c->FButtonHeight);
    } else if (c->FHeight >= 1) {
      w = c->FHeight;
    } else if (HasArrowPart(c) || (c->FKind == ikButton && c->HasVisibleItems())) {
      w = c->FImage >= 0 ? c->FButtonWidth + 12 : 12;
    } else {
      w = c->FButtonWidth;
    }
    c->FItemRect = {x, m, x + w, m};
    x += w;
  }
  h = std::max(h, 10);
  FContentRect = {0, 0, x + m, h + m};
  for (TECMenuItem* c : FItems) {
    if (!c->Shown()) continue;
    c->FItemRect.Bottom = h - m;
    if (c->FControl) c->FControl->SetTop((h - c->FControl->Height()) / 2);
  }
}

void TECMenuItem::LayoutColumn(canvas::TCanvas& measure) {
  const int m = FMargin;
  int y = m, width = 0;
  FImageColumn = 0;
  for (TECMenuItem* c : FItems) {
    if (!c->Shown()) continue;
    if (c->FControl) {
      c->FItemRect = {m, y, m + c->FTextOffset, y + c->FControl->Height()};
      c->FControl->SetLeft(m + c->FTextOffset);
      c->FControl->SetTop(y);
      y += c->FControl->Height();
      continue;
    }
    int h;
    if (FMenuStyle == msMenu) {
      if (c->FKind == ikCheckBox || c->StateImage() >= 0) FImageColumn = 24;
      int w = TextWidthIn(measure, c->FFont, c->FCaption) + FTextOffset + 4 * c->FOffset + FArrowSpace;
      if (!c->FShortCutText.empty()) w += TextWidthIn(measure, c->FShortCutFont, c->FShortCutText) + c->FOffset;
      width = std::max(width, w);
      if (c->FHeight >= 0) {
        h = c->FHeight;
      } else if (FButtonHeight >= 0) {
        h = FButtonHeight;
      } else {
        measure.Font = c->FFont;
        h = measure.TextHeight(u"A");
        measure.Font = c->FShortCutFont;
        h = std::max(h, measure.TextHeight(u"A"));
      }
    } else {
      h = c->FHeight >= 0 ? c->FHeight : FButtonHeight;
      if ((c->FKind == ikButton || HasArrowPart(c)) && c->HasVisibleItems())
        FImageColumn = 36;
      else
        FImageColumn = std::max(FImageColumn, 24);
      width = FImageColumn;
    }
    c->FItemRect = {m, y, m, y + h};
    y += h;
  }
  if (FMenuStyle == msMenu) width += FImageColumn;
  // The root fills the width of its menu control.
  const int clientWidth = !FParent && FSubMenu ? FSubMenu->ClientWidth() : 0;
  if (clientWidth != 0 && clientWidth > m / 2 + width)
    width = clientWidth;
  else
    width += m / 2;
  FContentRect = {0, 0, width, y + m};
  if (FMenuStyle == msToolbar) FImageColumn = width;
  for (TECMenuItem* c : FItems)
    if (c->Shown()) c->FItemRect.Right = width - m;
}

void TECMenuItem::SizeDropDown() {
  TECSubMenu* dropDown = DropDown();
  if (!dropDown) return;
  forms::TScrollBar* bar = dropDown->ScrollBar();
  const canvas::TRect& c = FContentRect;
  if (FMenuHeight >= 0 && FMenuHeight + c.Top < c.Bottom) {
    dropDown->SetBounds(dropDown->Left(), dropDown->Top(), c.Right + 2, FMenuHeight + c.Top + 2);
    bar->SetParams(bar->Position(), 0, c.Bottom - c.Top + 4);
    bar->SetPageSize(FMenuHeight + c.Top + 2);
    bar->Show();
  } else {
    dropDown->SetBounds(dropDown->Left(), dropDown->Top(), c.Right + 2, c.Bottom + 2);
    bar->SetPosition(0);
    bar->Hide();
  }
}
