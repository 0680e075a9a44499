#include "ui/help/ECXMLHelp.h"

#include <algorithm>

#include "platform/window/WindowSystem.h"

namespace {

constexpr int kDefaultParagraph = 8;

bool IsLabel(const THelpBlock& block) { return block.Kind == hbSection && block.LinkTarget.empty(); }

}  // namespace

TECXMLHelp::TECXMLHelp(forms::TComponent* owner) : TCustomControl(owner), FParagraph(kDefaultParagraph) {
  SetColor(canvas::clWindow);
}

void TECXMLHelp::SetFileName(const std::string& value) {
  if (value == FFileName) return;
  FFileName = value;
  ToTop();
  LoadFile();
  RecordHistory();
  Layout();
  Refresh();
}

void TECXMLHelp::SetAutosize(bool value) {
  if (value == FAutosize) return;
  FAutosize = value;
  LoadFile();
  Layout();
  Refresh();
}

void TECXMLHelp::SetParagraph(int value) {
  if (value == FParagraph) return;
  FParagraph = value;
  Layout();
  Refresh();
}

void TECXMLHelp::EndUpdate() {
  if (--FUpdateCount > 0) return;
  FUpdateCount = 0;
  if (FReloadPending) LoadFile();
  if (FRelayoutPending) Layout();
  Refresh();
}

void TECXMLHelp::ToTop() {
  // A page kept at the old page's place would hide its title.
  FScrollX = FScrollY = 0;
}

void TECXMLHelp::Reload() {
  ToTop();
  LoadFile();
  Layout();
  Clamp();
  Refresh();
}

void TECXMLHelp::AddPage(const std::string& name) {
  FPages.push_back(name);
  Reload();
}

void TECXMLHelp::ClearPages() {
  FPages.clear();
  Reload();
}

void TECXMLHelp::ShowEntry(int index) {
  FPages = FHistory[size_t(index)];
  Reload();
  if (OnHistory) OnHistory(this);
}

void TECXMLHelp::Back() {
  if (FHistory.empty() || FHistoryIndex < 2) return;
  --FHistoryIndex;
  ShowEntry(FHistoryIndex - 1);
}

void TECXMLHelp::Forward() {
  if (int(FHistory.size()) <= FHistoryIndex) return;
  ++FHistoryIndex;
  ShowEntry(FHistoryIndex - 1);
}

void TECXMLHelp::ReplaceHistoryEntry() {
  if (FHistoryIndex > 0 && size_t(FHistoryIndex) <= FHistory.size()) FHistory[size_t(FHistoryIndex - 1)] = FPages;
}

void TECXMLHelp::RecordHistory() {
  if (FHistoryIndex < int(FHistory.size())) FHistory[size_t(FHistoryIndex)] = FPages;
  else FHistory.push_back(FPages);
  ++FHistoryIndex;
  if (OnHistory) OnHistory(this);
}

void TECXMLHelp::DropForwardHistory() {
  while (int(FHistory.size()) > FHistoryIndex) {
    FHistory.erase(FHistory.begin() + FHistoryIndex);
    if (OnHistory) OnHistory(this);
  }
}

void TECXMLHelp::LoadFile() {
  FReloadPending = true;
  if (FUpdateCount > 0) return;
  FOpenedLast = nullptr;
  FLayout.Count = 0;  // the items point into the blocks about to go
  const canvas::TFont& font = Font();
  THelpStyle base{false, font.Name, font.Color, std::uint16_t(std::max(0, font.Size())), font.Style};
  LoadHelpPages(FFileName, FPages, base, FPagesRead);
  FReloadPending = false;
}

void TECXMLHelp::Layout() {
  FRelayoutPending = true;
  if (FUpdateCount > 0) return;
  ++FUpdateCount;
  THelpView view{ClientWidth(), ClientHeight(), FParagraph, FAutosize, Font()};
  TCanvasHelpMetrics canvasMetrics(Canvas());
  FLayout.Run(FPagesRead.Blocks, view, FMetrics ? *FMetrics : canvasMetrics, FOpenedLast, FScrollY);
  --FUpdateCount;
  FRelayoutPending = false;
}

void TECXMLHelp::Refresh() {
  FRepaintPending = true;
  if (FUpdateCount > 0) return;
  Invalidate();
  FRepaintPending = false;
}

void TECXMLHelp::Clamp() {
  if (ClientWidth() > FLayout.ContentWidth - FScrollX) FScrollX = std::max(0, FLayout.ContentWidth - ClientWidth());
  if (ClientHeight() > FLayout.ContentHeight - FScrollY)
    FScrollY = std::max(0, FLayout.ContentHeight - ClientHeight());
}

void TECXMLHelp::Paint() {
  int w = ClientWidth(), h = ClientHeight();
  if (w <= 0 || h <= 0) return;
  if (FBuffer.Width() != w || FBuffer.Height() != h) FBuffer.SetSize(w, h);
  canvas::TCanvas& c = FBuffer.Canvas();
  c.Save();
  c.SetOrigin({-FScrollX, -FScrollY});
  canvas::TRect visible{FScrollX, FScrollY, FScrollX + w, FScrollY + h};
  c.IntersectClipRect(visible);
  c.Brush = {};
  c.Brush.Color = Color();
  c.FillRect(visible);
  for (int i = 0; i < FLayout.Count; ++i) {
    const THelpItem& item = FLayout.Items[size_t(i)];
    const THelpBlock& block = *item.Block;
    const canvas::TRect& r = item.Rect;
    if (block.Kind == hbPicture) {
      if (block.Picture && block.Picture->Graphic() && !block.Picture->Graphic()->GetEmpty())
        block.Picture->Graphic()->Draw(c, {r.Left, r.Top + 1, r.Right, r.Bottom + 1});
    } else if (block.Kind == hbRule) {
      c.Pen = {};
      c.MoveTo(r.Left, r.Top + 2);
      c.LineTo(r.Right, r.Top + 2);
    } else {
      c.Brush.Style = canvas::bsClear;
      c.Font = HelpBlockFont(block, Font());
      c.TextOutA(r.Left, r.Top, item.Text);
    }
  }
  c.Restore();
  Canvas().BitBlt(0, 0, w, h, FBuffer, 0, 0);
}

const THelpItem* TECXMLHelp::HitTest(int x, int y) const {
  x += FScrollX;
  y += FScrollY;
  for (int i = 0; i < FLayout.Count; ++i) {
    const canvas::TRect& r = FLayout.Items[size_t(i)].Rect;
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return &FLayout.Items[size_t(i)];
  }
  return nullptr;
}

void TECXMLHelp::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (!Focused()) SetFocus();
  const THelpItem* item = HitTest(x, y);
  THelpBlock* block = item ? item->Block : nullptr;
  if (block && !block->LinkTarget.empty()) {
    if (block->LinkKind == hlHost) {
      if (OnClickRef) OnClickRef(this, block->LinkTarget);
    } else if (block->LinkKind == hlPage) {
      FPages = {block->LinkTarget};
      ToTop();
      RecordHistory();
      DropForwardHistory();
      LoadFile();
      Layout();
      Refresh();
    }
  } else if (block && IsLabel(*block)) {
    block->Open = !block->Open;
    if (block->Open) FOpenedLast = block;
    Layout();
    Clamp();
    Refresh();
  } else {
    FDragging = true;
    FLastX = x;
    FLastY = y;
  }
}

void TECXMLHelp::SetScreenCursor(window::TCursor cursor) {
  SetCursor(cursor);
  if (window::TWindowSystem::Exists()) window::TWindowSystem::Current().SetCursor(cursor);
}

void TECXMLHelp::MouseMove(forms::TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!FDragging) {
    const THelpItem* item = HitTest(x, y);
    bool hand = item && (!item->Block->LinkTarget.empty() || IsLabel(*item->Block));
    SetScreenCursor(hand ? window::crHandPoint : window::crDefault);
    return;
  }
  if (x == FLastX && y == FLastY) return;
  SetScreenCursor(window::crHandPoint);
  int oldX = FScrollX, oldY = FScrollY;
  if (FLayout.ContentWidth > ClientWidth())
    FScrollX = std::clamp(FScrollX + FLastX - x, 0, FLayout.ContentWidth - ClientWidth());
  if (FLayout.ContentHeight > ClientHeight())
    FScrollY = std::clamp(FScrollY + FLastY - y, 0, FLayout.ContentHeight - ClientHeight());
  if (oldX != FScrollX || oldY != FScrollY) Refresh();
  FLastX = x;
  FLastY = y;
}

void TECXMLHelp::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  FDragging = false;
}

bool TECXMLHelp::MouseWheel(forms::TShiftState shift, int wheelDelta, forms::TPoint pos) {
  if (TCustomControl::MouseWheel(shift, wheelDelta, pos)) return true;
  int old = FScrollY;
  FScrollY = std::max(0, FScrollY - wheelDelta);
  Clamp();
  if (FScrollY != old) Refresh();
  return true;
}

void TECXMLHelp::Resize() {
  Layout();
  Clamp();
  Refresh();
  TCustomControl::Resize();
}

bool TECXMLHelp::WantsKey(int key) {
  return key == window::VK_LEFT || key == window::VK_UP || key == window::VK_RIGHT || key == window::VK_DOWN;
}
