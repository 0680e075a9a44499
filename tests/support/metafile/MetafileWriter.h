#pragma once
// Metafiles written record by record with libuemf's record writers, the
// same drawing in either kind: a Windows metafile with the placeable header
// or an enhanced metafile, both framing Width x Height pixels at 96 pixels
// per inch. A call a kind has no record for (Béziers, paths and world
// transforms in a Windows metafile) writes nothing there.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test_metafile {

struct TPt {
  int X, Y;
};
struct TBox {
  int Left, Top, Right, Bottom;
};
// A corner of a gradient: its place and colour, 16 bits a channel.
struct TVertex {
  int X, Y;
  std::uint16_t Red, Green, Blue, Alpha;
};

class TMetafileWriter {
public:
  // Placeable false: a Windows metafile without the placeable header, as
  // an embedded object's presentation holds one (its window gives its size).
  TMetafileWriter(bool enhanced, int widthPx, int heightPx, bool placeable = true);
  ~TMetafileWriter();
  bool Enhanced() const { return FEnhanced; }

  void MapMode(int mode);
  void WindowOrg(int x, int y);
  void WindowExt(int x, int y);
  void ViewportOrg(int x, int y);
  void ViewportExt(int x, int y);
  void WorldTransform(float m11, float m12, float m21, float m22, float dx, float dy);

  // Objects: the index to select and delete.
  std::uint32_t Pen(int style, int width, std::uint32_t colorref);
  // Enhanced: an extended pen (geometric when Width > 1); elsewhere as Pen.
  std::uint32_t ExtPen(int style, int width, std::uint32_t colorref);
  std::uint32_t Brush(int style, std::uint32_t colorref, int hatch = 0);
  // A pattern brush of 24-bit pixels (0x00RRGGBB each, top row first).
  std::uint32_t PatternBrush(int w, int h, const std::vector<std::uint32_t>& rgb);
  std::uint32_t Font(int height, int weight, bool italic, int escapement, const std::string& face);
  void Select(std::uint32_t object);
  void Delete(std::uint32_t object);

  void TextColor(std::uint32_t colorref);
  void BkColor(std::uint32_t colorref);
  void BkMode(int mode);
  void PolyFillMode(int mode);
  void TextAlign(int align);
  void SaveDc();
  void RestoreDc(int which);

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPt>& points);
  void Polygon(const std::vector<TPt>& points);
  void PolyPolygon(const std::vector<std::vector<TPt>>& figures);
  void Beziers(const std::vector<TPt>& points);
  void Rectangle(TBox box);
  void RoundRect(TBox box, int w, int h);
  void Ellipse(TBox box);
  void Arc(TBox box, TPt start, TPt end);
  void Chord(TBox box, TPt start, TPt end);
  void Pie(TBox box, TPt start, TPt end);
  // Enhanced only: an arc of a circle from the current position, angles in degrees.
  void AngleArc(TPt centre, int radius, float startDeg, float sweepDeg);
  // ExtTextOut of 8-bit text (Windows metafile) or of its UTF-16 form
  // (enhanced), with advances when Dx is not empty (an enhanced text has
  // them always: 0.6 of the latest font's height where Dx gives none, the
  // advance of a monospaced font such as Courier New).
  void Text(int x, int y, const std::string& latin1, const std::vector<int>& dx = {});
  // StretchDIBits of 24-bit pixels (0x00RRGGBB each, top row first).
  void StretchDib(TBox dest, int w, int h, const std::vector<std::uint32_t>& rgb, std::uint32_t rop);
  // The rest write enhanced records only. GradientFill: Mesh holds two
  // vertex indices a rectangle (Mode 0 horizontal, 1 vertical) or three a
  // triangle (Mode 2).
  void Gradient(const std::vector<TVertex>& vertices, const std::vector<std::uint32_t>& mesh, int mode);
  // AlphaBlend of 32-bit pixels (0xAARRGGBB as the record holds them,
  // premultiplied where PerPixel says the alpha counts; top row first).
  void AlphaBlend(TBox dest, int w, int h, const std::vector<std::uint32_t>& argb, int constantAlpha, bool perPixel);
  // TransparentBlt of 24-bit pixels without those of Key (a COLORREF).
  void TransparentBlt(TBox dest, int w, int h, const std::vector<std::uint32_t>& rgb, std::uint32_t key);
  // MaskBlt of 24-bit pixels by a ROP4, through a one-bit mask of the same
  // size (white pixels: the foreground operation).
  void MaskBlt(TBox dest, int w, int h, const std::vector<std::uint32_t>& rgb, const std::vector<std::uint32_t>& mask,
               std::uint32_t rop4);
  // PlgBlt of 24-bit pixels onto the parallelogram of the upper-left,
  // upper-right and lower-left corners, through a mask when one is given.
  void PlgBlt(const std::vector<TPt>& corners, int w, int h, const std::vector<std::uint32_t>& rgb,
              const std::vector<std::uint32_t>& mask = {});
  // Both kinds: the raster mode of pens and brushes (R2_*).
  void Rop2(int mode);
  void IntersectClip(TBox box);
  void ExcludeClip(TBox box);
  // Enhanced: a region in device units, combined by Mode (1 and, 4 diff, 5 copy).
  void ClipRegion(const std::vector<TBox>& rects, int mode);
  // Records as they stand, bypassing the object table's bookkeeping (for
  // damaged files): select or delete any index; enhanced only: a comment.
  void RawSelect(std::uint32_t index);
  void RawDelete(std::uint32_t index);
  void Comment(const std::vector<std::uint8_t>& data);
  void WorldTransformScale(float sx, float sy) { WorldTransform(sx, 0, 0, sy, 0, 0); }
  void BeginPath();
  void EndPath();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  void ClipPath(int mode);

  // The file's bytes (the writer is done after this).
  std::vector<std::uint8_t> Finish();
  // Offset of the Nth (from 0) record of a type (WMF function or EMF type) in Bytes.
  static std::size_t RecordAt(const std::vector<std::uint8_t>& bytes, bool enhanced, std::uint32_t type, int nth = 0);
  // Writes the bytes to a file of the scratch folder and returns its path.
  static std::string Save(const std::vector<std::uint8_t>& bytes, const std::string& name);

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  bool FEnhanced;
};

}  // namespace test_metafile
