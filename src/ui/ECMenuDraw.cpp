// Painting a container's window and each child by kind, style and state:
// backgrounds and the image column, the highlight, images (raised when hot),
// captions with their underlined mnemonic, short-cut texts, separators,
// arrows and check marks.
#include <algorithm>
#include <array>
#include <initializer_list>

#include "base/Utf8.h"
#include "platform/forms/ControlPaint.h"
#include "ui/ECMenu.h"

using canvas::TColor;
using canvas::TPoint;
using canvas::TRect;

namespace {

constexpr TColor kHighlightPen = 0xC56743, kHotBrush = 0xD6BEB5, kPressedBrush = 0xB59284;
constexpr TColor kLine = 0xAAB2B8, kDisabledText = 0xC0C0C0, kGrey = 0x808080;

void Fill(canvas::TCanvas& c, const TRect& r, TColor color) { forms::FillSolid(c, r, color); }

void Highlight(canvas::TCanvas& c, const TRect& r, bool pressed) {
  c.Pen = {kHighlightPen, 1};
  c.Brush = {pressed ? kPressedBrush : kHotBrush, canvas::bsSolid};
  c.Rectangle(r);
}

void Glyph(canvas::TCanvas& c, std::initializer_list<TPoint> points, TColor color, int dx = 0, int dy = 0) {
  std::array<TPoint, 6> moved{};
  size_t n = 0;
  for (TPoint p : points) moved[n++] = {p.X + dx, p.Y + dy};
  c.Pen = {color, 1};
  c.Brush = {color, canvas::bsSolid};
  c.Polygon(std::span<const TPoint>(moved.data(), n));
}

bool Intersects(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

void TECMenuItem::PaintWindow(canvas::TCanvas& canvas) {
  if (!FSubMenu) return;
  const TRect client = FSubMenu->ClientRect();
  if (client.Width() <= 0 || client.Height() <= 0 || !Intersects(client, canvas.ClipRect())) return;
  canvas::TBitmap off(client.Width(), client.Height());
  canvas::TCanvas& c = off.Canvas();
  if (const int scroll = ScrollPos()) c.SetOrigin({0, -scroll});
  PaintItems(c);
  canvas.BitBlt(0, 0, client.Width(), client.Height(), off, 0, 0);
}

void TECMenuItem::PaintItems(canvas::TCanvas& canvas) {
  if (FSubMenu) {
    const int width = FSubMenu->ClientWidth(), height = FSubMenu->ClientHeight() + ScrollPos();
    const bool picture = !FPicture.Empty() && FMenu && FMenu->Imaging();
    if (picture && FOrientation == ioHorizontal) {
      for (int x = 0; x < width; x += FPicture.Width()) canvas.Draw(x, 0, FPicture);
    } else if (!picture) {
      if (height > FContentRect.Bottom) {
        Fill(canvas, {0, FContentRect.Bottom, FImageColumn, height}, FPanelColor);
        Fill(canvas, {FImageColumn, FContentRect.Bottom, width, height}, FColor);
      }
      if (width > FContentRect.Right) Fill(canvas, {FContentRect.Right, 0, width, height}, FColor);
    }
  }
  for (TECMenuItem* c : std::vector<TECMenuItem*>(FItems)) c->DrawItem(canvas);
  if (FMargin > 0) {
    const TRect& r = FContentRect;
    const int m = FMargin;
    for (const TRect& band : {TRect{0, 0, m, r.Bottom}, TRect{0, 0, r.Right, m}, TRect{r.Right - 1, 0, r.Right, r.Bottom},
                              TRect{0, r.Bottom - m, r.Right, r.Bottom}})
      Fill(canvas, band, kLine);
  }
}

void TECMenuItem::DrawItem(canvas::TCanvas& canvas) {
  TECMenuItem* p = FParent;
  if (!p || !Shown() || !Intersects(FItemRect, canvas.ClipRect())) return;
  const TRect r = FItemRect;
  const bool toolbar = p->FMenuStyle == msToolbar;
  const int k = toolbar ? 3 : FOffset;
  const int index = StateImage();
  const bool selected = p->FSelected == this && FKind != ikSeparator;
  const bool imaging = FMenu && FMenu->Imaging();
  const int column = p->FImageColumn;

  if (!(FTransparent && imaging)) {
    if (column > 0) {
      Fill(canvas, {r.Left + column, r.Top, r.Right, r.Bottom}, p->FColor);
      Fill(canvas, {r.Left, r.Top, r.Left + column, r.Bottom}, p->FPanelColor);
    } else {
      Fill(canvas, r, p->FColor);
    }
  }
  if (!FFlat) forms::DrawEdge(canvas, {r.Left + column, r.Top, r.Right, r.Bottom}, FState != stPressed);

  if (selected && FStyle == isMenuItem) {
    const TRect arrow{r.Right - k - 10, r.Top, r.Right, r.Bottom};
    const TRect main{r.Left, r.Top, r.Right - k - 11, r.Bottom};
    if (FKind == ikDropDown) {
      Highlight(canvas, main, FState == stPressed);
      Highlight(canvas, arrow, FState == stPressedArrow);
    } else if (FKind == ikUpDown) {
      if (FImage >= 0 || FControl) Highlight(canvas, main, FState == stPressed);
      const int half = (r.Top + r.Bottom) / 2;
      Highlight(canvas, {arrow.Left, FDownHalf ? half : r.Top, arrow.Right, FDownHalf ? r.Bottom : half},
                FState == stPressedArrow);
    } else {
      Highlight(canvas, r, FState == stPressed);
    }
  } else if (!selected && FKind == ikCheckBox && FChecked && index < 0 && toolbar) {
    Highlight(canvas, r, true);
  }

  if (index >= 0) DrawImage(canvas, index);
  DrawText(canvas);
  DrawGlyphs(canvas);
  if (OnDrawItem) OnDrawItem(this, canvas, r);
}

void TECMenuItem::DrawImage(canvas::TCanvas& canvas, int index) {
  const forms::TCustomImageList* images = FMenu->Images();
  const TECMenuItem* p = FParent;
  const TRect& r = FItemRect;
  const int y = (r.Top + r.Bottom - images->Height()) / 2;
  int x = r.Left + FOffset;
  if (p->FMenuStyle == msToolbar) {
    if (FAlignment == forms::taRightJustify) x = r.Right - FOffset - FArrowSpace - 16;
    if (FAlignment == forms::taCenter)
      x = (r.Left + r.Right - 16 - FOffset - (FKind == ikDropDown || FKind == ikUpDown ? 12 : 0)) / 2;
  }
  const bool enabled = FDisableImage >= 0 || FEnabled;
  if (p->FSelected == this && FKind != ikSeparator && FState == stHot && FOverImage < 0) {
    // Raised: a grey silhouette below and to the right, the image above and to the left.
    images->DrawSilhouette(canvas, x + 1, y + 1, index, kGrey);
    images->Draw(canvas, x - 1, y - 1, index, enabled);
  } else {
    images->Draw(canvas, x, y, index, enabled);
  }
}

void TECMenuItem::DrawText(canvas::TCanvas& canvas) {
  const TECMenuItem* p = FParent;
  const TRect& r = FItemRect;
  const bool selected = p->FSelected == this && FKind != ikSeparator;
  canvas.Font = FFont;
  if (selected && FStyle == isHotKey && p->FMenuStyle == msMenu) canvas.Font.Style |= text::fsUnderline;
  if (!FEnabled) canvas.Font.Color = kDisabledText;
  canvas.Brush.Style = canvas::bsClear;
  const int hA = canvas.TextHeight(u"A");
  const std::u16string caption = Utf8ToUtf16(FCaption);
  const int width = canvas.TextWidth(caption);
  int x = r.Left + p->FImageColumn + FOffset + FTextOffset;
  if (FShortCutText.empty() && FAlignment == forms::taRightJustify)
    x = r.Right - FOffset - FArrowSpace - width - FTextOffset;
  const int y = (r.Top + r.Bottom - hA) / 2;

  if (p->FMenuStyle == msToolbar) {
    if (FKind == ikSeparator) {
      canvas.Pen = {kLine, 1};
      const int mid = p->FOrientation == ioHorizontal ? (r.Left + r.Right) / 2 : (r.Top + r.Bottom) / 2;
      if (p->FOrientation == ioHorizontal) {
        canvas.MoveTo(mid, r.Top);
        canvas.LineTo(mid, r.Bottom);
      } else {
        canvas.MoveTo(r.Left + FOffset, mid);
        canvas.LineTo(r.Right - FOffset, mid);
      }
    }
    if (StateImage() >= 0 || caption.empty()) return;
    if (FShortCutText.empty() && FAlignment == forms::taCenter) x = (r.Left + r.Right - width) / 2;
    canvas.TextOut(x, y, caption);
    return;
  }

  if (FKind == ikSeparator) {
    const int ly = caption.empty() ? (r.Top + r.Bottom) / 2 : (r.Top + r.Bottom + hA) / 2;
    canvas.Pen = {kLine, 1};
    canvas.MoveTo(r.Left + p->FImageColumn + FOffset, ly);
    canvas.LineTo(r.Right - FOffset, ly);
  }
  if (FShortCutText.empty() && FAlignment == forms::taCenter)
    x = (r.Right + r.Left + p->FImageColumn - width - 2 * FOffset) / 2;
  const size_t amp = caption.find(u'&');
  if (amp == std::u16string::npos) {
    canvas.TextOut(x, y, caption);
  } else {
    // The part before the mark, the marked character underlined, then the rest.
    const std::u16string before = caption.substr(0, amp);
    canvas.TextOut(x, y, before);
    if (amp + 1 < caption.size()) {
      x += canvas.TextWidth(before);
      const std::u16string marked = caption.substr(amp + 1, 1);
      const unsigned style = canvas.Font.Style;
      canvas.Font.Style |= text::fsUnderline;
      canvas.TextOut(x, y, marked);
      x += canvas.TextWidth(marked);
      canvas.Font.Style = style & ~unsigned(text::fsUnderline);
      canvas.TextOut(x, y, caption.substr(amp + 2, 100));
    }
  }
  if (!FShortCutText.empty()) {
    canvas.Font = FShortCutFont;
    const std::u16string shortCut = Utf8ToUtf16(FShortCutText);
    int sx = r.Right - FOffset - canvas.TextWidth(shortCut);
    if (const TECSubMenu* dropDown = p->DropDown(); dropDown && dropDown->ScrollBar()->Visible())
      sx -= dropDown->ScrollBar()->Width();
    canvas.TextOut(sx, y, shortCut);
  }
}

void TECMenuItem::DrawGlyphs(canvas::TCanvas& canvas) {
  const TECMenuItem* p = FParent;
  const TRect& r = FItemRect;
  const TColor ink = FEnabled ? canvas::clBlack : kGrey;
  const int X = r.Right - FArrowSpace - (p->FMenuStyle == msToolbar ? 3 : FOffset), Y = (r.Top + r.Bottom) / 2;
  const bool row = p->FOrientation == ioHorizontal;
  const bool raised = FEnabled && p->FSelected == this && FState == stHotArrow;
  // A down (up) arrow centred on y; a hot arrow is raised over a grey copy.
  auto arrow = [&](int y, bool down, bool hot) {
    const int s = down ? 1 : -1;
    auto draw = [&](TColor color, int d) {
      if (row)
        Glyph(canvas, {{X + 2, y - s}, {X - 2, y - s}, {X, y + s}}, color, d, d);
      else
        Glyph(canvas, {{X + 2, y - 2 * s}, {X - 6, y - 2 * s}, {X - 2, y + 2 * s}}, color, d, d);
    };
    if (hot) draw(kGrey, 0);
    draw(ink, hot ? -1 : 0);
  };
  if (FKind == ikButton && HasVisibleItems() && FMenuArrow) {
    Glyph(canvas, {{X, Y}, {X - 4, Y - 4}, {X - 4, Y + 4}}, ink);
  } else if (FKind == ikDropDown) {
    arrow(Y, true, raised);
  } else if (FKind == ikUpDown) {
    // Quarters of the item's own height, wherever it starts.
    arrow(r.Top + r.Height() / 4, false, raised && FDownHalf == 0);
    arrow(r.Top + 3 * r.Height() / 4, true, raised && FDownHalf == 1);
  }
  if (FKind == ikCheckBox && FChecked && StateImage() < 0 && p->FMenuStyle == msMenu) {
    const int cx = r.Left + FOffset + 2;
    Glyph(canvas, {{cx, Y}, {cx, Y + 1}, {cx + 2, Y + 3}, {cx + 7, Y - 2}, {cx + 7, Y - 3}, {cx + 2, Y + 2}},
          canvas::clBlack);
  }
}
