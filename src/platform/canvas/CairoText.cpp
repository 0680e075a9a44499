#include <cmath>
#include <numbers>

#include "platform/canvas/CairoState.h"
#include "platform/musicfont/MusicFont.h"
#include "platform/text/FontEngine.h"
#include "platform/text/FontMeasurer.h"

namespace canvas {

namespace {

bool IsMusic(const TFont& f) { return musicfont::IsMusicFontName(f.Name); }

// Pixel em of a canvas font (GDI height rules; a music font's cell is one em).
int FontEm(const TFont& f) {
  if (f.Height < 0) return -f.Height;
  if (f.Height == 0) return 16;  // the device's default text height
  if (IsMusic(f)) return f.Height;
  return text::TFontEngine::Instance().EmForCellHeight(f.Name, f.Style, f.Height);
}

text::TFontKey KeyOf(const TFont& f) { return {f.Name, f.Style, FontEm(f), f.Width}; }

bool Antialiased(const TFont& f) { return f.Quality != fqNonAntialiased && f.Quality != fqDraft; }

// Glyphs of one font file at (0, baseline) offsets; with xorMode they are
// filled as a path so every pixel is inverted exactly once.
void ShowGlyphs(cairo_t* cr, cairo_font_face_t* face, double emX, double emY, const std::vector<cairo_glyph_t>& g,
                bool xorMode) {
  if (!face || g.empty() || emY <= 0) return;
  cairo_set_font_face(cr, face);
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, emX, emY);
  cairo_set_font_matrix(cr, &m);
  if (xorMode) {
    cairo_new_path(cr);
    cairo_glyph_path(cr, g.data(), int(g.size()));
    cairo_fill(cr);
  } else {
    cairo_show_glyphs(cr, g.data(), int(g.size()));
  }
}

// Where text goes: the context is moved to the reference point and turned
// by the escapement; the baseline is then at y = Baseline.
class TTextPlacement {
public:
  TTextPlacement(cairo_t* cr, const TCanvas& c, int x, int y, int ascent)
      : Baseline(c.TextAlign == taTop ? ascent : 0), FCr(cr), FXor(c.Pen.Mode == pmXor) {
    cairo_translate(cr, x, y);
    if (c.Font.Orientation % 3600 != 0) cairo_rotate(cr, -c.Font.Orientation / 10.0 * std::numbers::pi / 180);
    SetGdiMode(cr, c.Pen.Mode);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(o, Antialiased(c.Font) && !FXor ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
  }
  // The opaque cell behind the text, drawn with a solid brush.
  void Background(const TCanvas& c, int width, int ascent, int height) const {
    if (c.Brush.Style != bsSolid) return;
    cairo_rectangle(FCr, 0, Baseline - ascent, width, height);
    SetSourceColor(FCr, c.Brush.Color);
    cairo_fill(FCr);
  }
  bool Xor() const { return FXor; }
  const int Baseline;

private:
  cairo_t* FCr;
  bool FXor;
};

void DrawTextRun(cairo_t* cr, const text::TTextRun& run, double x, double baseline, bool xorMode) {
  for (size_t f = 0; f < run.Faces.size(); ++f) {
    const text::TRunFace& face = run.Faces[f];
    std::vector<cairo_glyph_t> glyphs;
    for (const text::TRunGlyph& g : run.Glyphs)
      if (g.Face == int(f)) glyphs.push_back({g.Glyph, x + g.X, baseline});
    ShowGlyphs(cr, FontFace(face.File, face.FaceIndex, face.SyntheticBold, face.SyntheticItalic),
               face.EmPx * face.ScaleX, face.EmPx, glyphs, xorMode);
  }
}

void DrawMusicRun(cairo_t* cr, const musicfont::TGlyphRun& run, double x, double baseline, bool xorMode) {
  std::vector<cairo_glyph_t> glyphs;
  for (const musicfont::TPlacedGlyph& g : run.Glyphs) glyphs.push_back({g.Glyph, x + g.X, baseline + g.Y});
  ShowGlyphs(cr, FontFace(run.FontFile, run.FaceIndex, false, false), run.EmPx, run.EmPx, glyphs, xorMode);
  // Stems are thinner than a pixel at small sizes: smooth them unless inverting.
  cairo_set_antialias(cr, xorMode ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  for (const musicfont::TFilledRect& r : run.Rects) cairo_rectangle(cr, x + r.X, baseline + r.Y, r.W, r.H);
  cairo_fill(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  if (!run.Placeholder) return;
  // A code without a shape: a frame with the code in hexadecimal inside.
  const musicfont::TFilledRect& b = run.PlaceholderBox;
  double bx = std::round(x + b.X), by = std::round(baseline + b.Y);
  cairo_rectangle(cr, bx + 0.5, by + 0.5, std::max(std::round(b.W) - 1, 0.0), std::max(std::round(b.H) - 1, 0.0));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  std::u16string label(run.Label.begin(), run.Label.end());
  int em = std::max(4, int(b.H * 0.5));
  text::TTextRun l = text::TFontEngine::Instance().Layout({"Arial", 0, em, 0}, label);
  if (l.Width > b.W - 2 && l.Width > 0) {  // shrink the label into a narrow frame
    em = std::max(4, int(em * (b.W - 2) / l.Width));
    l = text::TFontEngine::Instance().Layout({"Arial", 0, em, 0}, label);
  }
  DrawTextRun(cr, l, bx + (b.W - l.Width) / 2, by + (b.H + l.Metric.Ascent - l.Metric.Descent) / 2, xorMode);
}

// Widths of the music codes, one after another.
int MusicWidth(const TFont& f, std::string_view codes) {
  int em = FontEm(f), w = 0;
  for (unsigned char c : codes) w += musicfont::CurrentMusicFont().AdvanceEm(c, em);
  return w;
}

void TextOutMusic(TCairoCanvas::TImpl& s, const TCanvas& c, int x, int y, std::string_view codes) {
  int em = FontEm(c.Font);
  text::TTextMetric m = text::MusicFontMetric(em);
  TOp op(s);
  TTextPlacement place(op.Cr(), c, x, y, m.Ascent);
  place.Background(c, MusicWidth(c.Font, codes), m.Ascent, m.Height);
  SetSourceColor(op.Cr(), c.Font.Color);
  int pen = 0;
  for (unsigned char code : codes) {
    musicfont::TGlyphRun run = musicfont::CurrentMusicFont().LayoutEm(code, em);
    DrawMusicRun(op.Cr(), run, pen, place.Baseline, place.Xor());
    pen += run.Advance;
  }
}

void TextOutRun(TCairoCanvas::TImpl& s, const TCanvas& c, int x, int y, const text::TTextRun& run) {
  const text::TTextMetric& m = run.Metric;
  TOp op(s);
  cairo_t* cr = op.Cr();
  TTextPlacement place(cr, c, x, y, m.Ascent);
  place.Background(c, run.Width, m.Ascent, m.Height);
  SetSourceColor(cr, c.Font.Color);
  DrawTextRun(cr, run, 0, place.Baseline, place.Xor());
  const text::TTextDecoration& d = run.Decoration;
  if (c.Font.Style & text::fsUnderline)
    cairo_rectangle(cr, 0, place.Baseline + d.UnderlinePos, run.Width, d.UnderlineThickness);
  if (c.Font.Style & text::fsStrikeOut)
    cairo_rectangle(cr, 0, place.Baseline + d.StrikeOutPos, run.Width, d.StrikeOutThickness);
  cairo_fill(cr);
}

}  // namespace

void TCairoCanvas::TextOut(int x, int y, std::u16string_view text) {
  if (IsMusic(Font))
    TextOutMusic(*FImpl, *this, x, y, text::MusicCodes(text));
  else
    TextOutRun(*FImpl, *this, x, y, text::TFontEngine::Instance().Layout(KeyOf(Font), text));
}

void TCairoCanvas::TextOutA(int x, int y, std::string_view bytes) {
  if (IsMusic(Font))
    TextOutMusic(*FImpl, *this, x, y, bytes);
  else
    TextOutRun(*FImpl, *this, x, y, text::TFontEngine::Instance().LayoutBytes(KeyOf(Font), bytes, Font.Charset));
}

TSize TCairoCanvas::TextExtent(std::u16string_view text) {
  if (IsMusic(Font)) return {MusicWidth(Font, text::MusicCodes(text)), text::MusicFontMetric(FontEm(Font)).Height};
  text::TTextRun run = text::TFontEngine::Instance().Layout(KeyOf(Font), text);
  return {run.Width, run.Metric.Height};
}

int TCairoCanvas::TextWidthA(std::string_view bytes) {
  if (IsMusic(Font)) return MusicWidth(Font, bytes);
  return text::TFontEngine::Instance().LayoutBytes(KeyOf(Font), bytes, Font.Charset).Width;
}

text::TTextMetric TCairoCanvas::GetTextMetrics() {
  if (IsMusic(Font)) return text::MusicFontMetric(FontEm(Font));
  return text::TFontEngine::Instance().Metrics(KeyOf(Font));
}

void TCairoCanvas::MusicBrace(int x, int yCentre, int heightPx, int widthPx) {
  musicfont::TGlyphRun run = musicfont::CurrentMusicFont().LayoutBrace(heightPx, widthPx);
  TOp op(*FImpl);
  SetGdiMode(op.Cr(), Pen.Mode);
  SetSourceColor(op.Cr(), Font.Color);
  DrawMusicRun(op.Cr(), run, x, yCentre, Pen.Mode == pmXor);
}

}  // namespace canvas
