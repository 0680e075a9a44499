// What the view asks of the control that shows it, and the renderer that
// paints it. Without control every request here does nothing.

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ScrollBar.h"
#include "platform/window/WindowSystem.h"
#include "player/Rule.h"
#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "player/Window.h"

void TKVWindow::AttachControl(TKVViewControl* Control) {
  FControl = Control;
  if (!Control) {
    FRenderer.reset();
    return;
  }
  if (window::TWindowSystem::Exists()) FScreenResolution = window::TWindowSystem::Current().PixelsPerInch();
  FRenderer = CreateScoreRenderer(*this);
}

bool TKVWindow::HasWindow() const {
  const forms::TCustomForm* form = FControl ? FControl->ParentForm() : nullptr;
  return form && form != static_cast<const forms::TControl*>(FControl);
}

canvas::TColor TKVWindow::Color() const { return FControl ? FControl->Color() : canvas::clWhite; }

forms::TScrollBar* TKVWindow::HorzScrollBar() const { return FControl ? &FControl->HorzScrollBar() : nullptr; }
forms::TScrollBar* TKVWindow::VertScrollBar() const { return FControl ? &FControl->VertScrollBar() : nullptr; }
int32_t TKVWindow::HorzPosition() const { return FControl ? FControl->HorzScrollBar().Position() : 0; }
int32_t TKVWindow::VertPosition() const { return FControl ? FControl->VertScrollBar().Position() : 0; }

bool TKVWindow::ScrollVisible() const {
  return FControl && (FControl->HorzScrollBar().Visible() || FControl->VertScrollBar().Visible());
}

void TKVWindow::SetScrollVisible(bool Value) {
  if (!FControl) return;
  FControl->HorzScrollBar().SetVisible(Value);
  FControl->VertScrollBar().SetVisible(Value);
}

void TKVWindow::SetRule(const TKVRule& Value) { FRule->Assign(Value); }

void TKVWindow::SetRuleVisible(bool Visible) {
  TKVScoreView::SetRuleVisible(Visible);
  FRule->SetVisible(Visible);
}

void TKVWindow::Paint() {
  if (FRenderer) FRenderer->Paint();
}

void TKVWindow::ShowCursor(bool Show) {
  if (HasWindow() && FRenderer) FRenderer->ShowCursor(Show);
}

void TKVWindow::DrawHoverOverlay(bool Update) {
  if (HasWindow() && FRenderer) FRenderer->DrawHoverOverlay(Update);
}

void TKVWindow::InvalidateClient(const canvas::TRect& R, bool Erase) {
  if (HasWindow()) FControl->InvalidateRect(R, Erase);
}

void TKVWindow::SetHint(const std::string& Text) {
  FHint = Text;
  if (FControl) FControl->SetHint(Text);
}

// The hint shows without delay; the application keeps Pause as its delay
// from then on.
void TKVWindow::ShowHintNow(forms::TControl& Control, int32_t Pause, canvas::TPoint At) {
  if (!forms::Application) return;
  forms::Application->CancelHint();
  Control.SetShowHint(true);
  forms::Application->HintPause = 0;
  // Forgetting the control makes the application take it afresh.
  forms::Application->HintMouseMessage(nullptr, {});
  forms::Application->HintMouseMessage(&Control, Control.ClientToScreen(At));
  forms::Application->HintPause = Pause;
}
