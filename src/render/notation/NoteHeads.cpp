// Note heads: the fret number of a tablature note, the parallelogram and
// slash heads, and the music-font heads by shape and duration (the user
// head shapes from the score's table), with their brackets; the second note
// kind as a head glyph only.

#include <string>

#include "player/Window.h"
#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Score.h"

namespace render {

namespace {

// The note's rectangle moved by a pending move and onto the drawn lines.
void PlaceHead(TKVPageDrawer& D, const TKVNote& Note, const TKVStaffLineRecord& Line) {
  TKVDisplayItem& record = *D.CurrentRecord;
  D.ScaleItemRect(record.Bounds, D.ItemRect);
  int64_t dx = 0, dy = D.VerticalSnap(Note.StaffStep, Line);
  if ((record.Placement & 0x0F) == 1) dx = record.Shift.X, dy += record.Shift.Y;
  canvas::TRect& r = D.ItemRect;
  r = {ClampCoordinate(r.Left + dx), ClampCoordinate(r.Top + dy), ClampCoordinate(r.Right + dx),
       ClampCoordinate(r.Bottom + dy)};
}

// GlyphChar for the note's head; a user head shape that the score's table
// holds also sets the font and its size, and true is returned.
bool ChooseHeadGlyph(TKVPageDrawer& D, const TKVNote& Note, uint8_t Shape) {
  if (Shape < 5 || Shape == 255) {
    D.GlyphChar = glyph::HeadGlyph(Shape, Note.Duration());
    return false;
  }
  const auto& shapes = D.Score->Drawing.HeadShapes;
  if (size_t(Shape - 5) >= shapes.size()) {
    D.GlyphChar = glyph::MissingHead;
    return false;
  }
  const TKVScoreDrawing::THeadShape& entry = shapes[size_t(Shape - 5)];
  D.Canvas.Font.Name = entry.FontName;
  D.Canvas.Font.SetSize(int32_t(int64_t(D.Canvas.Font.Size()) * entry.SizePercent / 100));
  D.GlyphChar = entry.Char;
  return true;
}

}  // namespace

void TKVPageDrawer::DrawNote(TKVNote& Note) {
  TKVDisplayItem& record = *CurrentRecord;
  // Notes of a staff that this system does not show are not drawn.
  if (VoiceHidden(Note.Voice) || !ShownLine(record)) return;
  const TKVStaffLineRecord& line = *record.StaffLine;
  LineSpacing = line.DrawnLineSpacing;
  PlaceHead(*this, Note, line);
  if (IsSounding(Note))
    ItemColor = SoundingColor(Note.Color());
  else
    ItemColor = RuleColor(VoiceItemAtCursor(Note, record), Note.Color());
  canvas::TRect& r = ItemRect;
  int32_t xl = r.Left - UnitWidth(4), y = r.Top - UnitWidth(4), xr = r.Right + UnitWidth(1);
  const bool grace = GraceGroupOf(Note) != nullptr;
  const uint8_t shape = Note.HeadType();

  if (IsTablature(line.Staff)) {
    y = r.Top - UnitWidth(1);
    Canvas.Font.Name = TextFontName(*Score, 11, Note.Text());
    Canvas.Font.Color = ItemColor;
    Canvas.Font.Style = Note.FontStyle();
    Canvas.Brush.Color = Score->Page().Brush().Color();
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.FillRect(r);
    Canvas.Brush.Style = canvas::bsClear;
    if (grace) {
      SetSymbolFontSize5();
    } else {
      SetSymbolFontSize7();
      r.Left += 1;
    }
    std::string fret = Note.Fret() > 0 ? std::to_string(Note.Fret() - 1) : "N";
    Canvas.TextOutA(r.Left, r.Top - UnitWidth(1), fret);
    if (Note.Duration() > 128) {
      Canvas.Pen.Color = ItemColor;
      Canvas.Pen.Width = UnitWidth(0.5);
      const int32_t h = r.Bottom - r.Top, d = (h - (r.Right - r.Left)) / 2;
      Canvas.Ellipse({r.Left - d - UnitWidth(1), r.Top - UnitWidth(1), r.Left - d + h + UnitWidth(2),
                      r.Bottom + UnitWidth(2)});
    }
  } else if (shape == 2) {
    const canvas::TPoint points[] = {{r.Left, r.Bottom},
                                     {r.Left, r.Top + LineSpacing / 2},
                                     {r.Right, r.Top},
                                     {r.Right, r.Bottom - LineSpacing / 2}};
    Canvas.Brush.Color = ItemColor;
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.Pen.Style = canvas::psClear;
    Canvas.Polygon(points);
    Canvas.Pen.Style = canvas::psSolid;
    y = r.Top + UnitWidth(2);
  } else if (shape == 4) {
    const int32_t u2 = UnitWidth(2);
    const canvas::TPointF points[] = {{double(r.Left), double(r.Bottom)},
                                      {double(r.Right - u2), double(r.Top)},
                                      {double(r.Right), double(r.Top)},
                                      {double(r.Left + u2), double(r.Bottom)}};
    xl = r.Left - UnitWidth(4);
    y = r.Top - u2;
    if (Note.Duration() > 128) {
      const canvas::TSmoothPen pen{canvas::ArgbOf(ItemColor), double(UnitWidth(1))};
      Canvas.SmoothPolygon(points, &pen, nullptr);
    } else {
      const canvas::TSmoothBrush brush{canvas::ArgbOf(ItemColor)};
      Canvas.SmoothPolygon(points, nullptr, &brush);
    }
  } else {
    Canvas.Font.Color = ItemColor;
    Canvas.Brush.Style = canvas::bsClear;
    if (Note.Small() || grace)
      SetSymbolFontSize14();
    else
      SetSymbolFontSize18();
    const bool ownFont = ChooseHeadGlyph(*this, Note, shape);
    if (shape == 3) {
      xl = r.Left - UnitWidth(4) - (Note.StemDown() ? 0 : UnitWidth(1));
      xr = Note.StemDown() ? r.Right + UnitWidth(1) : r.Right;
    }
    // A user head keeps the font its table entry names.
    if (!ownFont) SelectSymbolFont(Note.FontCode());
    Canvas.Font.Style = Note.FontStyle();
    if (!(record.DrawFlags & DisplayDrawFlag::Suppressed)) {
      const char code = char(GlyphChar);
      const int32_t yc = int32_t(RoundDiv(int64_t(r.Top) + r.Bottom, 2)) + GlyphDY;
      const int32_t x = Note.StemDown() ? r.Left
                                        : r.Right - Canvas.TextWidthA(std::string_view(&code, 1)) -
                                              int32_t(int64_t(GlyphDX) * record.SizePercent / 100);
      TextOutGlyph(x, yc);
    }
  }

  if (const uint8_t kind = Note.BracketKind()) {
    Canvas.Font.Name = TextFontName(*Score, 0, Note.Text());
    Canvas.Font.Style = Note.FontStyle();
    DrawBracketText(kind, xl, y, xr, y, record.SizePercent);
  }
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

void TKVPageDrawer::DrawSecondNote(TKVNote& Note) {
  TKVDisplayItem& record = *CurrentRecord;
  if (!ShownLine(record)) return;
  const TKVStaffLineRecord& line = *record.StaffLine;
  LineSpacing = line.DrawnLineSpacing;
  PlaceHead(*this, Note, line);
  const canvas::TRect& r = ItemRect;
  ItemColor = RuleColor(VoiceItemAtCursor(Note, record), Note.Color());
  Canvas.Font.Color = ItemColor;
  Canvas.Brush.Style = canvas::bsClear;
  if (Note.Small() || GraceGroupOf(Note))
    SetSymbolFontSize14();
  else
    SetSymbolFontSize18();
  // Slash heads have no drawn form here: they take the duration's glyph.
  const uint8_t shape = Note.HeadType() == 2 || Note.HeadType() == 4 ? 0 : Note.HeadType();
  if (!ChooseHeadGlyph(*this, Note, shape)) SelectSymbolFont(Note.FontCode());
  if (!(record.DrawFlags & DisplayDrawFlag::Suppressed)) {
    const char code = char(GlyphChar);
    const int32_t x = Note.StemDown() ? r.Left : r.Right - Canvas.TextWidthA(std::string_view(&code, 1)) - GlyphDX;
    Canvas.Font.Style = 0;  // the head's own font is plain
    TextOutGlyph(x, int32_t((int64_t(r.Top) + r.Bottom) / 2) + GlyphDY);
  }
  if (const uint8_t kind = Note.BracketKind()) {
    Canvas.Font.Name = TextFontName(*Score, 0, Note.Text());
    Canvas.Font.Style = Note.FontStyle();
    const int32_t y = r.Top - UnitWidth(4);
    DrawBracketText(kind, r.Left - UnitWidth(4), y, r.Right + UnitWidth(1), y, record.SizePercent);
  }
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
