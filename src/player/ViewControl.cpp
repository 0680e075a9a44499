#include "player/ViewControl.h"

#include "platform/forms/Forms.h"
#include "platform/forms/ScrollBar.h"
#include "player/Window.h"

namespace {

forms::TScrollBar* MakeBar(TKVViewControl* Parent, forms::TScrollBarKind Kind) {
  auto* bar = new forms::TScrollBar(Parent);
  bar->SetParent(Parent);
  bar->SetKind(Kind);
  if (Kind == forms::sbHorizontal)
    bar->SetHeight(17);
  else
    bar->SetWidth(17);
  bar->SmallChange = 10;
  bar->LargeChange = 50;
  bar->SetTabStop(false);
  bar->SetFlat(true);
  return bar;
}

}  // namespace

TKVViewControl::TKVViewControl(forms::TComponent* Owner)
    : forms::TCustomControl(Owner),
      FHorz(MakeBar(this, forms::sbHorizontal)),
      FVert(MakeBar(this, forms::sbVertical)),
      FView(std::make_unique<TKVWindow>()) {
  ControlStyle = forms::csCaptureMouse | forms::csClickEvents;
  SetColor(canvas::clWhite);
  for (forms::TScrollBar* bar : {FHorz, FVert}) {
    bar->OnScroll = [this](TObject* Sender, forms::TScrollCode Code, int& Pos) {
      FView->ScrollBarScroll(Sender, Code, Pos);
    };
    bar->OnMouseDown = [this](TObject* Sender, forms::TMouseButton, forms::TShiftState, int, int) {
      FView->ScrollBarMouseDown(Sender);
    };
  }
  FView->AttachControl(this);
}

TKVViewControl::~TKVViewControl() {
  // The play thread looks at the control when a run ends.
  FView->Stop();
  FView->AttachControl(nullptr);
  FView.reset();
}

void TKVViewControl::InvalidateRect(const canvas::TRect& R, bool /*Erase*/) {
  forms::TCustomForm* form = ParentForm();
  if (!form || !Showing()) return;
  const canvas::TRect c{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Width()), std::min(R.Bottom, Height())};
  if (c.Left >= c.Right || c.Top >= c.Bottom) return;
  const canvas::TPoint o = WindowOrigin();
  form->InvalidateWindowRect({o.X + c.Left, o.Y + c.Top, o.X + c.Right, o.Y + c.Bottom});
}

void TKVViewControl::Update() {
  if (forms::TCustomForm* form = ParentForm()) form->Window().Update();
}

void TKVViewControl::Paint() { FView->Paint(); }

void TKVViewControl::Resize() {
  forms::TCustomControl::Resize();
  FView->WMResize();
}

void TKVViewControl::FocusChanged(bool Focused) { FView->FocusChanged(Focused); }

void TKVViewControl::MouseDown(forms::TMouseButton Button, forms::TShiftState Shift, int X, int Y) {
  FView->MouseDown(Button, Shift, X, Y);
}

void TKVViewControl::MouseMove(forms::TShiftState Shift, int X, int Y) { FView->MouseMove(Shift, X, Y); }

void TKVViewControl::MouseUp(forms::TMouseButton Button, forms::TShiftState Shift, int X, int Y) {
  FView->MouseUp(Button, Shift, X, Y);
}

bool TKVViewControl::MouseWheel(forms::TShiftState Shift, int WheelDelta, canvas::TPoint Pos) {
  return FView->DoMouseWheel(Shift, WheelDelta, Pos);
}

void TKVViewControl::MouseLeave() {
  forms::TCustomControl::MouseLeave();
  FView->MouseLeave();
}

void TKVViewControl::KeyDown(int& Key, forms::TShiftState Shift) { FView->KeyDown(Key, Shift); }

bool TKVViewControl::WantsKey(int Key) { return Key >= window::VK_LEFT && Key <= window::VK_DOWN; }
