#include "support/metafile/MetafileWriter.h"

#include <uemf.h>
#include <uemf_utf.h>
#include <uwmf.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace test_metafile {

namespace {

U_COLORREF Colorref(std::uint32_t c) { return U_COLORREF{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0}; }
U_POINT16 P16(int x, int y) { return U_POINT16{std::int16_t(x), std::int16_t(y)}; }
U_POINTL PL(int x, int y) { return U_POINTL{x, y}; }
U_RECT16 R16(TBox b) { return U_RECT16{std::int16_t(b.Left), std::int16_t(b.Top), std::int16_t(b.Right), std::int16_t(b.Bottom)}; }
U_RECTL RL(TBox b) { return U_RECTL{b.Left, b.Top, b.Right, b.Bottom}; }
const U_RECTL kNoBounds{0, 0, -1, -1};

std::vector<U_POINT16> Points16(const std::vector<TPt>& points) {
  std::vector<U_POINT16> out;
  for (TPt p : points) out.push_back(P16(p.X, p.Y));
  return out;
}
std::vector<U_POINTL> PointsL(const std::vector<TPt>& points) {
  std::vector<U_POINTL> out;
  for (TPt p : points) out.push_back(PL(p.X, p.Y));
  return out;
}

// A scratch file's name that keeps the extension of Name (other programs go by it).
std::string TempName(const std::string& name) {
  static int serial = 0;
  const std::filesystem::path p(name);
  return (std::filesystem::temp_directory_path() / (p.stem().string() + "-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(++serial) + p.extension().string()))
      .string();
}

// A bottom-up DIB: its info header (with black and white after it for
// one bit a pixel) and its padded rows. Pixels are 0xAARRGGBB, stored as
// they stand in 32 bits, as their colour in 24 and as white or not in one.
struct TDibImage {
  std::vector<char> Info;
  std::vector<char> Pixels;
  TDibImage(int w, int h, const std::vector<std::uint32_t>& rgb, int bits = 24) {
    U_BITMAPINFOHEADER header{};
    header.biSize = 40, header.biWidth = w, header.biHeight = h, header.biPlanes = 1, header.biBitCount = std::uint16_t(bits);
    const int stride = (w * bits + 31) / 32 * 4;
    header.biSizeImage = std::uint32_t(stride * h);
    Info.assign(bits == 1 ? 48 : 40, 0);
    std::memcpy(Info.data(), &header, 40);
    if (bits == 1) std::memset(Info.data() + 44, 0xFF, 3);
    Pixels.assign(std::size_t(stride * h), 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const std::uint32_t c = rgb[std::size_t(y * w + x)];
        char* row = Pixels.data() + std::size_t((h - 1 - y) * stride);
        if (bits == 1) {
          if ((c & 0xFFFFFF) == 0xFFFFFF) row[x / 8] = char(row[x / 8] | 0x80 >> x % 8);
          continue;
        }
        char* p = row + std::size_t(bits / 8 * x);
        p[0] = char(c & 0xFF), p[1] = char(c >> 8 & 0xFF), p[2] = char(c >> 16 & 0xFF);
        if (bits == 32) p[3] = char(c >> 24);
      }
  }
  PU_BITMAPINFO Bmi() { return reinterpret_cast<PU_BITMAPINFO>(Info.data()); }
  std::uint32_t Size() const { return std::uint32_t(Pixels.size()); }
};

const U_XFORM kIdentity{1, 0, 0, 1, 0, 0};

}  // namespace

struct TMetafileWriter::TImpl {
  std::string File;
  EMFTRACK* Et = nullptr;
  EMFHANDLES* Eht = nullptr;
  WMFTRACK* Wt = nullptr;
  WMFHANDLES* Wht = nullptr;
  int Width = 0, Height = 0;
  int FontHeight = 16;  // of the latest font, for the advances of enhanced text

  void Emf(char* record) {
    if (!record || emf_append(reinterpret_cast<U_ENHMETARECORD*>(record), Et, U_REC_FREE))
      throw std::runtime_error("libuemf could not write an enhanced-metafile record");
  }
  void Wmf(char* record) {
    if (!record || wmf_append(reinterpret_cast<U_METARECORD*>(record), Wt, U_REC_FREE))
      throw std::runtime_error("libuemf could not write a metafile record");
  }
};

TMetafileWriter::TMetafileWriter(bool enhanced, int widthPx, int heightPx, bool placeable)
    : FImpl(std::make_unique<TImpl>()), FEnhanced(enhanced) {
  TImpl& s = *FImpl;
  s.File = TempName(enhanced ? "writer.emf" : "writer.wmf");
  s.Width = widthPx, s.Height = heightPx;
  if (enhanced) {
    if (emf_start(s.File.c_str(), 1000000, 250000, &s.Et) || emf_htable_create(128, 128, &s.Eht))
      throw std::runtime_error("libuemf could not start an enhanced metafile");
    // A reference device of 1920 pixels to 508 mm: 96 pixels per inch.
    const U_RECTL bounds{0, 0, widthPx - 1, heightPx - 1};
    const U_RECTL frame{0, 0, widthPx * 2540 / 96, heightPx * 2540 / 96};
    s.Emf(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, U_SIZEL{1920, 1920}, U_SIZEL{508, 508}, 0));
  } else {
    if (wmf_start(s.File.c_str(), 1000000, 250000, &s.Wt) || wmf_htable_create(128, 128, &s.Wht))
      throw std::runtime_error("libuemf could not start a metafile");
    U_PAIRF inches{float(widthPx) / 96, float(heightPx) / 96};
    if (wmf_header_append(reinterpret_cast<U_METARECORD*>(U_WMRHEADER_set(placeable ? &inches : nullptr, 96)), s.Wt,
                          U_REC_FREE))
      throw std::runtime_error("libuemf could not write the header");
    WindowOrg(0, 0);
    WindowExt(widthPx, heightPx);
  }
}

TMetafileWriter::~TMetafileWriter() {
  if (FImpl->Et) emf_free(&FImpl->Et);
  if (FImpl->Eht) emf_htable_free(&FImpl->Eht);
  if (FImpl->Wt) wmf_free(&FImpl->Wt);
  if (FImpl->Wht) wmf_htable_free(&FImpl->Wht);
  std::error_code error;
  std::filesystem::remove(FImpl->File, error);
}

void TMetafileWriter::MapMode(int mode) {
  FEnhanced ? FImpl->Emf(U_EMRSETMAPMODE_set(mode)) : FImpl->Wmf(U_WMRSETMAPMODE_set(std::uint16_t(mode)));
}
void TMetafileWriter::WindowOrg(int x, int y) {
  FEnhanced ? FImpl->Emf(U_EMRSETWINDOWORGEX_set(PL(x, y))) : FImpl->Wmf(U_WMRSETWINDOWORG_set(P16(x, y)));
}
void TMetafileWriter::WindowExt(int x, int y) {
  FEnhanced ? FImpl->Emf(U_EMRSETWINDOWEXTEX_set(U_SIZEL{x, y})) : FImpl->Wmf(U_WMRSETWINDOWEXT_set(P16(x, y)));
}
void TMetafileWriter::ViewportOrg(int x, int y) {
  FEnhanced ? FImpl->Emf(U_EMRSETVIEWPORTORGEX_set(PL(x, y))) : FImpl->Wmf(U_WMRSETVIEWPORTORG_set(P16(x, y)));
}
void TMetafileWriter::ViewportExt(int x, int y) {
  FEnhanced ? FImpl->Emf(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{x, y})) : FImpl->Wmf(U_WMRSETVIEWPORTEXT_set(P16(x, y)));
}
void TMetafileWriter::WorldTransform(float m11, float m12, float m21, float m22, float dx, float dy) {
  if (FEnhanced) FImpl->Emf(U_EMRSETWORLDTRANSFORM_set(U_XFORM{m11, m12, m21, m22, dx, dy}));
}

std::uint32_t TMetafileWriter::Pen(int style, int width, std::uint32_t colorref) {
  std::uint32_t ih = 0;
  if (FEnhanced)
    FImpl->Emf(createpen_set(&ih, FImpl->Eht, U_LOGPEN{std::uint32_t(style), U_POINT{width, 0}, Colorref(colorref)}));
  else
    FImpl->Wmf(wcreatepenindirect_set(&ih, FImpl->Wht, U_PEN_set(std::uint16_t(style), std::uint16_t(width), Colorref(colorref))));
  return ih;
}

std::uint32_t TMetafileWriter::ExtPen(int style, int width, std::uint32_t colorref) {
  if (!FEnhanced) return Pen(style, width, colorref);
  std::uint32_t ih = 0;
  const std::uint32_t kind = width > 1 ? U_PS_GEOMETRIC : 0;
  PU_EXTLOGPEN pen = extlogpen_set(std::uint32_t(style) | kind, std::uint32_t(width), U_BS_SOLID, Colorref(colorref), 0, 0, nullptr);
  FImpl->Emf(extcreatepen_set(&ih, FImpl->Eht, nullptr, 0, nullptr, pen));
  std::free(pen);
  return ih;
}

std::uint32_t TMetafileWriter::Brush(int style, std::uint32_t colorref, int hatch) {
  std::uint32_t ih = 0;
  if (FEnhanced)
    FImpl->Emf(createbrushindirect_set(&ih, FImpl->Eht, U_LOGBRUSH{std::uint32_t(style), Colorref(colorref), std::uint32_t(hatch)}));
  else
    FImpl->Wmf(wcreatebrushindirect_set(&ih, FImpl->Wht, U_WLOGBRUSH{std::uint16_t(style), Colorref(colorref), std::uint16_t(hatch)}));
  return ih;
}

std::uint32_t TMetafileWriter::PatternBrush(int w, int h, const std::vector<std::uint32_t>& rgb) {
  TDibImage dib(w, h, rgb);
  std::uint32_t ih = 0;
  if (FEnhanced) {
    FImpl->Emf(createdibpatternbrushpt_set(&ih, FImpl->Eht, U_DIB_RGB_COLORS, dib.Bmi(), dib.Size(),
                                           dib.Pixels.data()));
  } else {
    if (wmf_htable_insert(&ih, FImpl->Wht)) throw std::runtime_error("libuemf's object table is full");
    ih -= 1;  // the table counts from 1, the file from 0
    FImpl->Wmf(U_WMRDIBCREATEPATTERNBRUSH_set(U_BS_DIBPATTERNPT, U_DIB_RGB_COLORS, dib.Bmi(), dib.Size(),
                                              dib.Pixels.data(), nullptr));
  }
  return ih;
}

std::uint32_t TMetafileWriter::Font(int height, int weight, bool italic, int escapement, const std::string& face) {
  std::uint32_t ih = 0;
  FImpl->FontHeight = std::abs(height);
  if (FEnhanced) {
    uint16_t* wide = U_Utf8ToUtf16le(face.c_str(), 0, nullptr);
    U_LOGFONT lf = logfont_set(height, 0, escapement, escapement, weight, italic, 0, 0, U_ANSI_CHARSET, U_OUT_DEFAULT_PRECIS,
                               U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY, U_DEFAULT_PITCH | U_FF_DONTCARE, wide);
    std::free(wide);
    FImpl->Emf(extcreatefontindirectw_set(&ih, FImpl->Eht, reinterpret_cast<const char*>(&lf), nullptr));
  } else {
    U_FONT* f = U_FONT_set(std::int16_t(height), 0, std::int16_t(escapement), std::int16_t(escapement), std::int16_t(weight),
                           italic, 0, 0, U_ANSI_CHARSET, U_OUT_DEFAULT_PRECIS, U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY,
                           U_DEFAULT_PITCH | U_FF_DONTCARE, const_cast<char*>(face.c_str()));
    FImpl->Wmf(wcreatefontindirect_set(&ih, FImpl->Wht, f));
    std::free(f);
  }
  return ih;
}

void TMetafileWriter::Select(std::uint32_t object) {
  FEnhanced ? FImpl->Emf(selectobject_set(object, FImpl->Eht)) : FImpl->Wmf(wselectobject_set(object, FImpl->Wht));
}
void TMetafileWriter::Delete(std::uint32_t object) {
  FEnhanced ? FImpl->Emf(deleteobject_set(&object, FImpl->Eht)) : FImpl->Wmf(wdeleteobject_set(&object, FImpl->Wht));
}

void TMetafileWriter::TextColor(std::uint32_t c) {
  FEnhanced ? FImpl->Emf(U_EMRSETTEXTCOLOR_set(Colorref(c))) : FImpl->Wmf(U_WMRSETTEXTCOLOR_set(Colorref(c)));
}
void TMetafileWriter::BkColor(std::uint32_t c) {
  FEnhanced ? FImpl->Emf(U_EMRSETBKCOLOR_set(Colorref(c))) : FImpl->Wmf(U_WMRSETBKCOLOR_set(Colorref(c)));
}
void TMetafileWriter::BkMode(int mode) {
  FEnhanced ? FImpl->Emf(U_EMRSETBKMODE_set(mode)) : FImpl->Wmf(U_WMRSETBKMODE_set(std::uint16_t(mode)));
}
void TMetafileWriter::PolyFillMode(int mode) {
  FEnhanced ? FImpl->Emf(U_EMRSETPOLYFILLMODE_set(mode)) : FImpl->Wmf(U_WMRSETPOLYFILLMODE_set(std::uint16_t(mode)));
}
void TMetafileWriter::TextAlign(int align) {
  FEnhanced ? FImpl->Emf(U_EMRSETTEXTALIGN_set(align)) : FImpl->Wmf(U_WMRSETTEXTALIGN_set(std::uint16_t(align)));
}
void TMetafileWriter::SaveDc() { FEnhanced ? FImpl->Emf(U_EMRSAVEDC_set()) : FImpl->Wmf(U_WMRSAVEDC_set()); }
void TMetafileWriter::RestoreDc(int which) {
  FEnhanced ? FImpl->Emf(U_EMRRESTOREDC_set(which)) : FImpl->Wmf(U_WMRRESTOREDC_set(std::int16_t(which)));
}

void TMetafileWriter::MoveTo(int x, int y) {
  FEnhanced ? FImpl->Emf(U_EMRMOVETOEX_set(PL(x, y))) : FImpl->Wmf(U_WMRMOVETO_set(P16(x, y)));
}
void TMetafileWriter::LineTo(int x, int y) {
  FEnhanced ? FImpl->Emf(U_EMRLINETO_set(PL(x, y))) : FImpl->Wmf(U_WMRLINETO_set(P16(x, y)));
}

void TMetafileWriter::Polyline(const std::vector<TPt>& points) {
  if (FEnhanced) {
    const std::vector<U_POINTL> pl = PointsL(points);
    return FImpl->Emf(U_EMRPOLYLINE_set(kNoBounds, std::uint32_t(pl.size()), pl.data()));
  }
  const std::vector<U_POINT16> p16 = Points16(points);
  FImpl->Wmf(U_WMRPOLYLINE_set(std::uint16_t(p16.size()), p16.data()));
}

void TMetafileWriter::Polygon(const std::vector<TPt>& points) {
  const std::vector<U_POINT16> p16 = Points16(points);
  FEnhanced ? FImpl->Emf(U_EMRPOLYGON16_set(kNoBounds, std::uint32_t(p16.size()), p16.data()))
            : FImpl->Wmf(U_WMRPOLYGON_set(std::uint16_t(p16.size()), p16.data()));
}

void TMetafileWriter::PolyPolygon(const std::vector<std::vector<TPt>>& figures) {
  std::vector<TPt> points;
  std::vector<std::uint16_t> counts16;
  std::vector<std::uint32_t> counts;
  for (const auto& f : figures) {
    counts16.push_back(std::uint16_t(f.size())), counts.push_back(std::uint32_t(f.size()));
    points.insert(points.end(), f.begin(), f.end());
  }
  const std::vector<U_POINT16> p16 = Points16(points);
  const std::vector<U_POINTL> pl = PointsL(points);
  FEnhanced ? FImpl->Emf(U_EMRPOLYPOLYGON_set(kNoBounds, std::uint32_t(counts.size()), counts.data(), std::uint32_t(pl.size()), pl.data()))
            : FImpl->Wmf(U_WMRPOLYPOLYGON_set(std::uint16_t(counts16.size()), counts16.data(), p16.data()));
}

void TMetafileWriter::Beziers(const std::vector<TPt>& points) {
  if (!FEnhanced) return;
  const std::vector<U_POINTL> pl = PointsL(points);
  FImpl->Emf(U_EMRPOLYBEZIER_set(kNoBounds, std::uint32_t(pl.size()), pl.data()));
}

void TMetafileWriter::Rectangle(TBox b) {
  FEnhanced ? FImpl->Emf(U_EMRRECTANGLE_set(RL(b))) : FImpl->Wmf(U_WMRRECTANGLE_set(R16(b)));
}
void TMetafileWriter::RoundRect(TBox b, int w, int h) {
  FEnhanced ? FImpl->Emf(U_EMRROUNDRECT_set(RL(b), U_SIZEL{w, h}))
            : FImpl->Wmf(U_WMRROUNDRECT_set(std::int16_t(w), std::int16_t(h), R16(b)));
}
void TMetafileWriter::Ellipse(TBox b) {
  FEnhanced ? FImpl->Emf(U_EMRELLIPSE_set(RL(b))) : FImpl->Wmf(U_WMRELLIPSE_set(R16(b)));
}
void TMetafileWriter::Arc(TBox b, TPt s, TPt e) {
  FEnhanced ? FImpl->Emf(U_EMRARC_set(RL(b), PL(s.X, s.Y), PL(e.X, e.Y)))
            : FImpl->Wmf(U_WMRARC_set(P16(s.X, s.Y), P16(e.X, e.Y), R16(b)));
}
void TMetafileWriter::Chord(TBox b, TPt s, TPt e) {
  FEnhanced ? FImpl->Emf(U_EMRCHORD_set(RL(b), PL(s.X, s.Y), PL(e.X, e.Y)))
            : FImpl->Wmf(U_WMRCHORD_set(P16(s.X, s.Y), P16(e.X, e.Y), R16(b)));
}
void TMetafileWriter::Pie(TBox b, TPt s, TPt e) {
  FEnhanced ? FImpl->Emf(U_EMRPIE_set(RL(b), PL(s.X, s.Y), PL(e.X, e.Y)))
            : FImpl->Wmf(U_WMRPIE_set(P16(s.X, s.Y), P16(e.X, e.Y), R16(b)));
}
void TMetafileWriter::AngleArc(TPt c, int radius, float startDeg, float sweepDeg) {
  if (FEnhanced) FImpl->Emf(U_EMRANGLEARC_set(PL(c.X, c.Y), std::uint32_t(radius), startDeg, sweepDeg));
}

void TMetafileWriter::Text(int x, int y, const std::string& latin1, const std::vector<int>& dx) {
  if (FEnhanced) {
    std::vector<std::uint16_t> wide(latin1.begin(), latin1.end());
    for (auto& c : wide) c &= 0xFF;
    // libuemf writes the advances always (as the device context records them).
    std::vector<std::uint32_t> advances(dx.begin(), dx.end());
    advances.resize(wide.size(), std::uint32_t((FImpl->FontHeight * 6 + 5) / 10));
    char* text = emrtext_set(PL(x, y), std::uint32_t(wide.size()), 2, wide.data(), U_ETO_NONE, kNoBounds, advances.data());
    FImpl->Emf(U_EMREXTTEXTOUTW_set(kNoBounds, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(text)));
    std::free(text);
  } else {
    std::vector<std::int16_t> advances(dx.begin(), dx.end());
    FImpl->Wmf(U_WMREXTTEXTOUT_set(P16(x, y), std::int16_t(latin1.size()), 0, latin1.c_str(),
                                   advances.empty() ? nullptr : advances.data(), U_RECT16{0, 0, 0, 0}));
  }
}

void TMetafileWriter::StretchDib(TBox d, int w, int h, const std::vector<std::uint32_t>& rgb, std::uint32_t rop) {
  TDibImage dib(w, h, rgb);
  const int dw = d.Right - d.Left, dh = d.Bottom - d.Top;
  if (FEnhanced)
    FImpl->Emf(U_EMRSTRETCHDIBITS_set(kNoBounds, PL(d.Left, d.Top), PL(dw, dh), PL(0, 0), PL(w, h), U_DIB_RGB_COLORS, rop,
                                      dib.Bmi(), dib.Size(), dib.Pixels.data()));
  else
    FImpl->Wmf(U_WMRSTRETCHDIB_set(P16(d.Left, d.Top), P16(dw, dh), P16(0, 0), P16(w, h), U_DIB_RGB_COLORS, rop, dib.Bmi(), dib.Size(),
                                   dib.Pixels.data()));
}

void TMetafileWriter::Gradient(const std::vector<TVertex>& vertices, const std::vector<std::uint32_t>& mesh, int mode) {
  if (!FEnhanced) return;
  std::vector<U_TRIVERTEX> v;
  for (const TVertex& t : vertices) v.push_back(U_TRIVERTEX{t.X, t.Y, t.Red, t.Green, t.Blue, t.Alpha});
  const std::uint32_t objects = std::uint32_t(mesh.size() / (mode == U_GRADIENT_FILL_TRIANGLE ? 3 : 2));
  FImpl->Emf(U_EMRGRADIENTFILL_set(kNoBounds, std::uint32_t(v.size()), objects, std::uint32_t(mode), v.data(), mesh.data()));
}

void TMetafileWriter::AlphaBlend(TBox d, int w, int h, const std::vector<std::uint32_t>& argb, int constantAlpha,
                                 bool perPixel) {
  if (!FEnhanced) return;
  TDibImage dib(w, h, argb, 32);
  const U_BLEND blend{0, 0, std::uint8_t(constantAlpha), std::uint8_t(perPixel ? U_AC_SRC_ALPHA : 0)};
  FImpl->Emf(U_EMRALPHABLEND_set(kNoBounds, PL(d.Left, d.Top), PL(d.Right - d.Left, d.Bottom - d.Top), PL(0, 0), PL(w, h),
                                 kIdentity, Colorref(0xFFFFFF), U_DIB_RGB_COLORS, blend, dib.Bmi(), dib.Size(),
                                 dib.Pixels.data()));
}

void TMetafileWriter::TransparentBlt(TBox d, int w, int h, const std::vector<std::uint32_t>& rgb, std::uint32_t key) {
  if (!FEnhanced) return;
  TDibImage dib(w, h, rgb);
  FImpl->Emf(U_EMRTRANSPARENTBLT_set(kNoBounds, PL(d.Left, d.Top), PL(d.Right - d.Left, d.Bottom - d.Top), PL(0, 0),
                                     PL(w, h), kIdentity, Colorref(0xFFFFFF), U_DIB_RGB_COLORS, key, dib.Bmi(), dib.Size(),
                                     dib.Pixels.data()));
}

void TMetafileWriter::MaskBlt(TBox d, int w, int h, const std::vector<std::uint32_t>& rgb,
                              const std::vector<std::uint32_t>& mask, std::uint32_t rop4) {
  if (!FEnhanced) return;
  TDibImage dib(w, h, rgb), bits(w, h, mask, 1);
  FImpl->Emf(U_EMRMASKBLT_set(kNoBounds, PL(d.Left, d.Top), PL(d.Right - d.Left, d.Bottom - d.Top), PL(0, 0), kIdentity,
                              Colorref(0xFFFFFF), U_DIB_RGB_COLORS, PL(0, 0), U_DIB_RGB_COLORS, rop4, dib.Bmi(), dib.Size(),
                              dib.Pixels.data(), bits.Bmi(), bits.Size(), bits.Pixels.data()));
}

void TMetafileWriter::PlgBlt(const std::vector<TPt>& corners, int w, int h, const std::vector<std::uint32_t>& rgb,
                             const std::vector<std::uint32_t>& mask) {
  if (!FEnhanced) return;
  // Laid out here: libuemf's writer puts the mask's header over the source's pixels.
  TDibImage dib(w, h, rgb);
  std::optional<TDibImage> bits;
  if (!mask.empty()) bits.emplace(w, h, mask, 1);
  U_EMRPLGBLT r{};
  r.emr.iType = U_EMR_PLGBLT;
  r.rclBounds = kNoBounds;
  for (int i = 0; i < 3; ++i) r.aptlDst[i] = PL(corners[std::size_t(i)].X, corners[std::size_t(i)].Y);
  r.cSrc = PL(w, h);
  r.xformSrc = kIdentity;
  r.offBmiSrc = sizeof r, r.cbBmiSrc = std::uint32_t(dib.Info.size());
  r.offBitsSrc = r.offBmiSrc + r.cbBmiSrc, r.cbBitsSrc = dib.Size();
  std::vector<char> record(reinterpret_cast<const char*>(&r), reinterpret_cast<const char*>(&r) + sizeof r);
  record.insert(record.end(), dib.Info.begin(), dib.Info.end());
  record.insert(record.end(), dib.Pixels.begin(), dib.Pixels.end());
  if (bits) {
    auto* head = reinterpret_cast<U_EMRPLGBLT*>(record.data());
    head->offBmiMask = std::uint32_t(record.size()), head->cbBmiMask = std::uint32_t(bits->Info.size());
    head->offBitsMask = head->offBmiMask + head->cbBmiMask, head->cbBitsMask = bits->Size();
    record.insert(record.end(), bits->Info.begin(), bits->Info.end());
    record.insert(record.end(), bits->Pixels.begin(), bits->Pixels.end());
  }
  record.resize((record.size() + 3) / 4 * 4, 0);
  reinterpret_cast<U_EMRPLGBLT*>(record.data())->emr.nSize = std::uint32_t(record.size());
  char* copy = static_cast<char*>(std::malloc(record.size()));
  std::memcpy(copy, record.data(), record.size());
  FImpl->Emf(copy);
}

void TMetafileWriter::Rop2(int mode) {
  FEnhanced ? FImpl->Emf(U_EMRSETROP2_set(std::uint32_t(mode))) : FImpl->Wmf(U_WMRSETROP2_set(std::uint16_t(mode)));
}

void TMetafileWriter::IntersectClip(TBox b) {
  FEnhanced ? FImpl->Emf(U_EMRINTERSECTCLIPRECT_set(RL(b))) : FImpl->Wmf(U_WMRINTERSECTCLIPRECT_set(R16(b)));
}
void TMetafileWriter::ExcludeClip(TBox b) {
  FEnhanced ? FImpl->Emf(U_EMREXCLUDECLIPRECT_set(RL(b))) : FImpl->Wmf(U_WMREXCLUDECLIPRECT_set(R16(b)));
}

void TMetafileWriter::ClipRegion(const std::vector<TBox>& rects, int mode) {
  if (!FEnhanced) return;
  std::vector<U_RECTL> r;
  U_RECTL bounds{rects.empty() ? 0 : rects[0].Left, rects.empty() ? 0 : rects[0].Top, 0, 0};
  for (TBox b : rects) {
    r.push_back(RL(b));
    bounds.left = std::min(bounds.left, b.Left), bounds.top = std::min(bounds.top, b.Top);
    bounds.right = std::max(bounds.right, b.Right), bounds.bottom = std::max(bounds.bottom, b.Bottom);
  }
  PU_RGNDATA data = rgndata_set(rgndataheader_set(std::uint32_t(r.size()), bounds), r.data());
  FImpl->Emf(U_EMREXTSELECTCLIPRGN_set(std::uint32_t(mode), data));
  std::free(data);
}

void TMetafileWriter::RawSelect(std::uint32_t index) {
  FEnhanced ? FImpl->Emf(U_EMRSELECTOBJECT_set(index)) : FImpl->Wmf(U_WMRSELECTOBJECT_set(std::uint16_t(index)));
}
void TMetafileWriter::RawDelete(std::uint32_t index) {
  FEnhanced ? FImpl->Emf(U_EMRDELETEOBJECT_set(index)) : FImpl->Wmf(U_WMRDELETEOBJECT_set(std::uint16_t(index)));
}
void TMetafileWriter::Comment(const std::vector<std::uint8_t>& data) {
  if (FEnhanced) FImpl->Emf(U_EMRCOMMENT_set(std::uint32_t(data.size()), reinterpret_cast<const char*>(data.data())));
}

void TMetafileWriter::BeginPath() { if (FEnhanced) FImpl->Emf(U_EMRBEGINPATH_set()); }
void TMetafileWriter::EndPath() { if (FEnhanced) FImpl->Emf(U_EMRENDPATH_set()); }
void TMetafileWriter::FillPath() { if (FEnhanced) FImpl->Emf(U_EMRFILLPATH_set(kNoBounds)); }
void TMetafileWriter::StrokePath() { if (FEnhanced) FImpl->Emf(U_EMRSTROKEPATH_set(kNoBounds)); }
void TMetafileWriter::StrokeAndFillPath() { if (FEnhanced) FImpl->Emf(U_EMRSTROKEANDFILLPATH_set(kNoBounds)); }
void TMetafileWriter::ClipPath(int mode) { if (FEnhanced) FImpl->Emf(U_EMRSELECTCLIPPATH_set(std::uint32_t(mode))); }

std::vector<std::uint8_t> TMetafileWriter::Finish() {
  TImpl& s = *FImpl;
  if (FEnhanced) {
    s.Emf(U_EMREOF_set(0, nullptr, s.Et));
    if (emf_finish(s.Et, s.Eht)) throw std::runtime_error("libuemf could not finish the enhanced metafile");
  } else {
    s.Wmf(U_WMREOF_set());
    if (wmf_finish(s.Wt)) throw std::runtime_error("libuemf could not finish the metafile");
  }
  std::ifstream in(s.File, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t TMetafileWriter::RecordAt(const std::vector<std::uint8_t>& b, bool enhanced, std::uint32_t type, int nth) {
  auto u16 = [&](std::size_t at) { return std::uint32_t(b[at] | b[at + 1] << 8); };
  auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  std::size_t at = enhanced ? u32(4) : (u32(0) == 0x9AC6CDD7 ? 22 : 0) + 18;
  while (at + 8 <= b.size()) {
    const std::uint32_t t = enhanced ? u32(at) : u16(at + 4), size = enhanced ? u32(at + 4) : 2 * u32(at);
    if (t == type && nth-- == 0) return at;
    if (size == 0) break;
    at += size;
  }
  throw std::runtime_error("no such record");
}

std::string TMetafileWriter::Save(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  const std::string file = TempName(name);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return file;
}

}  // namespace test_metafile
