#include "app/DrawPanel.h"

canvas::TCanvas& TDrawPanel::Surface() {
  if (FSurface.Width() != ClientWidth() || FSurface.Height() != ClientHeight())
    FSurface.SetSize(ClientWidth(), ClientHeight(), Color());
  Invalidate();
  return FSurface.Canvas();
}

void TDrawPanel::Paint() {
  TPanel::Paint();
  if (FSurface.Empty()) return;
  canvas::TCanvas& c = Canvas();
  c.Save();
  // The bevel stays the panel's own.
  c.IntersectClipRect({1, 1, ClientWidth() - 1, ClientHeight() - 1});
  c.Draw(0, 0, FSurface);
  c.Restore();
}
