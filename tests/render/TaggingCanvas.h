#pragma once
// A recording canvas that keeps, beside each call, the display record the
// page drawer was drawing when it made the call.

#include <span>
#include <string_view>
#include <vector>

#include "platform/canvas/RecordingCanvas.h"

struct TKVDisplayItem;

class TTaggingCanvas : public canvas::TRecordingCanvas {
public:
  using TRecordingCanvas::TRecordingCanvas;
  TKVDisplayItem* const* Current = nullptr;  // the drawer's current record
  std::vector<const TKVDisplayItem*> Tags;   // one per call once Finish ran

  void LineTo(int x, int y) override { TRecordingCanvas::LineTo(x, y), Tag(); }
  void Polyline(std::span<const canvas::TPoint> p) override { TRecordingCanvas::Polyline(p), Tag(); }
  void Polygon(std::span<const canvas::TPoint> p) override { TRecordingCanvas::Polygon(p), Tag(); }
  void Rectangle(const canvas::TRect& r) override { TRecordingCanvas::Rectangle(r), Tag(); }
  void FillRect(const canvas::TRect& r) override { TRecordingCanvas::FillRect(r), Tag(); }
  void Ellipse(const canvas::TRect& r) override { TRecordingCanvas::Ellipse(r), Tag(); }
  void TextOut(int x, int y, std::u16string_view t) override { TRecordingCanvas::TextOut(x, y, t), Tag(); }
  void TextOutA(int x, int y, std::string_view t) override { TRecordingCanvas::TextOutA(x, y, t), Tag(); }
  void MusicBrace(int x, int y, int h, int w) override { TRecordingCanvas::MusicBrace(x, y, h, w), Tag(); }
  void SmoothPath(const canvas::TPath& p, const canvas::TSmoothPen* pen, const canvas::TSmoothBrush* brush) override {
    TRecordingCanvas::SmoothPath(p, pen, brush), Tag();
  }
  // Tags the calls that no record made (the canvas's own bookkeeping).
  void Finish() { Tags.resize(Calls.size(), nullptr); }

private:
  void Tag() { Tags.resize(Calls.size(), Current ? *Current : nullptr); }
};
