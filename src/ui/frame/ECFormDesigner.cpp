#include "ui/frame/ECFormDesigner.h"

#include "platform/window/WindowSystem.h"

using window::TMessageKind;

TECFormDesigner::TECFormDesigner(forms::TComponent* owner) : TComponent(nullptr) {
  if (!owner) throw DException("Component must be have class");
  auto* form = dynamic_cast<forms::TCustomForm*>(owner);
  if (!form) throw DException("Owner must be a TForm class");
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (dynamic_cast<TECFormDesigner*>(form->Components(i)))
      throw DException("May be only one TECFormDisigner component on the Form");
  form->InsertComponent(this);
  FForm = form;
  FBorder = std::make_unique<TECFormBorder>();
  FCaption = std::make_unique<TECFormCaption>();
  FButtons = std::make_unique<TECFormButtons>(this);
  FBorder->OnChange = FCaption->OnChange = [this] { CompanionChanged(); };
  FButtons->SetOnButtonChange([this](TECFormButton* b, bool geometry) { ButtonChanged(b, geometry); });
  FForm->WindowHook = [this](window::TMessage& msg) { return WindowHook(msg); };
  FForm->OnPaintFrame = [this](TObject*, canvas::TCanvas& c) {
    if (Skinned()) PaintNonClient(c);
  };
  FForm->OnEraseBackground = [this](canvas::TCanvas& c) {
    if (!Skinned() || FWallPaper.Empty()) return false;
    PaintWallPaper(c);
    return true;
  };
  UpdateRegion();
}

TECFormDesigner::~TECFormDesigner() {
  FActive = false;
  if (FForm) {
    ReleaseCapture();
    FForm->WindowHook = nullptr;
    FForm->OnPaintFrame = nullptr;
    FForm->OnEraseBackground = nullptr;
  }
  FButtons.reset();
}

void TECFormDesigner::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (!FForm) return;
  if (value) {
    if (!FForm->IsDestroying()) {
      FSavedBorderIcons = FForm->BorderIcons();
      FForm->SetBorderIcons(0);
    }
    UpdateRegion();
    FrameChanged();
    FForm->Invalidate();
  } else {
    FForm->SetBorderIcons(FSavedBorderIcons);
    // There is no system frame to come back: the whole window is client area.
    FForm->SetFrameInsets({});
    UpdateRegion();
  }
}

void TECFormDesigner::SetWidthEllipse(int value) {
  FWidthEllipse = value;
  UpdateRegion();
}

void TECFormDesigner::SetHeightEllipse(int value) {
  FHeightEllipse = value;
  UpdateRegion();
}

void TECFormDesigner::SetWallPaper(const canvas::TBitmap& value) {
  FWallPaper = value;
  if (FForm) FForm->Invalidate();
}

void TECFormDesigner::Loaded() {
  TComponent::Loaded();
  FrameChanged();
}

void TECFormDesigner::Assign(const TECFormDesigner& source) {
  FAssigning = true;
  FBorder->Assign(*source.FBorder);
  FCaption->Assign(*source.FCaption);
  FButtons->Assign(*source.FButtons);
  SetWallPaper(source.FWallPaper);
  SetActive(source.FActive);
  SetWidthEllipse(source.FWidthEllipse);
  SetHeightEllipse(source.FHeightEllipse);
  FAssigning = false;
  FrameChanged();
}

forms::TRect TECFormDesigner::FrameInsets() const {
  if (FFullScreen || !Skinned()) return {};
  const int caption = FCaption->Height();
  if (FBorder->Simple()) {
    const int pen = FBorder->Pen().Width;
    return {pen, caption, pen + 1, pen + 1};
  }
  return {FBorder->LeftWidth(), caption, FBorder->RightWidth(), FBorder->BottomHeight()};
}

void TECFormDesigner::FrameChanged() {
  if (!Skinned() || FAssigning || IsLoading()) return;
  // A minimised window keeps the band it had.
  if (FForm->WindowState() == forms::TWindowState::wsMinimized) return;
  const forms::TRect insets = FrameInsets();
  if (insets == FForm->FrameInsets()) FForm->InvalidateFrame();
  else FForm->SetFrameInsets(insets);
}

void TECFormDesigner::UpdateRegion() {
  if (!FForm) return;
  window::TWindow& w = FForm->Window();
  std::optional<window::TRegion> region;
  // Inside a window manager's frame a shape would cut into that frame.
  if (Skinned()) {
    if (OnCreateRgn) OnCreateRgn(this, region);
    else if (FWidthEllipse != 0 && FHeightEllipse != 0)
      region = window::TRegion::RoundRect({0, 0, w.Width(), w.Height()}, FWidthEllipse, FHeightEllipse);
  }
  // Moves come often while the window is dragged: an unchanged shape is not sent again.
  const window::TRegion* current = w.WindowRgn();
  if (region ? current && *current == *region : !current) return;
  w.SetWindowRgn(std::move(region));
}

void TECFormDesigner::ManagerFrameChanged() {
  if (!FActive) return;
  ReleaseCapture();
  if (FPressedButton) FPressedButton->SetButtonState(0);
  FPressedButton = nullptr;
  SetHot(nullptr);
  if (Skinned()) FrameChanged();
  else FForm->SetFrameInsets({});
  UpdateRegion();
}

void TECFormDesigner::CompanionChanged() {
  if (FAssigning || IsLoading()) return;
  FrameChanged();
}

void TECFormDesigner::ButtonChanged(TECFormButton* button, bool geometry) {
  if (!Skinned() || FAssigning || IsLoading()) return;
  if (geometry) {
    FForm->InvalidateFrame();
    return;
  }
  // Only that button: its place for the form's window state.
  const forms::TWindowState state = FForm->WindowState();
  if (ButtonShown(*button, state)) FForm->InvalidateWindowRect(ButtonRect(*button, state));
}

void TECFormDesigner::Execute(TECFormButton& button) {
  switch (button.Style()) {
    case bsNormal: SysCommand(forms::TWindowState::wsNormal); break;
    case bsMinimized: SysCommand(forms::TWindowState::wsMinimized); break;
    case bsMaximized: SysCommand(forms::TWindowState::wsMaximized); break;
    case bsClose: FForm->Close(); break;
    case bsCustom:
      if (button.OnClick) button.OnClick(&button);
      break;
  }
}

void TECFormDesigner::SysCommand(forms::TWindowState state) {
  // The system's minimise animation has nothing to switch here.
  FPendingCommand = state;
  FForm->SetWindowState(state);
  FPendingCommand.reset();
  FForm->InvalidateFrame();
}

void TECFormDesigner::ReleaseCapture() {
  if (!FCaptureActive) return;
  FCaptureActive = false;
  if (window::TWindowSystem::Exists() && window::TWindowSystem::Current().GetCapture() == &FForm->Window())
    window::TWindowSystem::Current().ReleaseCapture();
}

void TECFormDesigner::SetHot(TECFormButton* button) {
  if (button == FHotButton) return;
  if (FHotButton) FHotButton->SetButtonState(0);
  FHotButton = button;
  if (button) button->SetButtonState(1);
}

bool TECFormDesigner::WindowHook(window::TMessage& msg) {
  switch (msg.Kind) {
    case TMessageKind::Move:
    case TMessageKind::Size: UpdateRegion(); return false;
    case TMessageKind::Activate:
      // The frame shows the window's activation; the form gets it as well.
      if (Skinned()) FForm->InvalidateFrame();
      if (OnChangeActive) OnChangeActive(this, msg.Active);
      return false;
    case TMessageKind::ManagerFrame: ManagerFrameChanged(); return false;
    case TMessageKind::CancelMode:
      if (!FCaptureActive) return false;
      ReleaseCapture();
      if (FPressedButton) FPressedButton->SetButtonState(0);
      FPressedButton = nullptr;
      FrameChanged();
      return true;
    case TMessageKind::CaptureChanged:
      if (FCaptureActive && msg.Other != &FForm->Window()) {
        FCaptureActive = false;
        if (FPressedButton) FPressedButton->SetButtonState(0);
        FPressedButton = nullptr;
      }
      return false;
    case TMessageKind::MouseLeave: SetHot(nullptr); return false;
    case TMessageKind::MouseEnter:
    case TMessageKind::MouseMove:
    case TMessageKind::MouseDown:
    case TMessageKind::MouseUp:
    case TMessageKind::MouseWheel: return MouseMessage(msg);
    default: return false;
  }
}

bool TECFormDesigner::MouseMessage(window::TMessage& msg) {
  const int x = msg.Pos.X, y = msg.Pos.Y;
  if (FCaptureActive) {
    // The press on a button holds the mouse until the release.
    if (msg.Kind == TMessageKind::MouseMove && !FPressedButton) SetHot(nullptr);
    if (msg.Kind != TMessageKind::MouseUp || msg.Button != window::mbLeft) return true;
    ReleaseCapture();
    TECFormButton* pressed = FPressedButton;
    FPressedButton = nullptr;
    if (!pressed) return false;
    pressed->SetButtonState(0);
    // The next move over it makes it hot again.
    if (FHotButton == pressed) FHotButton = nullptr;
    if (ButtonAt(x, y) == pressed) {
      Execute(*pressed);
      FrameChanged();
    }
    return true;
  }
  if (!Skinned() || FForm->FrameHit({x, y}) == forms::TFrameHit::Client) {
    // Back in the client area: no button is hot any more.
    if (msg.Kind == TMessageKind::MouseMove || msg.Kind == TMessageKind::MouseEnter) SetHot(nullptr);
    return false;
  }
  const bool onCaption = FForm->FrameHit({x, y}) == forms::TFrameHit::Caption;
  switch (msg.Kind) {
    case TMessageKind::MouseEnter:
    case TMessageKind::MouseMove:
      FForm->FrameMouse(msg);
      if (!FPressedButton) SetHot(onCaption ? ButtonAt(x, y) : nullptr);
      return true;
    case TMessageKind::MouseDown: {
      if (msg.Button != window::mbLeft) return true;
      if (msg.Shift & window::ssDouble) {
        // A double click on the caption maximises or restores a form that
        // has both buttons among its own border icons.
        const forms::TBorderIcons both = forms::biMinimize | forms::biMaximize;
        if (!FPressedButton && (FForm->BorderIcons() & both) == both)
          SysCommand(FForm->WindowState() == forms::TWindowState::wsNormal ? forms::TWindowState::wsMaximized
                                                                             : forms::TWindowState::wsNormal);
        return true;
      }
      FPressedButton = onCaption ? ButtonAt(x, y) : nullptr;
      if (!FPressedButton) {
        FForm->FrameMouse(msg);
        return true;
      }
      FPressedButton->SetButtonState(2);
      FCaptureActive = true;
      if (window::TWindowSystem::Exists()) window::TWindowSystem::Current().SetCapture(&FForm->Window());
      return true;
    }
    default: return true;
  }
}
