#pragma once
// The help viewer: shows the requested pages of a help container (".xcf")
// or one page file (".xml"), laid out for its client width and painted
// through one off-screen bitmap. The content scrolls by dragging and by the
// wheel; section labels open and close their sections; "href" links go to
// the host, "gref" links show other pages of the same help and enter the
// history that Back and Forward walk.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Controls.h"
#include "ui/help/HelpLayout.h"
#include "ui/help/HelpLoad.h"

using TECRefEvent = std::function<void(TObject* Sender, const std::string& Ref)>;

class TECXMLHelp : public forms::TCustomControl {
public:
  explicit TECXMLHelp(forms::TComponent* owner);

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& value);
  bool Autosize() const { return FAutosize; }
  void SetAutosize(bool value);
  int Paragraph() const { return FParagraph; }
  void SetParagraph(int value);

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  void AddPage(const std::string& name);
  void ClearPages();
  const std::vector<std::string>& Pages() const { return FPages; }
  void Back();
  void Forward();
  // The pages shown become the history's current entry (pages set by the
  // host rather than by a link), so that Back from a later page returns to them.
  void ReplaceHistoryEntry();
  int HistoryCount() const { return int(FHistory.size()); }
  int HistoryIndex() const { return FHistoryIndex; }

  void LoadFile();
  void Layout();

  int ScrollX() const { return FScrollX; }
  int ScrollY() const { return FScrollY; }
  const THelpLayout& Lines() const { return FLayout; }
  const THelpBlocks& Blocks() const { return FPagesRead.Blocks; }
  // The measure of the layout (null: the control's canvas); the caller keeps it.
  void SetMetrics(THelpMetrics* metrics) { FMetrics = metrics; }

  TECRefEvent OnClickRef;
  TNotifyEvent OnHistory;

protected:
  void Paint() override;
  void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseMove(forms::TShiftState shift, int x, int y) override;
  void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  bool MouseWheel(forms::TShiftState shift, int wheelDelta, forms::TPoint pos) override;
  void Resize() override;
  bool WantsKey(int key) override;

private:
  void Refresh();
  void Reload();  // a new page list: from its top, load, lay out, clamp and repaint
  void ToTop();
  void Clamp();
  void RecordHistory();
  void DropForwardHistory();
  void ShowEntry(int index);
  const THelpItem* HitTest(int x, int y) const;
  void SetScreenCursor(window::TCursor cursor);

  std::string FFileName;
  int FScrollX = 0, FScrollY = 0;
  bool FAutosize = false;
  int FUpdateCount = 0;
  bool FReloadPending = false, FRelayoutPending = false, FRepaintPending = false;
  std::vector<std::string> FPages;
  int FParagraph = 8;
  THelpPages FPagesRead;
  THelpLayout FLayout;
  bool FDragging = false;
  int FLastX = 0, FLastY = 0;
  std::vector<std::vector<std::string>> FHistory;
  int FHistoryIndex = 0;
  const THelpBlock* FOpenedLast = nullptr;
  THelpMetrics* FMetrics = nullptr;
  canvas::TBitmap FBuffer;
};
