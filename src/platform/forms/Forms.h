#pragma once
// Forms: the program's windows with the controls on them. A form owns one
// window of the window layer; its Left/Top/Width/Height are the window's
// screen bounds, and its client area is the window less the frame insets a
// skinning component may set (there is no system frame: every window is
// borderless). Closing asks OnCloseQuery, then OnClose decides what happens
// (hide, free, minimise, nothing); closing the main form ends the program.
// ShowModal blocks the other windows until ModalResult is set and the close
// query agrees.

#include <memory>
#include <optional>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FormFrame.h"
#include "platform/window/Window.h"

namespace forms {

enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
enum TFormStyle : uint8_t { fsNormal, fsStayOnTop };
// poOwnerFormCenter centres a form on the form in front when it is shown
// (the active form, else the main form; a form that stays on top, such as a
// tips window, is not one a dialog belongs to), on the screen when there is
// none.
enum TPosition : uint8_t { poDesigned, poScreenCenter, poOwnerFormCenter };
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
// The buttons of the system's caption a form asks for.
using TBorderIcons = uint8_t;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;
using window::TWindowState;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrAll = 8;

// Size limits of a form; 0 means no limit.
struct TSizeConstraints {
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TPaintFrameEvent = std::function<void(TObject* Sender, canvas::TCanvas& Canvas)>;

class TDialogFrame;

class TCustomForm : public TWinControl {
public:
  ~TCustomForm() override;

  window::TWindow& Window() { return *FWindow; }
  const window::TWindow& Window() const { return *FWindow; }

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  void SetClientWidth(int width) { SetWidth(width + FFrame.Left + FFrame.Right); }
  void SetClientHeight(int height) { SetHeight(height + FFrame.Top + FFrame.Bottom); }
  TPoint WindowOrigin() const override { return {FFrame.Left, FFrame.Top}; }
  TSizeConstraints Constraints;

  void SetVisible(bool visible) override;
  bool Showing() const override { return Visible(); }
  TWindowState WindowState() const { return FWindow->WindowState(); }
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TPosition Position = poDesigned;
  // A dialog's frame is the plain one of TDialogFrame, unless a skinning
  // component draws the frame (OnPaintFrame); a sizeable form can be
  // resized by its frame's border.
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  // The form's own icon, shown in its caption (16 x 16).
  const canvas::TBitmap& Icon() const { return FIcon; }
  void SetIcon(const canvas::TBitmap& icon);
  // Keys go to the form's own key events before the active control's.
  bool KeyPreview = false;

  // The control with the focus while the form is active.
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // Moves the focus to the next (previous) control that takes it.
  void SelectNext(bool forward = true);
  bool Active() const;
  void SetFocus() override;
  TControl* CaptureControl() const { return FCaptureControl; }

  int ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result);
  void Close();
  bool CloseQuery();
  // Frees the form once the current message is handled (forms made with new).
  void Release();

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

  // Skinned frames: every window message goes to WindowHook first (window
  // coordinates); true means taken. The frame insets leave a band around
  // the client area that OnPaintFrame paints.
  std::function<bool(window::TMessage& Msg)> WindowHook;
  void SetFrameInsets(const TRect& insets);
  const TRect& FrameInsets() const { return FFrame; }
  TPaintFrameEvent OnPaintFrame;
  // Paints the client area's background in place of the form's colour
  // (client coordinates); false leaves it to the colour.
  std::function<bool(canvas::TCanvas& Canvas)> OnEraseBackground;
  // The part of the window a window point is on, by the frame insets and
  // the border style.
  TFrameHit FrameHit(TPoint windowPos) const;
  // What the system does with a mouse message in the frame band: the
  // cursor of the border under the pointer, and a left press on the
  // caption or a sizing border starts moving or resizing the form.
  void FrameMouse(window::TMessage& msg);
  bool Dragging() const { return FDrag.Active(); }

  // A window manager draws a caption of its own around the form (one may
  // start while the program runs, and frame a window that asked for none).
  bool ManagerFramed() const { return FWindow->ManagerFrame().Top > 0; }

  void InvalidateWindowRect(const TRect& r);
  // Repaints the frame band (the whole window: the band surrounds the client).
  void InvalidateFrame() { InvalidateWindowRect({0, 0, Width(), Height()}); }

protected:
  TCustomForm(TComponent* owner, window::TWindowKind kind, window::TWindow* ownerWindow);
  void Paint() override;
  void TextChanged() override;
  virtual void DoClose(TCloseAction& action);
  virtual void WindowMessage(window::TMessage& msg);

private:
  friend class TControl;
  friend class TWinControl;
  void ControlHidden(TControl* control);
  void PaintWindow(window::TMessage& msg);
  void WindowMoved(window::TMessage& msg);
  // Ends the mouse mode of the focused control (its open drop-down list).
  void CloseDropDowns();
  void HandleMouse(window::TMessage& msg);
  void HandleKey(window::TMessage& msg);
  void HandleActivate(bool active);
  void SetHoverControl(TControl* control, TShiftState shift, TPoint windowPos);
  void ReleaseMouseCapture();
  TControl* ControlAtWindowPos(TPoint p) const;
  TPoint ToControl(const TControl* control, TPoint windowPos) const;
  bool BroadcastDialogKey(TWinControl* container, int key);
  bool BroadcastDialogChar(TWinControl* container, char32_t letter);
  void UpdateCursor();
  void ControlCursorChanged(TControl* control);
  const TCustomForm* CenterOwner() const;

  std::unique_ptr<window::TWindow> FWindow;
  TRect FFrame;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  canvas::TBitmap FIcon;
  std::unique_ptr<TDialogFrame> FDialogFrame;
  TFormDrag FDrag{*this};
  TFormStyle FFormStyle = fsNormal;
  TWinControl* FActiveControl = nullptr;
  TControl* FCaptureControl = nullptr;  // the control pressed until the release
  TControl* FHoverControl = nullptr;
  bool FShownBefore = false;
  bool FInModal = false;
  bool FSuppressChar = false;  // the character of a dialog key already handled
  TModalResult FModalResult = mrNone;
};

class TForm : public TCustomForm {
public:
  explicit TForm(TComponent* owner);
};

// A pop-up window belonging to a control's form: drop-down lists, hints,
// menus. It stays above every window, takes no activation and gets no keys
// (its control handles them); a press outside it and its form sends
// CancelMode to the form's active control.
class TPopupWindow : public TCustomForm {
public:
  // Owner: the control the pop-up belongs to; it must be on a form.
  explicit TPopupWindow(TControl* owner);
  // Shows the pop-up with its top-left corner at a screen point.
  void Popup(TPoint screen);
};

}  // namespace forms
