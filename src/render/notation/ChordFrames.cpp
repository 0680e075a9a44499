// Chord diagrams: a grid of strings and frets (strings upright under the
// frame's top, or lying from its left), the nut or the first fret's Roman
// numeral, finger dots that run on over strings stopped at the same fret,
// barrés across every string, and the open and muted marks.

#include <algorithm>
#include <string>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Frame.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

namespace render {

namespace {

constexpr uint8_t kMuted = 255;

// A string's entry (its mark and fret row), zero past the stored entries.
struct TStringEntry {
  uint8_t Mark = 0, Row = 0;
  bool Fretted() const { return Mark != 0 && Mark != kMuted; }
};
TStringEntry EntryOf(TKVFrame& Frame, size_t I) {
  const auto& entries = Frame.Entries();
  return I < entries.size() ? TStringEntry{entries[I][1], entries[I][2]} : TStringEntry{};
}
// Row R carries a barré; no row past the stored bytes does.
bool Barre(TKVFrame& Frame, int Row) {
  const auto& values = Frame.Values();
  return Row >= 1 && size_t(Row - 1) < values.size() && values[size_t(Row - 1)] != 0;
}

}  // namespace

void TKVPageDrawer::DrawChordFrame(TKVFrame& Frame) {
  TKVDisplayItem& record = *CurrentRecord;
  // Lengths at the record's size, each rounded on its own; a unit of 0
  // would hide the grid.
  const int64_t u = std::max(ItemUnit(1), 1), h = ItemUnit(0.5), u2 = ItemUnit(2), u4 = ItemUnit(4),
                u5 = ItemUnit(5), g = ItemUnit(6);
  Canvas.Font.Name = TextFontName(*Score, 12, Frame.Text());
  SetSymbolFontSize6();
  const canvas::TColor colour = RuleColor(InEditVoice(Frame.StaffVoice(), record), Frame.Color());
  Canvas.Pen.Color = Canvas.Brush.Color = Canvas.Font.Color = colour;
  Canvas.Brush.Style = canvas::bsSolid;
  PlaceItemRect(record.Bounds);
  const int64_t L = ItemRect.Left, T = ItemRect.Top;
  const int64_t n = Frame.EntryCount(), f = Frame.ValueCount(), b = Frame.FirstFret();
  const std::string numeral = b > 0 ? IntToRoman(int32_t(b + 1)) : std::string();
  const TKVFrameOrientation orientation = Score->FrameOrientation();
  const bool upright = orientation == foTop;
  // Along the strings is "down" for upright strings and "right" for lying
  // ones: every part of the grid is given as (across, along) and turned
  // here.
  auto box = [&](int64_t Across0, int64_t Along0, int64_t Across1, int64_t Along1) {
    return upright ? canvas::TRect{ClampCoordinate(Across0), ClampCoordinate(Along0), ClampCoordinate(Across1),
                                   ClampCoordinate(Along1)}
                   : canvas::TRect{ClampCoordinate(Along0), ClampCoordinate(Across0), ClampCoordinate(Along1),
                                   ClampCoordinate(Across1)};
  };
  auto fill = [&](int64_t Across0, int64_t Along0, int64_t Across1, int64_t Along1) {
    Canvas.FillRect(box(Across0, Along0, Across1, Along1));
  };

  // A diagram of no strings has no grid to draw.
  if ((orientation == foTop || orientation == foLeft) && n > 0) {
    // a0: the first string's line across; s0: the grid's start along.
    int64_t a0, s0;
    if (upright) {
      a0 = L + g / 2 + (b > 0 ? Canvas.TextWidthA(numeral) : 0);
      s0 = T + g + u2;
    } else {
      a0 = T + g / 2 + (b > 0 ? Canvas.TextHeight(u"A") : 0);
      s0 = L + g + u2;
    }
    const int64_t a1 = a0 + (n - 1) * g;
    if (b == 0) {
      fill(a0, s0, a1 + u, s0 + u);
      s0 += u2;
    }
    const int64_t s1 = s0 + f * g;
    Canvas.Pen.Width = 1;
    fill(a0, s0, a1, s0 + u);
    fill(a0, s0, a0 + u, s1 + u);
    fill(a1, s0, a1 + u, s1 + u);
    fill(a0, s1, upright ? a1 : a1 + u, s1 + u);
    const canvas::TRect clip = Canvas.ClipRect();
    const int64_t last = upright ? clip.Right : clip.Bottom;
    for (int64_t k = 0; k <= n - 2 && a0 + k * g <= last; ++k) fill(a0 + k * g, s0, a0 + k * g + u, s1 + u);
    const int64_t end = upright ? clip.Bottom : clip.Right;
    for (int64_t k = 1; k <= f - 1 && s0 + k * g <= end; ++k) fill(a0, s0 + k * g, a1 + u, s0 + k * g + u);

    // Dots: a barré spans every string; a dot runs on to the last later
    // string stopped at the same row by the same finger.
    Canvas.Pen.Width = ClampCoordinate(u);
    for (int64_t i = 0; i < n; ++i) {
      const TStringEntry e = EntryOf(Frame, size_t(i));
      if (!e.Fretted()) continue;
      const int64_t across = a0 + h + i * g, along = s0 + (int64_t(e.Row) - 1) * g;
      int64_t reach;
      if (Barre(Frame, e.Row)) {
        reach = a0 + (n - 1) * g;
      } else {
        int64_t j = i;
        for (int64_t k = i + 1; k < n; ++k) {
          const TStringEntry other = EntryOf(Frame, size_t(k));
          if (other.Row == e.Row && other.Mark == e.Mark) j = k;
        }
        reach = across + (j - i) * g;
      }
      Canvas.RoundRect(box(across - u2, along + u2, reach + u2, along + u5), ClampCoordinate(u4),
                       ClampCoordinate(u4));
    }

    // The open, muted or finger marks in front of the strings, and the
    // numeral of the first fret.
    Canvas.Brush.Style = canvas::bsClear;
    const int64_t textHeight = Canvas.TextHeight(u"A");
    for (int64_t i = 0; i < n; ++i) {
      const TStringEntry e = EntryOf(Frame, size_t(i));
      const std::string mark = e.Mark == 0 ? "0" : e.Mark == kMuted ? "X" : std::to_string(e.Mark);
      const int64_t across = a0 + h + i * g;
      if (upright)
        Canvas.TextOutA(ClampCoordinate(across - Canvas.TextWidthA(mark) / 2),
                        ClampCoordinate(b == 0 ? s0 - 2 * g : s0 - g - u4), mark);
      else
        Canvas.TextOutA(ClampCoordinate(b == 0 ? s0 - g - u2 : s0 - g), ClampCoordinate(across - textHeight / 2),
                        mark);
    }
    if (b > 0) {
      if (upright)
        Canvas.TextOutA(ClampCoordinate(L), ClampCoordinate(s0), numeral);
      else
        Canvas.TextOutA(ClampCoordinate(s0), ClampCoordinate(T), numeral);
    }
    Canvas.Brush.Style = canvas::bsSolid;
  }
  if (IsItemSelected(record)) DrawSelectionCorners(ItemRect);
}

}  // namespace render
