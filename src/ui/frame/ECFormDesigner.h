#pragma once
// A skinned window frame: a component dropped on a form that replaces the
// form's frame with pictures. While Active it takes a band around the
// client area (the caption above, the border pieces at the sides and the
// bottom, or a plain outline), paints the caption bar with the form's icon
// and title, the border and the caption buttons, tiles an optional
// wallpaper over the client area, gives the window a rounded or custom
// shape, and handles the mouse in the band itself: buttons turn hot under
// the pointer and act when a press is released over them; elsewhere the
// form does what the system does there (moving by the caption, resizing by
// the border). It takes the form's messages through the form's window hook
// for its whole life, also while it is not active.

#include <functional>
#include <memory>
#include <optional>

#include "platform/forms/Forms.h"
#include "platform/window/Region.h"
#include "ui/frame/ECFormButtons.h"
#include "ui/frame/ECFormCompanions.h"

// The designer's refusals at creation.
class DException : public Exception { using Exception::Exception; };

using TECOnChangeActiveEvent = std::function<void(TObject* Sender, bool AActive)>;
// Sets Rgn to the window's shape; left empty, the window keeps no shape.
using TECOnCreateRgnEvent = std::function<void(TObject* Sender, std::optional<window::TRegion>& Rgn)>;

class TECFormDesigner : public forms::TComponent {
public:
  // Raises DException "Component must be have class" without an owner,
  // "Owner must be a TForm class" when the owner is no form, and "May be
  // only one TECFormDisigner component on the Form" for a second designer;
  // nothing is installed then.
  explicit TECFormDesigner(forms::TComponent* owner);
  // Gives the form back its own window handling.
  ~TECFormDesigner() override;

  bool Active() const { return FActive; }
  void SetActive(bool value);
  // No frame at all: the whole window is client area.
  bool FullScreen() const { return FFullScreen; }
  void SetFullScreen(bool value) { FFullScreen = value; }
  bool FullMaxSize() const { return FFullMaxSize; }
  void SetFullMaxSize(bool value) { FFullMaxSize = value; }
  // Corners of the window's shape when no OnCreateRgn gives one (both non-zero).
  int WidthEllipse() const { return FWidthEllipse; }
  void SetWidthEllipse(int value);
  int HeightEllipse() const { return FHeightEllipse; }
  void SetHeightEllipse(int value);
  TECFormBorder& BorderSetting() { return *FBorder; }
  TECFormCaption& CaptionSetting() { return *FCaption; }
  TECFormButtons& Buttons() { return *FButtons; }
  const canvas::TBitmap& WallPaper() const { return FWallPaper; }
  void SetWallPaper(const canvas::TBitmap& value);

  TECOnChangeActiveEvent OnChangeActive;
  TECOnCreateRgnEvent OnCreateRgn;

  void Loaded() override;
  // Takes over another designer's settings, then recalculates the frame.
  void Assign(const TECFormDesigner& source);

  // Active on a form that no window manager frames: the frame is drawn by
  // the designer. A window the manager frames despite being asked not to
  // is like a docked one: its frame is the host's, one caption only.
  bool Skinned() const { return FActive && FForm && !FForm->ManagerFramed(); }
  // The band the frame takes: left, top (the caption), right, bottom.
  forms::TRect FrameInsets() const;
  // Recalculates the band and repaints the frame.
  void FrameChanged();
  // Applies the window's shape: OnCreateRgn's, else the round rectangle of
  // WidthEllipse x HeightEllipse, else none; none while not skinned.
  void UpdateRegion();

  // The first shown button whose rectangle holds the window point; null when none.
  TECFormButton* ButtonAt(int x, int y);
  // Whether the button shows in the window state, and its place for painting.
  bool ButtonShown(TECFormButton& button, forms::TWindowState state);
  // Its rectangle in the window (after ButtonShown for the same state).
  forms::TRect ButtonRect(const TECFormButton& button, forms::TWindowState state) const;
  // Draws the strip's frame for the button's state (see DrawButton's rule).
  void DrawButton(canvas::TCanvas& canvas, TECFormButton& button, bool active, forms::TWindowState state);
  // Paints the frame on the whole window's canvas: mode 1 as active, 2 as
  // inactive, 0 as the form is.
  void PaintNonClient(canvas::TCanvas& canvas, int mode = 0);
  void PaintWallPaper(canvas::TCanvas& canvas);
  // Runs what the button stands for.
  void Execute(TECFormButton& button);

  TECFormButton* HotButton() const { return FHotButton; }
  TECFormButton* PressedButton() const { return FPressedButton; }
  bool CaptureActive() const { return FCaptureActive; }

private:
  bool WindowHook(window::TMessage& msg);
  bool MouseMessage(window::TMessage& msg);
  void ManagerFrameChanged();
  void SetHot(TECFormButton* button);
  void ReleaseCapture();
  void SysCommand(forms::TWindowState state);
  void CompanionChanged();
  void ButtonChanged(TECFormButton* button, bool geometry);
  forms::TWindowState PaintState() const;

  forms::TCustomForm* FForm = nullptr;
  std::unique_ptr<TECFormBorder> FBorder;
  std::unique_ptr<TECFormCaption> FCaption;
  std::unique_ptr<TECFormButtons> FButtons;
  canvas::TBitmap FWallPaper;
  bool FActive = false;
  bool FFullScreen = false;
  bool FFullMaxSize = false;
  int FWidthEllipse = 0, FHeightEllipse = 0;
  TECFormButton* FPressedButton = nullptr;
  TECFormButton* FHotButton = nullptr;
  forms::TBorderIcons FSavedBorderIcons = 0;
  bool FCaptureActive = false;
  bool FAssigning = false;
  // The window state a minimise, maximise or restore is heading for.
  std::optional<forms::TWindowState> FPendingCommand;
};
