#include "platform/forms/Forms.h"

#include <algorithm>

#include "platform/canvas/CairoCanvas.h"
#include "platform/forms/Application.h"
#include "platform/forms/DialogFrame.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"

namespace forms {

TCustomForm::TCustomForm(TComponent* owner, window::TWindowKind kind, window::TWindow* ownerWindow)
    : TWinControl(owner), FWindow(std::make_unique<window::TWindow>(kind, ownerWindow)) {
  ControlStyle = 0;
  FVisible = false;
  FWindow->OnMessage = [this](window::TWindow*, window::TMessage& msg) {
    // A move or resize by the frame takes the mouse until the release, as
    // the system's own loop would.
    if (FDrag.Message(msg)) return;
    if (WindowHook && WindowHook(msg)) return;
    if (FDialogFrame && !OnPaintFrame && FDialogFrame->Message(msg)) return;
    WindowMessage(msg);
  };
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  TMainQueue::Instance().Cancel(this);
  if (Screen) Screen->RemoveForm(this);
  // Controls and components may still call on the form while they go.
  DestroyChildren();
  DestroyComponents();
  FWindow->OnMessage = nullptr;
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  if (Constraints.MinWidth > 0) width = std::max(width, Constraints.MinWidth);
  if (Constraints.MinHeight > 0) height = std::max(height, Constraints.MinHeight);
  if (Constraints.MaxWidth > 0) width = std::min(width, Constraints.MaxWidth);
  if (Constraints.MaxHeight > 0) height = std::min(height, Constraints.MaxHeight);
  TWinControl::SetBounds(left, top, width, height);
  FWindow->SetBounds(Left(), Top(), Width(), Height());
}

TRect TCustomForm::ClientRect() const {
  return {0, 0, std::max(0, Width() - FFrame.Left - FFrame.Right), std::max(0, Height() - FFrame.Top - FFrame.Bottom)};
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  if (style == bsDialog && !FDialogFrame) {
    FDialogFrame = std::make_unique<TDialogFrame>(*this);
    SetFrameInsets(ManagerFramed() ? TRect{} : TDialogFrame::Insets());
  } else if (style != bsDialog && FDialogFrame) {
    FDialogFrame.reset();
    SetFrameInsets({});
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == FBorderIcons) return;
  FBorderIcons = icons;
  InvalidateFrame();
}

void TCustomForm::SetIcon(const canvas::TBitmap& icon) {
  FIcon = icon;
  InvalidateFrame();
}

void TCustomForm::TextChanged() {
  FWindow->SetCaption(Text());
  InvalidateFrame();
}

TFrameHit TCustomForm::FrameHit(TPoint p) const {
  return FrameHitAt(p, Width(), Height(), FFrame, FBorderStyle == bsSizeable);
}

void TCustomForm::FrameMouse(window::TMessage& msg) {
  const TFrameHit hit = FrameHit({msg.Pos.X, msg.Pos.Y});
  // The pointer left the client area for the frame: no control is under it.
  SetHoverControl(nullptr, 0, {msg.Pos.X, msg.Pos.Y});
  if (window::TWindowSystem::Exists()) window::TWindowSystem::Current().SetCursor(CursorOfHit(hit));
  if (msg.Kind == window::TMessageKind::MouseDown && msg.Button == window::mbLeft && !(msg.Shift & window::ssDouble)) {
    if (Application) Application->CancelHint();
    FDrag.Start(hit, msg.ScreenPos);
  }
}

void TCustomForm::SetFrameInsets(const TRect& insets) {
  FFrame = insets;
  AlignControls();
  InvalidateWindowRect({0, 0, Width(), Height()});
}

void TCustomForm::InvalidateWindowRect(const TRect& r) {
  FWindow->InvalidateRect({r.Left, r.Top, r.Right, r.Bottom});
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  FFormStyle = style;
  FWindow->SetStayOnTop(style == fsStayOnTop);
}

void TCustomForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (visible) {
    if (!FShownBefore && Position != poDesigned && Screen) {
      FShownBefore = true;
      const TCustomForm* owner = Position == poOwnerFormCenter ? CenterOwner() : nullptr;
      if (owner)
        SetBounds(owner->Left() + (owner->Width() - Width()) / 2, owner->Top() + (owner->Height() - Height()) / 2,
                  Width(), Height());
      else
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    }
    FShownBefore = true;
    if (OnShow) OnShow(this);
    FVisible = true;
    FWindow->Show();
  } else {
    if (OnHide) OnHide(this);
    FVisible = false;
    FDrag.Stop();
    ReleaseMouseCapture();
    FWindow->Hide();
  }
}

const TCustomForm* TCustomForm::CenterOwner() const {
  for (const TCustomForm* f : {Screen->ActiveForm(), Application ? Application->MainForm() : nullptr})
    if (f && f != this && f->Visible() && f->FormStyle() != fsStayOnTop) return f;
  return nullptr;
}

bool TCustomForm::Active() const { return FWindow->Focused(); }

void TCustomForm::SetFocus() {
  if (Visible()) FWindow->Activate();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl || (control && !ContainsControl(control))) return;
  TWinControl* old = FActiveControl;
  FActiveControl = control;
  const bool focused = Active();
  if (old && focused) old->FocusChanged(false);
  // Exit the containers left, inner first; enter the new ones, outer first.
  auto chain = [this](TWinControl* c) {
    std::vector<TWinControl*> list;
    for (; c && c != this; c = c->Parent()) list.push_back(c);
    return list;
  };
  const std::vector<TWinControl*> left = chain(old), entered = chain(control);
  for (TWinControl* c : left)
    if (std::find(entered.begin(), entered.end(), c) == entered.end()) c->DoExit();
  for (auto it = entered.rbegin(); it != entered.rend(); ++it)
    if (std::find(left.begin(), left.end(), *it) == left.end()) (*it)->DoEnter();
  if (FActiveControl == control && control && Active()) control->FocusChanged(true);
}

void TCustomForm::SelectNext(bool forward) {
  // Every control that takes the focus, in tab order, depth first.
  std::vector<TWinControl*> order;
  std::function<void(TWinControl*)> collect = [&](TWinControl* container) {
    for (TWinControl* c : container->TabList()) {
      if (!c->Showing() || !c->IsEnabled()) continue;
      if (c->TabStop()) order.push_back(c);
      collect(c);
    }
  };
  collect(this);
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), FActiveControl);
  int index = it == order.end() ? (forward ? -1 : 0) : int(it - order.begin());
  index = (index + (forward ? 1 : -1) + int(order.size())) % int(order.size());
  order[size_t(index)]->SetFocus();
}

void TCustomForm::ControlHidden(TControl* control) {
  auto inside = [control](const TControl* c) {
    for (; c; c = c->Parent())
      if (c == control) return true;
    return false;
  };
  if (inside(FCaptureControl)) ReleaseMouseCapture();
  if (inside(FHoverControl)) FHoverControl = nullptr;
  if (inside(FActiveControl)) FActiveControl = nullptr;
}

void TCustomForm::ReleaseMouseCapture() {
  FCaptureControl = nullptr;
  if (window::TWindowSystem::Exists() && window::TWindowSystem::Current().GetCapture() == FWindow.get())
    window::TWindowSystem::Current().ReleaseCapture();
}

void TCustomForm::Paint() {
  if (!OnEraseBackground || !OnEraseBackground(Canvas())) {
    Canvas().Brush.Color = Color();
    Canvas().Brush.Style = canvas::bsSolid;
    Canvas().FillRect(ClientRect());
  }
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(window::TMessage& msg) {
  const window::TPixelBuffer& b = msg.Buffer;
  canvas::TCairoCanvas canvas(b.Pixels, b.Width, b.Height, b.Stride);
  const window::TRect& u = msg.UpdateRect;
  canvas.IntersectClipRect({u.Left, u.Top, u.Right, u.Bottom});
  if (OnPaintFrame || FDialogFrame) {
    canvas.Save();
    if (OnPaintFrame) OnPaintFrame(this, canvas);
    else FDialogFrame->Paint(canvas);
    canvas.Restore();
  }
  canvas.Save();
  canvas.SetOrigin({FFrame.Left, FFrame.Top});
  canvas.IntersectClipRect(ClientRect());
  PaintControl(canvas);
  PaintChildren(canvas);
  canvas.Restore();
}

int TCustomForm::ShowModal() {
  FModalResult = mrNone;
  FInModal = true;
  ReleaseMouseCapture();
  // What the user must answer comes above every window, those that stay on
  // top too.
  FWindow->SetStayOnTop(true);
  // The window the user came from gets the activation back, not merely the
  // topmost one (a tips window that stays on top).
  const window::TWindow* from = window::TWindowSystem::Exists() ? window::TWindowSystem::Current().GetActiveWindow() : nullptr;
  const uint32_t fromHandle = from ? from->Handle() : 0;
  TCloseAction action = caHide;
  SetVisible(true);
  while (true) {
    FWindow->ShowModal();
    if (Application && Application->Terminated()) {
      FModalResult = mrCancel;
      break;
    }
    if (FModalResult == mrNone) {
      // Hidden by other means than a modal result.
      if (!FWindow->Visible()) {
        FModalResult = mrCancel;
        break;
      }
      continue;
    }
    action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action != caNone) break;
    FModalResult = mrNone;
  }
  FInModal = false;
  const TModalResult result = FModalResult;
  SetVisible(false);
  FWindow->SetStayOnTop(FFormStyle == fsStayOnTop);
  if (window::TWindowSystem::Exists())
    if (window::TWindow* back = window::TWindowSystem::Current().FindWindow(fromHandle);
        back && back != FWindow.get() && back->Visible() && back->AcceptsInput())
      back->Activate();
  if (action == caFree) Release();
  return result;
}

void TCustomForm::SetModalResult(TModalResult result) {
  FModalResult = result;
  if (FInModal && result != mrNone) FWindow->EndModal();
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
  if (FInModal) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: SetVisible(false); break;
    case caMinimize: SetWindowState(TWindowState::wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  SetVisible(false);
  FWindow->AfterMessages([this] { delete this; });
}

TForm::TForm(TComponent* owner) : TCustomForm(owner, window::TWindowKind::TopLevel, nullptr) {
  SetBounds(0, 0, 320, 240);
}

namespace {

window::TWindow* PopupOwnerWindow(TControl* owner) {
  TCustomForm* form = owner ? owner->ParentForm() : nullptr;
  if (!form) throw Exception("A pop-up window needs a control on a form");
  window::TWindow& w = form->Window();
  return w.Kind() == window::TWindowKind::PopUp && w.Owner() ? w.Owner() : &w;
}

}  // namespace

TPopupWindow::TPopupWindow(TControl* owner)
    : TCustomForm(owner, window::TWindowKind::PopUp, PopupOwnerWindow(owner)) {
  SetFont(owner->Font());
  SetColor(canvas::clWindow);
}

void TPopupWindow::Popup(TPoint screen) {
  SetBounds(std::max(0, screen.X), std::max(0, screen.Y), Width(), Height());
  SetVisible(true);
}

}  // namespace forms
