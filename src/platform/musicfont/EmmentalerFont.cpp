#include "platform/musicfont/EmmentalerFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "base/Strings.h"
#include "platform/musicfont/FakeMusicFont.h"
#include "platform/musicfont/GlyphMap.h"

namespace musicfont {

namespace fs = std::filesystem;

namespace {

// Geometry in font units, y downwards, before scaling to a point size.
struct TUnitLayout {
  std::vector<TPlacedGlyph> Glyphs;
  std::vector<TFilledRect> Rects;
  bool Placeholder = false;
  int AdvanceUnits = 0;
};

struct TBraceGlyph {
  unsigned Glyph;
  long XMin, XMax, Height;
};

struct TGlyphBox {
  unsigned Glyph;
  long Advance, XMin, XMax, YMin, YMax;
};

// Owns a FreeType library and one face for the time of loading.
class TFaceReader {
public:
  explicit TFaceReader(const std::string& file) {
    if (FT_Init_FreeType(&FLib) != 0) throw EMusicFontError("Music font: FreeType cannot start");
    if (FT_New_Face(FLib, file.c_str(), 0, &FFace) != 0) {
      FT_Done_FreeType(FLib);
      throw EMusicFontError("Music font cannot be read: " + file);
    }
  }
  ~TFaceReader() {
    FT_Done_Face(FFace);
    FT_Done_FreeType(FLib);
  }
  TFaceReader(const TFaceReader&) = delete;
  TFaceReader& operator=(const TFaceReader&) = delete;

  FT_Face Face() const { return FFace; }

  std::optional<TGlyphBox> Box(unsigned glyph) const {
    if (FT_Load_Glyph(FFace, glyph, FT_LOAD_NO_SCALE) != 0) return std::nullopt;
    FT_BBox b{};
    if (FFace->glyph->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_Get_BBox(&FFace->glyph->outline, &b);
    return TGlyphBox{glyph, FFace->glyph->advance.x, b.xMin, b.xMax, b.yMin, b.yMax};
  }

  TGlyphBox Named(const char* name, const std::string& file) const {
    unsigned g = FT_Get_Name_Index(FFace, const_cast<char*>(name));
    std::optional<TGlyphBox> box = g ? Box(g) : std::nullopt;
    if (!box) throw EMusicFontError(Format("Music font %s lacks the glyph \"%s\"", file.c_str(), name));
    return *box;
  }

private:
  FT_Library FLib = nullptr;
  FT_Face FFace = nullptr;
};

std::string LatestLilypondFolder() {
  std::vector<fs::path> found;
  std::error_code ec;
  for (const auto& version : fs::directory_iterator("/usr/share/lilypond", ec)) {
    fs::path otf = version.path() / "fonts" / "otf";
    if (fs::exists(otf / TEmmentalerFont::kFontFileName, ec)) found.push_back(otf);
  }
  if (found.empty()) return "";
  std::sort(found.begin(), found.end());
  return found.back().string();
}

TUnitLayout Lay(const TGlyphEntry& e, const TFaceReader& r, const std::string& file) {
  const double sp = r.Face()->units_per_EM / 4.0;
  TUnitLayout u;
  switch (e.Kind) {
    case TEntryKind::Shape: {
      TGlyphBox b = r.Named(e.Names[0], file);
      double x = e.Dx * sp - (e.Centred ? double(b.XMin) : 0.0);
      u.Glyphs.push_back({b.Glyph, x, e.Dy * sp});
      u.AdvanceUnits = int(e.Centred ? b.XMax - b.XMin : b.Advance);
      break;
    }
    case TEntryKind::Sequence: {
      long x = 0;
      for (const char* name : e.Names) {
        if (!name) break;
        TGlyphBox b = r.Named(name, file);
        u.Glyphs.push_back({b.Glyph, double(x), e.Dy * sp});
        x += b.Advance;
      }
      u.AdvanceUnits = int(x);
      break;
    }
    case TEntryKind::Note: {
      // A stemmed note as the tempo mark writes it: the stem stands on the
      // head's right edge, the flag hangs from the stem's tip.
      TGlyphBox head = r.Named(e.Names[0], file);
      double stemW = kStemWidthSp * sp, stemLen = kStemLengthSp * sp;
      double stemX = double(head.Advance) - stemW;
      u.Glyphs.push_back({head.Glyph, 0, 0});
      u.Rects.push_back({stemX, -stemLen, stemW, stemLen});
      long right = head.Advance;
      if (e.Names[1]) {
        TGlyphBox flag = r.Named(e.Names[1], file);
        u.Glyphs.push_back({flag.Glyph, stemX, -stemLen});
        right = std::max(right, long(stemX) + flag.Advance);
      }
      u.AdvanceUnits = int(right);
      break;
    }
    case TEntryKind::Placeholder:
    case TEntryKind::Brace:
      u.Placeholder = true;
      u.AdvanceUnits = e.PlaceholderUnits > 0 ? e.PlaceholderUnits : int(sp);
      break;
  }
  return u;
}

TGlyphRun PlaceholderRun(std::uint8_t code, int advance, double em) {
  TGlyphRun run;
  run.EmPx = em;
  run.Advance = advance;
  run.Placeholder = true;
  run.PlaceholderBox = {0, -em / 2, double(std::max(advance, 1)), em / 2};
  run.Label = IntToHex(code, 2);
  return run;
}

}  // namespace

struct TEmmentalerFont::TImpl {
  std::string File, BraceFile;
  int Upem = 1000;
  int AscentUnits = 800, DescentUnits = 200;
  std::array<std::optional<TUnitLayout>, 256> Codes;
  std::vector<TBraceGlyph> Braces;  // ascending height
};

std::string TEmmentalerFont::FindFontFolder() {
  const char* env = std::getenv(kFolderVariable);
  std::string folder = env && *env ? env : LatestLilypondFolder();
  std::error_code ec;
  if (folder.empty() || !fs::exists(fs::path(folder) / kFontFileName, ec)) {
    std::string where = folder.empty() ? std::string("/usr/share/lilypond/*/fonts/otf") : folder;
    throw EMusicFontError(Format("Music font not found: %s in %s (install the package lilypond-fonts or set %s)",
                                 kFontFileName, where.c_str(), kFolderVariable));
  }
  return folder;
}

TEmmentalerFont::TEmmentalerFont(const std::string& folder) : FImpl(std::make_unique<TImpl>()) {
  FImpl->File = (fs::path(folder) / kFontFileName).string();
  std::error_code ec;
  if (!fs::is_regular_file(FImpl->File, ec))
    throw EMusicFontError(Format("Music font not found: %s (install the package lilypond-fonts or set %s)",
                                 FImpl->File.c_str(), kFolderVariable));
  {
    TFaceReader reader(FImpl->File);
    FT_Face face = reader.Face();
    if (face->units_per_EM == 0) throw EMusicFontError("Music font cannot be read: " + FImpl->File);
    FImpl->Upem = face->units_per_EM;
    FImpl->AscentUnits = face->ascender;
    FImpl->DescentUnits = -face->descender;
    for (std::uint8_t code : MappedCodes()) FImpl->Codes[code] = Lay(*FindEntry(code), reader, FImpl->File);
  }
  std::string brace = (fs::path(folder) / kBraceFileName).string();
  if (fs::is_regular_file(brace, ec)) {
    TFaceReader reader(brace);
    for (long g = 1; g < reader.Face()->num_glyphs; ++g) {
      std::optional<TGlyphBox> b = reader.Box(unsigned(g));
      if (b && b->YMax > b->YMin) FImpl->Braces.push_back({b->Glyph, b->XMin, b->XMax, b->YMax - b->YMin});
    }
    std::sort(FImpl->Braces.begin(), FImpl->Braces.end(),
              [](const TBraceGlyph& a, const TBraceGlyph& b) { return a.Height < b.Height; });
    if (!FImpl->Braces.empty()) FImpl->BraceFile = brace;
  }
}

TEmmentalerFont::~TEmmentalerFont() = default;

const std::string& TEmmentalerFont::FontFile() const { return FImpl->File; }
bool TEmmentalerFont::HasBraceFont() const { return !FImpl->BraceFile.empty(); }

int TEmmentalerFont::AdvanceEm(std::uint8_t code, int emPx) {
  const auto& u = FImpl->Codes[code];
  return u ? MulDiv(u->AdvanceUnits, emPx, FImpl->Upem) : 0;
}

TMusicMetric TEmmentalerFont::MetricsEm(int emPx) {
  int em = emPx;
  TMusicMetric m;
  m.Ascent = MulDiv(FImpl->AscentUnits, em, FImpl->Upem);
  m.Descent = MulDiv(FImpl->DescentUnits, em, FImpl->Upem);
  m.Height = m.Ascent + m.Descent;
  return m;
}

TGlyphRun TEmmentalerFont::LayoutEm(std::uint8_t code, int emPx) {
  const auto& u = FImpl->Codes[code];
  double em = emPx;
  if (!u) return TGlyphRun{};
  if (FindEntry(code)->Kind == TEntryKind::Brace && !FImpl->Braces.empty()) {
    // The brace font's height rule: the ink spans 20/44 of the cell height.
    TGlyphRun run = LayoutBrace(int(std::lround(em * 20 / 44)), 0);
    run.Advance = AdvanceEm(code, emPx);
    return run;
  }
  if (u->Placeholder) return PlaceholderRun(code, AdvanceEm(code, emPx), em);
  TGlyphRun run;
  run.FontFile = FImpl->File;
  run.EmPx = em;
  run.Advance = AdvanceEm(code, emPx);
  double k = em / FImpl->Upem;
  for (const TPlacedGlyph& g : u->Glyphs) run.Glyphs.push_back({g.Glyph, g.X * k, g.Y * k});
  for (const TFilledRect& r : u->Rects) run.Rects.push_back({r.X * k, r.Y * k, r.W * k, r.H * k});
  return run;
}

TGlyphRun TEmmentalerFont::LayoutBrace(int heightPx, int widthPx) {
  if (FImpl->Braces.empty() || heightPx <= 0) return PlaceholderRun(0x21, std::max(widthPx, 1), std::max(heightPx, 1));
  // Without a width, keep the proportions of the brace of a grand staff at
  // the ordinary size (about 3.5 em high); otherwise pick the brace whose
  // ink is closest to the asked proportions.
  const auto aspect = [](const TBraceGlyph& b) { return double(b.XMax - b.XMin) / double(b.Height); };
  double wanted = widthPx > 0 ? double(widthPx) / heightPx : 0;
  const TBraceGlyph* best = &FImpl->Braces.front();
  for (const TBraceGlyph& b : FImpl->Braces) {
    double d = widthPx > 0 ? std::fabs(aspect(b) - wanted) : std::fabs(double(b.Height) - 3.5 * FImpl->Upem);
    double bestD = widthPx > 0 ? std::fabs(aspect(*best) - wanted) : std::fabs(double(best->Height) - 3.5 * FImpl->Upem);
    if (d < bestD) best = &b;
  }
  double k = double(heightPx) / double(best->Height);
  TGlyphRun run;
  run.FontFile = FImpl->BraceFile;
  run.EmPx = k * FImpl->Upem;
  run.Glyphs.push_back({best->Glyph, -double(best->XMin) * k, 0});
  run.Advance = int(std::lround(double(best->XMax - best->XMin) * k));
  return run;
}

}  // namespace musicfont
