// What the view does with the mouse, the wheel, the keys and the focus:
// placing the cursor and raising the click events, the page buttons,
// panning, the hints of links, ruler markers and page buttons, zooming and
// scrolling by wheel, and the cursor keys.

#include "base/Strings.h"
#include "platform/forms/Application.h"
#include "platform/forms/ScrollBar.h"
#include "platform/threads/Clock.h"
#include "player/Rule.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Score.h"
#include "score/model/Voice.h"

namespace {

bool Contains(const canvas::TRect& R, int32_t X, int32_t Y) {
  return R.Left <= X && X < R.Right && R.Top <= Y && Y < R.Bottom;
}

constexpr window::TShiftState AnyShift = window::ssShift | window::ssAlt | window::ssCtrl | window::ssLeft |
                                         window::ssRight | window::ssMiddle;

}  // namespace

void TKVWindow::FocusChanged(bool Focused) {
  if (Focused && FScore) FScore->SetActiveWindow(this);
  ShowCursor(false);
  FFocused = Focused;
  ShowCursor(true);
  if (Focused && OnSetFocus) OnSetFocus(this);
}

void TKVWindow::MouseDown(window::TMouseButton Button, window::TShiftState Shift, int X, int Y) {
  if (!FControl) return;
  if (!FControl->Focused()) FControl->SetFocus();
  if (Button != window::mbLeft) {
    HitTest({X, Y});
    SetCursorAtPoint({X, Y}, false);
    return FControl->forms::TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  FControl->forms::TCustomControl::MouseDown(Button, Shift, X, Y);
  // The bottom strip first: the left ruler ends above it, and the first
  // page button lies under the ruler's column.
  if (Y > FControl->ClientHeight() - HorzScrollBar()->Height()) {
    // Only the buttons of the pages can be pressed.
    for (int b = PageButton::First; b <= PageButton::Last; ++b)
      if (PageButtonEnabled[size_t(b)] && Contains(PageButtonRect[size_t(b)], X, Y)) {
        PressedPageButton = b;
        InvalidateClient(PageButtonRect[size_t(b)], true);
        break;
      }
    return;
  }
  if (FRule->Visible() && (Y <= FRule->Width() || X <= FRule->Width())) return;
  if (InPanningStyle() || ((Shift & window::ssShift) && (Shift & window::ssAlt))) {
    FAnchor = {X, Y};
    FPanning = true;
    FStoredCursor = window::crHandPoint;
    FControl->SetCursor(window::crHandPoint);
    if (FStyle == wsView || FStyle == wsSimple) {
      HitTest({X, Y});
      SetCursorAtPoint({X, Y}, false);
    }
    return;
  }
  HitTest({X, Y});
  SetCursorAtPoint({X, Y}, false);
  if (EditedText) FPanning = true;
  if (FocusedRecord || EditedText) {
    if (OnItemClick) OnItemClick(this, FocusedRecord ? FocusedRecord : EditedText);
  } else if (OnScoreClick) {
    OnScoreClick(this);
  }
  HitTest({X, Y});
}

void TKVWindow::MouseMove(window::TShiftState Shift, int X, int Y) {
  if (!FControl) return;
  FControl->forms::TCustomControl::MouseMove(Shift, X, Y);
  if (FPanning && (InPanningStyle() || (Shift & window::ssShift))) {
    // The content follows the pointer.
    ScrollTo(HorzPosition() + FAnchor.X - X, VertPosition() + FAnchor.Y - Y);
    FAnchor = {X, Y};
    HoverShown = true;
    return;
  }
  FControl->SetCursor(Contains(GetViewRect(), X, Y) ? FStoredCursor : window::crDefault);
  if (TKVDisplayItem* link = FindLinkAt({X, Y})) {
    FControl->SetCursor(window::crHandPoint);
    SetHoverLink(link);
    return;
  }
  SetHoverLink(nullptr);
  const int32_t ruler = FRule->Width();
  const bool inRuler = FRule->Visible() && OnGetRuleButton && (Y <= ruler || X <= ruler);
  const bool inButtons = OnGetPageButton && Y >= FControl->ClientHeight() - HorzScrollBar()->Height();
  if (inRuler || inButtons) {
    std::string text = inRuler ? RuleButtonHint(X, Y) : std::string();
    if (text.empty() && inButtons) text = PageButtonHint(X, Y);
    // A hint equal to the one shown is cleared rather than kept.
    if (!text.empty() && text != FHint) {
      SetHint(text);
      ShowHintNow(*FControl, 500, {1, 1});
    } else {
      SetHint("");
    }
  } else {
    SetHint("");
    if (forms::Application) forms::Application->CancelHint();
  }
  HoverShown = true;
}

std::string TKVWindow::RuleButtonHint(int32_t X, int32_t Y) {
  const int32_t w = FRule->Width(), h = w / 2, x = X + HorzPosition(), y = Y + VertPosition();
  const TKVRuleMarkers& m = RuleMarkers;
  const int32_t second = m.StaffTopY + ScoreToPixels(RuleMarkOffset);
  const struct {
    canvas::TRect R;
    int32_t PX, PY, Button;
  } marks[] = {{{m.SystemLeft - 4, 2, m.SystemLeft + 5, h}, x, Y, 1},
               {{m.SystemRight - 5, 2, m.SystemRight + 5, h}, x, Y, 2},
               {{m.MeasureMark - 5, h, m.MeasureMark + 5, w}, x, Y, 4},
               {{m.TickX - 5, 2, m.TickX + 5, h}, x, Y, 5},
               {{2, m.StaffTopY - 5, h, m.StaffTopY + 5}, X, y, 3},
               {{h, second - 5, w, second + 5}, X, y, 6}};
  for (const auto& mark : marks)
    if (Contains(mark.R, mark.PX, mark.PY)) return OnGetRuleButton(this, mark.Button);
  return {};
}

std::string TKVWindow::PageButtonHint(int32_t X, int32_t Y) {
  for (int b = PageButton::First; b <= PageButton::AddState; ++b)
    if (PageButtonEnabled[size_t(b)] && Contains(PageButtonRect[size_t(b)], X, Y)) return OnGetPageButton(this, b);
  return {};
}

void TKVWindow::SetHoverLink(TKVDisplayItem* Item) {
  if (Item == FHoverLink) return;
  FHoverLink = Item;
  if (!Item) return SetHint("");
  SetHint(Item->Text + "\r\n" + LinkText);
  if (FControl) ShowHintNow(*FControl, 0, {100, 1});
}

void TKVWindow::MouseUp(window::TMouseButton Button, window::TShiftState Shift, int X, int Y) {
  if (!FControl) return;
  FControl->forms::TCustomControl::MouseUp(Button, Shift, X, Y);
  DragHandle = DrawKind = 0;
  if (Button == window::mbLeft) {
    if (FPanning && (InPanningStyle() || (Shift & window::ssShift))) {
      FStoredCursor = window::crDefault;
      FControl->SetCursor(window::crDefault);
    }
    if (const int32_t button = PressedPageButton) {
      InvalidateClient(PageButtonRect[size_t(button)], true);
      PressedPageButton = 0;
      ButtonAction(button);
    }
    FPanning = false;
  }
  Dragging = SnapToScore = false;
}

void TKVWindow::ShowInputHint(canvas::TPoint Position, bool IsTablature) {
  if (InputMarkerMode == 0 || !FControl || !FScore) return;
  std::string text;
  if (IsTablature) {
    text = IntToStr(FCursorLevel);
  } else {
    // Lines below -35 take their letter like the lines above them.
    const int32_t step = ((LastInputLine + 35) % 7 + 7) % 7;
    const std::string& names = FScore->NoteNames();
    if (size_t(step) < names.size()) text = names.substr(size_t(step), 1);
  }
  SetHint(text);
  ShowHintNow(*FControl, 0, Position);
}

void TKVWindow::MouseLeave() {
  if (HoverShown) DrawHoverOverlay(false);
  HoverShown = false;
}

// One notch (120) scrolls half its scaled size: 60 pixels at zoom 100 and
// 96 dpi, downwards for a notch towards the user.
bool TKVWindow::DoMouseWheel(window::TShiftState Shift, int WheelDelta, canvas::TPoint /*MousePos*/) {
  const int step = WheelDelta < 0 ? -1 : 1;
  if (FStyle == wsPreview) {
    SetActivePage(WheelDelta > 0 ? FActivePage - 1 : FActivePage + 1);
    CursorChanged(GetCursorVoice());
  } else if (Shift & window::ssCtrl) {
    SetZoom(FZoom + 25 * step);
  } else if (Shift & window::ssAlt) {
    SetCursorLevel(uint8_t(FCursorLevel + step));  // below the first level comes the last
  } else if (Shift & window::ssShift) {
    SetCursorLine(FCursorLine + step);
  } else if ((Shift & AnyShift) == 0) {
    if (forms::TScrollBar* bar = VertScrollBar()) {
      int position = VertPosition() - ScaleSize(WheelDelta) / 2;
      ScrollBarScroll(bar, forms::scPosition, position);
    }
  } else {
    return false;
  }
  return true;
}

void TKVWindow::KeyDown(int& Key, window::TShiftState Shift) {
  if (FCursorShowCounter < 0) ShowCursor(true);
  FLastInputTime = uint32_t(int64_t(FClock->NowMs()));
  if (!FScore) return;
  const bool preview = FStyle == wsPreview;
  const bool ctrl = Shift & window::ssCtrl, ctrlOrAlt = Shift & (window::ssCtrl | window::ssAlt);
  auto scroll = [this](forms::TScrollBar* Bar, int Position) {
    if (Bar) ScrollBarScroll(Bar, forms::scPosition, Position);
  };
  switch (Key) {
    case window::VK_PRIOR: return SetActivePage(ctrl ? 0 : FActivePage - 1);
    case window::VK_NEXT: return SetActivePage(ctrl ? PageRecordCount() - 1 : FActivePage + 1);
    case window::VK_END:
      if (preview) return ScrollTo(HorzScrollBar() ? HorzScrollBar()->Max() : 0, VertScrollBar() ? VertScrollBar()->Max() : 0);
      return ctrl ? CursorToPieceEnd() : CursorToSystemEnd();
    case window::VK_HOME:
      if (preview) return ScrollTo(0, 0);
      return ctrl ? CursorToPieceStart() : CursorToSystemStart();
    case window::VK_LEFT:
      if (preview) return scroll(HorzScrollBar(), HorzPosition() - 10);
      if (!ctrlOrAlt) CursorLeft(Shift & window::ssShift);
      return;
    case window::VK_RIGHT:
      if (preview) return scroll(HorzScrollBar(), HorzPosition() + 10);
      if (!ctrlOrAlt) CursorRight(Shift & window::ssShift, false);
      return;
    case window::VK_UP:
      if (preview) return scroll(VertScrollBar(), VertPosition() - 10);
      if (!(Shift & window::ssKeyboardMask)) CursorUp();
      return;
    case window::VK_DOWN:
      if (preview) return scroll(VertScrollBar(), VertPosition() + 10);
      if (!(Shift & window::ssKeyboardMask)) CursorDown();
      return;
    default:
      if (FControl) FControl->forms::TCustomControl::KeyDown(Key, Shift);
  }
}
