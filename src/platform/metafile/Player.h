#pragma once
// Plays a metafile's records onto a canvas, scaled so that the header's
// frame fills the destination rectangle (and clipped to it). The record
// handlers of each kind change the device context kept here and draw
// through it; a record the player does not draw is skipped and counted, and
// damage stops the playing where it is found, keeping what was drawn.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas/Canvas.h"
#include "platform/metafile/DcState.h"
#include "platform/metafile/Header.h"
#include "platform/metafile/Objects.h"
#include "platform/metafile/PlayResult.h"

namespace metafile {

// Deepest SaveDC kept and longest clip chain; beyond them records are skipped.
constexpr std::size_t kMaxSavedStates = 1024;
constexpr int kMaxClipDepth = 64;

enum class TClipCombine { And, Copy, Diff, Or, Xor };

class TPlayer {
public:
  TPlayer(canvas::TCanvas& canvas, const THeader& header, const canvas::TRect& dest, TBitmapCache& bitmaps);
  ~TPlayer();
  TPlayer(const TPlayer&) = delete;
  TPlayer& operator=(const TPlayer&) = delete;

  TPlayResult Play(std::span<const std::uint8_t> bytes);

  // ---- for the record handlers ----
  TDcState& Dc() { return FDc; }
  canvas::TCanvas& Canvas() { return FCanvas; }
  TObjectTable& Objects() { return FObjects; }
  TBitmapCache& Bitmaps() { return FBitmaps; }
  const THeader& Header() const { return FHeader; }
  std::size_t RecordOffset() const { return FRecordOffset; }
  // Logical units to canvas pixels; reference device units to canvas pixels
  // (both map onto one point when scaled past all measure).
  TXform ToCanvas() const;
  TXform DeviceToCanvas() const;
  // Whether arcs turn clockwise in logical space.
  bool ArcsClockwise() const;

  // A figure in logical units, stroked with the pen and/or filled with the
  // brush; inside a path bracket it joins the path instead.
  void Draw(const canvas::TPath& figure, bool stroke, bool fill);
  // The same for a figure drawn in a logical box (rectangles, ellipses,
  // arcs, chords and pies), which the device context fits to the box's
  // pixels: a Windows metafile's box leaves out its right and bottom edges,
  // an enhanced metafile's holds them.
  void DrawInBox(const canvas::TPath& figure, const canvas::TRectF& box, bool stroke, bool fill);
  // Filled with a brush of its own: regions, by the raster operation of
  // pens and brushes (Mixed); pixels, text backgrounds and pattern blits
  // plainly.
  void Fill(const canvas::TPath& canvasFigure, const TLogBrush& brush, bool mixed = false);
  // Sets the raster operation of pens and brushes (SetROP2); false for a mode there is not.
  bool SetRop2(std::uint32_t mode);
  bool InPath() const { return FInPath; }
  void BeginPath();
  void EndPath() { FInPath = false; }
  void AbortPath();
  void CloseFigure();
  void DrawPath(bool stroke, bool fill);
  void ClipToPath(TClipCombine mode);

  // The clip, by figures in canvas pixels (nullptr with Copy: no clip).
  void CombineClip(const canvas::TPath* canvasFigure, TClipCombine mode);
  void OffsetClip(double dx, double dy);
  // Brings the canvas's clip in line with the device context before drawing.
  void PrepareCanvas();

  void SaveDc();
  void RestoreDc(std::int32_t which);

  canvas::TSmoothPen CanvasPen() const;
  // Whether the pen, when one pixel wide, draws as the platform's line
  // drawing does, and its dashes then (empty: solid).
  bool OnePixelPen(std::span<const double>& dashes) const;
  canvas::TSmoothBrush CanvasBrush(const TLogBrush& brush) const;

  // Whether the file's EMF+ records repeat what its plain records draw.
  bool EmfPlusDual = false;

  void Skip() { ++FResult.Skipped; }
  // Damage: playing stops after this record.
  void Damage(const char* what) { FResult.Damage = what; }

private:
  void AppendToPath(const canvas::TPath& canvasFigure);
  // A figure in canvas pixels, with the pen and brush of the device
  // context, on the device's pixel grid (fitted to DeviceBox when given).
  void Paint(const canvas::TPath& canvasFigure, bool stroke, bool fill, const canvas::TRectF* deviceBox = nullptr);
  // The smooth call, in the device context's raster operation when Mixed.
  void SmoothPath(const canvas::TPath& canvasFigure, const canvas::TSmoothPen* pen, const canvas::TSmoothBrush* brush,
                  bool mixed);

  canvas::TCanvas& FCanvas;
  THeader FHeader;
  TXform FFrame;
  TBitmapCache& FBitmaps;
  TDcState FDc;
  std::vector<TDcState> FSaved;
  TObjectTable FObjects;
  TPlayResult FResult;
  std::size_t FRecordOffset = 0;
  bool FInPath = false;
  canvas::TPath FPath;  // canvas pixels
  bool FFigureOpen = false;
  canvas::TPointF FPathLast;
  TClip FAppliedClip;
  bool FClipApplied = true;
};

// The record handlers of each kind: false for a record they do not know.
bool PlayWmfRecord(TPlayer& player, const TRecord& record);
bool PlayEmfRecord(TPlayer& player, const TRecord& record);

}  // namespace metafile
