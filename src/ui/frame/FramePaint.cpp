// Painting of a skinned frame: the caption bar, the border, the icon, the
// title shortened to its room, the caption buttons and the wallpaper; and
// where the buttons show for a window state.
#include "base/Utf8.h"
#include "ui/frame/ECFormDesigner.h"

using forms::TWindowState;

namespace {

void Tile(canvas::TCanvas& c, const canvas::TBitmap& picture, int x, int y, int limit, bool across) {
  const int step = across ? picture.Width() : picture.Height();
  if (picture.Empty() || step <= 0) return;
  for (int at = across ? x : y; at < limit; at += step) c.Draw(across ? at : x, across ? y : at, picture);
}

// The title as it fits Room pixels: when it is wider, the characters before
// the one that makes ".." and them exceed the room, then "..".
std::u16string ShortTitle(canvas::TCanvas& c, const std::string& caption, int room) {
  std::u16string text = Utf8ToUtf16(caption);
  if (c.TextWidth(text) <= room) return text;
  int sum = c.TextWidth(u"..");
  for (size_t i = 0; i < text.size(); ++i) {
    // A character outside the basic plane is one pair of code units.
    const size_t n = (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) ? 2 : 1;
    sum += c.TextWidth(std::u16string_view(text).substr(i, n));
    if (sum > room) return text.substr(0, i) + u"..";
    i += n - 1;
  }
  return text;
}

}  // namespace

TWindowState TECFormDesigner::PaintState() const {
  return FPendingCommand ? *FPendingCommand : FForm->WindowState();
}

bool TECFormDesigner::ButtonShown(TECFormButton& b, TWindowState state) {
  b.ShowLeft = b.Left();
  b.ShowTop = b.Top();
  switch (b.Style()) {
    case bsNormal: return b.Visible() && state != TWindowState::wsNormal;
    case bsMinimized: return b.Visible() && state != TWindowState::wsMinimized;
    case bsMaximized: return b.Visible() && state != TWindowState::wsMaximized;
    case bsClose: return b.Visible();
    case bsCustom: {
      bool visible = b.Visible();
      if (b.OnShow) b.OnShow(&b, visible, b.ShowLeft, b.ShowTop);
      return visible;
    }
  }
  return false;
}

forms::TRect TECFormDesigner::ButtonRect(const TECFormButton& b, TWindowState state) const {
  // A minimised window's restore button moves into the room of the one it replaces.
  const int offset = b.Style() == bsNormal && state == TWindowState::wsMinimized ? b.ShowLeft - 16 : b.ShowLeft;
  const int x = b.RightAlign() ? FForm->Width() - offset - b.Width() : offset;
  const int y = b.BottomAlign() ? FForm->Height() - b.ShowTop - b.Height() : b.ShowTop;
  return {x, y, x + b.Width(), y + b.Height()};
}

TECFormButton* TECFormDesigner::ButtonAt(int x, int y) {
  const TWindowState state = FForm->WindowState();
  for (int i = 0; i < FButtons->Count(); ++i) {
    TECFormButton& b = *FButtons->Items(i);
    if (!ButtonShown(b, state)) continue;
    const forms::TRect r = ButtonRect(b, state);
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return &b;
  }
  return nullptr;
}

void TECFormDesigner::DrawButton(canvas::TCanvas& c, TECFormButton& b, bool active, TWindowState state) {
  const canvas::TBitmap& strip = b.Picture();
  if (strip.Empty()) return;
  const int w = b.Width(), frames = strip.Width();
  int frame = 0;
  switch (b.ButtonState()) {
    case 0: frame = !active && state != TWindowState::wsMinimized && frames > 3 * w ? 3 : 0; break;
    // An inactive window's hot button takes frame 3 only where the strip has one.
    case 1: frame = active ? (frames > w ? 1 : 0) : (frames > 3 * w ? 3 : 0); break;
    default: frame = frames > 2 * w ? 2 : 0; break;
  }
  const forms::TRect r = ButtonRect(b, state);
  if (r.Left <= 0) return;
  canvas::TBitmap face(w, b.Height());
  face.Canvas().BitBlt(0, 0, w, b.Height(), strip, frame * w, 0);
  face.Transparent = b.Transparent();
  c.Draw(r.Left, r.Top, face);
}

void TECFormDesigner::PaintNonClient(canvas::TCanvas& c, int mode) {
  if (FFullScreen) return;
  const bool active = mode == 1 || (mode == 0 && FForm->Active());
  const TWindowState state = PaintState();
  const bool iconic = state == TWindowState::wsMinimized;
  const int width = FForm->Width(), height = FForm->Height(), captionHeight = FCaption->Height();
  c.Brush.Style = canvas::bsSolid;
  if (FCaption->Color() != canvas::clBtnFace) {
    c.Brush.Color = FCaption->Color();
    c.FillRect({0, 0, width, captionHeight});
  }

  const TECFormBorder& border = *FBorder;
  if (!iconic && border.Simple()) {
    c.Pen = border.Pen();
    c.Brush.Style = canvas::bsClear;
    c.RoundRect({0, 0, width - 1, height - 1}, FWidthEllipse, FHeightEllipse);
  } else if (!iconic) {
    // An inactive window shows its own pieces where it has them.
    auto piece = [&](TBorderPiece p) -> const canvas::TBitmap& {
      const canvas::TBitmap& inactive = border.Picture(p, false);
      return !active && !inactive.Empty() ? inactive : border.Picture(p);
    };
    if (border.LeftWidth() > 0) {
      c.Draw(0, captionHeight, piece(LeftTopPicture));
      Tile(c, piece(LeftPicture), 0, captionHeight + border.Picture(LeftTopPicture).Height(), height, false);
    }
    if (border.RightWidth() > 0) {
      const int x = width - border.RightWidth();
      const canvas::TBitmap& top = piece(RightTopPicture);
      c.Draw(x, captionHeight, top);
      Tile(c, piece(RightPicture), x, captionHeight + top.Height(), height, false);
    }
    if (border.BottomHeight() > 0) {
      const int y = height - border.BottomHeight();
      const canvas::TBitmap& left = piece(LeftBottomPicture);
      c.Draw(0, y, left);
      const int limit = width - border.Picture(RightBottomPicture, active).Width();
      Tile(c, piece(BottomPicture), left.Width(), y, limit, true);
      c.Draw(width - border.Picture(RightBottomPicture).Width(), y, piece(RightBottomPicture));
    }
  }

  if (captionHeight <= 0) return;
  forms::TRect q{0, 0, width, captionHeight};
  const TECFormCaption& caption = *FCaption;
  auto captionPiece = [&](TCaptionPiece activePiece, TCaptionPiece inactivePiece) -> const canvas::TBitmap& {
    const canvas::TBitmap& inactive = caption.Picture(inactivePiece);
    return !active && !iconic && !inactive.Empty() ? inactive : caption.Picture(activePiece);
  };
  const canvas::TBitmap& left = captionPiece(ActiveLeftPicture, DeactiveLeftPicture);
  c.Draw(0, 0, left);
  q.Left += left.Width();
  const canvas::TBitmap* right = iconic ? &caption.Picture(ActiveMinRightPicture)
                                 : !active && !caption.Picture(DeactiveRightPicture).Empty()
                                     ? &caption.Picture(DeactiveRightPicture)
                                     : &caption.Picture(ActiveRightPicture);
  if (right->Empty()) right = &caption.Picture(ActiveRightPicture);
  q.Right -= right->Width();
  Tile(c, captionPiece(ActiveCenterPicture, DeactiveCenterPicture), q.Left, 0, q.Right, true);
  c.Draw(q.Right, 0, *right);

  if (caption.IconVisible()) {
    const int side = captionHeight - 8, iconLeft = caption.IconLeft(), iconTop = caption.IconTop();
    if (!caption.Icon().Empty()) {
      canvas::TBitmap icon = caption.Icon();
      icon.Transparent = true;
      c.StretchDraw({iconLeft, iconTop, iconLeft + side, iconTop + side}, icon);
      q.Left = std::max(q.Left, iconLeft + caption.Icon().Width());
    } else {
      const canvas::TBitmap& icon = FForm->Icon();
      if (!icon.Empty()) c.StretchDraw({iconLeft, iconTop, iconLeft + 16, iconTop + 16}, icon);
      if (iconLeft + side > q.Left) q.Left = 2 * iconLeft + side;
    }
  }

  c.Font = caption.Font();
  c.Brush.Style = canvas::bsClear;
  const int x = caption.TextLeft() >= 0 ? caption.TextLeft() : q.Left;
  const int limit = caption.TextRight() >= 0 ? width - caption.TextRight() : q.Right;
  const std::u16string title = ShortTitle(c, FForm->Caption(), limit - x);
  c.TextOut(x, (captionHeight - c.TextHeight(u"A")) / 2, title);

  for (int i = 0; i < FButtons->Count(); ++i) {
    TECFormButton& b = *FButtons->Items(i);
    if (ButtonShown(b, state)) DrawButton(c, b, active, state);
  }
}

void TECFormDesigner::PaintWallPaper(canvas::TCanvas& c) {
  const int w = FWallPaper.Width(), h = FWallPaper.Height();
  if (w <= 0 || h <= 0) return;
  const forms::TRect client = FForm->ClientRect();
  for (int y = 0; y < client.Bottom; y += h)
    for (int x = 0; x < client.Right; x += w) c.Draw(x, y, FWallPaper);
}
