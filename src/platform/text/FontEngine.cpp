#include "platform/text/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <tuple>
#include <unordered_map>

#include "base/Strings.h"
#include "platform/musicfont/MusicFont.h"
#include "platform/text/Charsets.h"

#ifndef SONARID_DATA_DIR
#define SONARID_DATA_DIR "data"
#endif

namespace text {

namespace {

// Advance of a character when no font file can be found at all, in
// thousandths of the em: runs stay measurable on a machine without fonts.
constexpr int kNoFontAdvanceMilli = 500;

// One font file, read once; only unscaled metrics are taken from it.
struct TFace {
  FT_Face Face = nullptr;
  std::string File;
  int Index = 0;
  int Upem = 1000;
  int Ascent = 800, Descent = 200;  // Windows cell (OS/2 winAscent/winDescent)
  int AvgWidth = 500, MaxAdvance = 1000;
  int LineGapExtra = 0;  // external leading in font units
  int UnderlinePos = -100, UnderlineThickness = 50;
  int StrikePos = 250, StrikeThickness = 50;
  FT_CharMap Unicode = nullptr, Symbol = nullptr;

  unsigned GlyphFor(char32_t cp) const {
    if (!Unicode) return 0;
    FT_Set_Charmap(Face, Unicode);
    return FT_Get_Char_Index(Face, cp);
  }
  unsigned SymbolGlyph(unsigned char byte) const {
    FT_Set_Charmap(Face, Symbol);
    unsigned g = FT_Get_Char_Index(Face, 0xF000 + byte);
    return g ? g : FT_Get_Char_Index(Face, byte);
  }
  int AdvanceUnits(unsigned glyph) const {
    FT_Fixed adv = 0;
    if (FT_Get_Advance(Face, glyph, FT_LOAD_NO_SCALE, &adv) != 0) return 0;
    return int(adv);
  }
};

// What a (name, style) resolved to: the primary face and, loaded on the
// first character it lacks, fontconfig's ordered list of fallbacks.
struct TResolved {
  int Face = -1;  // -1: no font at all
  bool SyntheticBold = false, SyntheticItalic = false;
  FcFontSet* Fallbacks = nullptr;
  bool FallbacksLoaded = false;
  std::unordered_map<char32_t, std::pair<int, unsigned>> FallbackGlyphs;
};

int Scale(int units, int em, int upem) { return MulDiv(units, em, upem); }

}  // namespace

struct TFontEngine::TImpl {
  FcConfig* Config = nullptr;
  bool ProjectConfig = false;
  FT_Library Library = nullptr;
  std::vector<std::unique_ptr<TFace>> Faces;
  std::map<std::pair<std::string, int>, int> FaceIds;
  std::map<std::tuple<std::string, bool, bool>, TResolved> Resolved;

  TImpl() {
    FT_Init_FreeType(&Library);
    std::string file = ConfigFile();
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) {
      Config = FcConfigCreate();
      if (FcConfigParseAndLoad(Config, reinterpret_cast<const FcChar8*>(file.c_str()), FcTrue) &&
          FcConfigBuildFonts(Config)) {
        ProjectConfig = true;
      } else {
        FcConfigDestroy(Config);
        Config = nullptr;
      }
    }
    if (!Config) Config = FcInitLoadConfigAndFonts();
  }

  ~TImpl() {
    for (auto& [key, r] : Resolved)
      if (r.Fallbacks) FcFontSetDestroy(r.Fallbacks);
    for (auto& f : Faces) FT_Done_Face(f->Face);
    if (Library) FT_Done_FreeType(Library);
    if (Config) FcConfigDestroy(Config);
  }

  int LoadFace(const std::string& file, int index) {
    auto key = std::make_pair(file, index);
    if (auto it = FaceIds.find(key); it != FaceIds.end()) return it->second;
    FT_Face face = nullptr;
    if (!Library || FT_New_Face(Library, file.c_str(), index, &face) != 0) return FaceIds[key] = -1;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
      FT_Done_Face(face);
      return FaceIds[key] = -1;
    }
    auto f = std::make_unique<TFace>();
    f->Face = face;
    f->File = file;
    f->Index = index;
    f->Upem = face->units_per_EM;
    f->Ascent = face->ascender;
    f->Descent = -face->descender;
    f->MaxAdvance = face->max_advance_width;
    f->UnderlinePos = face->underline_position;
    f->UnderlineThickness = face->underline_thickness;
    int hheaHeight = face->ascender - face->descender;
    int lineGap = face->height - hheaHeight;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
      if (os2->usWinAscent + os2->usWinDescent > 0) {
        f->Ascent = os2->usWinAscent;
        f->Descent = os2->usWinDescent;
      }
      if (os2->xAvgCharWidth > 0) f->AvgWidth = os2->xAvgCharWidth;
      f->StrikePos = os2->yStrikeoutPosition;
      f->StrikeThickness = os2->yStrikeoutSize;
    } else {
      f->AvgWidth = f->Upem / 2;
      f->StrikePos = f->Ascent / 3;
      f->StrikeThickness = f->UnderlineThickness;
    }
    f->LineGapExtra = std::max(0, hheaHeight + lineGap - (f->Ascent + f->Descent));
    for (int i = 0; i < face->num_charmaps; ++i) {
      FT_CharMap cm = face->charmaps[i];
      if (cm->encoding == FT_ENCODING_MS_SYMBOL) f->Symbol = cm;
      if (cm->encoding == FT_ENCODING_UNICODE && (!f->Unicode || cm->platform_id == 3)) f->Unicode = cm;
    }
    Faces.push_back(std::move(f));
    return FaceIds[key] = int(Faces.size() - 1);
  }

  FcPattern* Pattern(const std::string& name, bool bold, bool italic) {
    FcPattern* p = FcPatternCreate();
    // Music-font names are never looked up: those fonts do not exist here.
    if (!name.empty() && !musicfont::IsMusicFontName(name))
      FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(Config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    return p;
  }

  TResolved& Resolve(const std::string& name, unsigned style) {
    bool bold = style & fsBold, italic = style & fsItalic;
    auto key = std::make_tuple(UpperCase(Trim(name)), bold, italic);
    if (auto it = Resolved.find(key); it != Resolved.end()) return it->second;
    TResolved& r = Resolved[key];
    FcPattern* p = Pattern(name, bold, italic);
    FcResult result;
    FcPattern* m = FcFontMatch(Config, p, &result);
    FcPatternDestroy(p);
    if (!m) return r;
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(m, FC_INDEX, 0, &index);
      FcPatternGetInteger(m, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(m, FC_SLANT, 0, &slant);
      r.Face = LoadFace(reinterpret_cast<const char*>(file), index);
      r.SyntheticBold = bold && weight < FC_WEIGHT_DEMIBOLD;
      r.SyntheticItalic = italic && slant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(m);
    return r;
  }

  // The face and glyph for a character the primary face lacks.
  std::pair<int, unsigned> Fallback(TResolved& r, const std::string& name, unsigned style, char32_t cp) {
    if (auto it = r.FallbackGlyphs.find(cp); it != r.FallbackGlyphs.end()) return it->second;
    if (!r.FallbacksLoaded) {
      r.FallbacksLoaded = true;
      FcPattern* p = Pattern(name, style & fsBold, style & fsItalic);
      FcResult result;
      r.Fallbacks = FcFontSort(Config, p, FcTrue, nullptr, &result);
      FcPatternDestroy(p);
    }
    std::pair<int, unsigned> found{r.Face, 0};
    for (int i = 0; r.Fallbacks && i < r.Fallbacks->nfont; ++i) {
      FcCharSet* cs = nullptr;
      FcChar8* file = nullptr;
      int index = 0;
      FcPattern* f = r.Fallbacks->fonts[i];
      if (FcPatternGetCharSet(f, FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, cp)) continue;
      if (FcPatternGetString(f, FC_FILE, 0, &file) != FcResultMatch) continue;
      FcPatternGetInteger(f, FC_INDEX, 0, &index);
      int id = LoadFace(reinterpret_cast<const char*>(file), index);
      unsigned g = id >= 0 ? Faces[size_t(id)]->GlyphFor(cp) : 0;
      if (g) {
        found = {id, g};
        break;
      }
    }
    return r.FallbackGlyphs[cp] = found;
  }

  TTextMetric MetricOf(int faceId, int em) const {
    TTextMetric m;
    if (faceId < 0) {
      m.Ascent = MulDiv(em, 800, 1000);
      m.Descent = em - m.Ascent;
      m.Height = em;
      m.AveCharWidth = m.MaxCharWidth = MulDiv(em, kNoFontAdvanceMilli, 1000);
      return m;
    }
    const TFace& f = *Faces[size_t(faceId)];
    m.Ascent = Scale(f.Ascent, em, f.Upem);
    m.Descent = Scale(f.Descent, em, f.Upem);
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - em);
    m.ExternalLeading = Scale(f.LineGapExtra, em, f.Upem);
    m.AveCharWidth = Scale(f.AvgWidth, em, f.Upem);
    m.MaxCharWidth = Scale(f.MaxAdvance, em, f.Upem);
    return m;
  }

  TTextRun Layout(const TFontKey& key, const std::u32string& cps, const std::string* symbolBytes) {
    TTextRun run;
    TResolved& r = Resolve(key.Name, key.Style);
    int em = std::max(key.EmPx, 0);
    run.Metric = MetricOf(r.Face, em);
    double scaleX = 1;
    if (key.WidthPx > 0 && run.Metric.AveCharWidth > 0) scaleX = double(key.WidthPx) / run.Metric.AveCharWidth;
    if (r.Face >= 0) {
      const TFace& f = *Faces[size_t(r.Face)];
      run.Decoration.UnderlinePos = std::max(1, -Scale(f.UnderlinePos, em, f.Upem));
      run.Decoration.UnderlineThickness = std::max(1, Scale(f.UnderlineThickness, em, f.Upem));
      run.Decoration.StrikeOutPos = -Scale(f.StrikePos, em, f.Upem);
      run.Decoration.StrikeOutThickness = std::max(1, Scale(f.StrikeThickness, em, f.Upem));
    }
    std::map<int, int> runFace;  // face id -> index in run.Faces
    auto faceSlot = [&](int id) {
      if (auto it = runFace.find(id); it != runFace.end()) return it->second;
      TRunFace rf;
      if (id >= 0) {
        rf.File = Faces[size_t(id)]->File;
        rf.FaceIndex = Faces[size_t(id)]->Index;
      }
      rf.EmPx = em;
      rf.ScaleX = scaleX;
      rf.SyntheticBold = r.SyntheticBold;
      rf.SyntheticItalic = r.SyntheticItalic;
      run.Faces.push_back(rf);
      return runFace[id] = int(run.Faces.size() - 1);
    };
    bool symbol = symbolBytes && r.Face >= 0 && Faces[size_t(r.Face)]->Symbol;
    int x = 0;
    for (size_t i = 0; i < cps.size(); ++i) {
      int id = r.Face;
      unsigned g = 0;
      if (id >= 0) {
        const TFace& f = *Faces[size_t(id)];
        g = symbol ? f.SymbolGlyph((unsigned char)(*symbolBytes)[i]) : f.GlyphFor(cps[i]);
        if (!g && !symbol) std::tie(id, g) = Fallback(r, key.Name, key.Style, cps[i]);
      }
      int adv;
      if (id < 0) {
        adv = MulDiv(em, kNoFontAdvanceMilli, 1000);
      } else {
        const TFace& f = *Faces[size_t(id)];
        int units = f.AdvanceUnits(g);
        adv = scaleX == 1 ? Scale(units, em, f.Upem) : int(std::lround(units * double(em) * scaleX / f.Upem));
        if (r.SyntheticBold && adv > 0) adv += 1;  // an emboldened glyph is one pixel wider
      }
      run.Glyphs.push_back({faceSlot(id), g, x});
      x += adv;
    }
    run.Width = x;
    return run;
  }
};

TFontEngine& TFontEngine::Instance() {
  static TFontEngine engine;
  return engine;
}

std::string TFontEngine::ConfigFile() {
  const char* env = std::getenv("SONARID_FONTS_CONF");
  return env && *env ? std::string(env) : std::string(SONARID_DATA_DIR) + "/fonts.conf";
}

TFontEngine::TFontEngine() : FImpl(std::make_unique<TImpl>()) {}
TFontEngine::~TFontEngine() = default;

TTextRun TFontEngine::Layout(const TFontKey& font, std::u16string_view text) {
  std::lock_guard<std::mutex> lock(FLock);
  return FImpl->Layout(font, DecodeUtf16(text), nullptr);
}

TTextRun TFontEngine::LayoutBytes(const TFontKey& font, std::string_view bytes, int charset) {
  std::lock_guard<std::mutex> lock(FLock);
  std::u32string cps;
  cps.reserve(bytes.size());
  for (unsigned char b : bytes) cps.push_back(DecodeByte(b, charset));
  std::string copy(bytes);
  return FImpl->Layout(font, cps, &copy);
}

TTextMetric TFontEngine::Metrics(const TFontKey& font) {
  std::lock_guard<std::mutex> lock(FLock);
  return FImpl->MetricOf(FImpl->Resolve(font.Name, font.Style).Face, std::max(font.EmPx, 0));
}

int TFontEngine::EmForCellHeight(const std::string& name, unsigned style, int cellPx) {
  std::lock_guard<std::mutex> lock(FLock);
  int id = FImpl->Resolve(name, style).Face;
  if (id < 0) return cellPx;
  const TFace& f = *FImpl->Faces[size_t(id)];
  return MulDiv(cellPx, f.Upem, f.Ascent + f.Descent);
}

std::string TFontEngine::MatchedFile(const std::string& name, unsigned style) {
  std::lock_guard<std::mutex> lock(FLock);
  int id = FImpl->Resolve(name, style).Face;
  return id < 0 ? std::string() : FImpl->Faces[size_t(id)]->File;
}

bool TFontEngine::UsesProjectConfig() const { return FImpl->ProjectConfig; }

}  // namespace text
