#pragma once
// Controls: the visual components of a form. None has a window of its own;
// the form's window holds them all, and each control paints itself with
// the form's canvas moved to its top-left corner and clipped to it. Mouse
// messages go to the topmost visible control under the pointer (its
// coordinates), or to the control holding the mouse capture since a press;
// keys go to the form's active control. Windowed controls (TWinControl) can
// hold child controls and take the keyboard focus.

#include <functional>
#include <string>
#include <vector>

#include "platform/canvas/Canvas.h"
#include "platform/forms/Component.h"
#include "platform/window/Input.h"

namespace forms {

using canvas::TColor;
using canvas::TPoint;
using canvas::TRect;
using window::TMouseButton;
using window::TShiftState;

class TBasicAction;
class TControlActionLink;
class TCustomForm;
class TWinControl;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
using TAnchors = uint8_t;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

// ControlStyle bits: a press captures the mouse until the release; a press
// and release inside make a click.
constexpr unsigned csCaptureMouse = 1, csClickEvents = 2;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  // The form the control is on (the control itself for a form), null when none.
  TCustomForm* ParentForm() const;

  // Geometry in the parent's client coordinates (a form: the screen).
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // The control's client (0, 0) in the pixels of its form's window.
  virtual TPoint WindowOrigin() const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors) { FAnchors = anchors; }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so is every parent up to a shown form.
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  // Enabled, and so is every parent.
  bool IsEnabled() const;

  // Caption and Text are one text (UTF-8).
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& text) { SetText(text); }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& text);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show) { FShowHint = show; }
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  // A control with ParentFont takes its parent's font and follows its
  // changes; setting a font of its own clears ParentFont.
  const canvas::TFont& Font() const { return FFont; }
  void SetFont(const canvas::TFont& font);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool parentFont);
  window::TCursor Cursor() const { return FCursor; }
  // Shows at once while the pointer is over the control.
  void SetCursor(window::TCursor cursor);
  unsigned ControlStyle = csCaptureMouse | csClickEvents;

  // The action the control shows and runs (caption, hint, enabled, checked,
  // visible); null unbinds.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);

  // Repaints the control at the next quiet moment, or at once.
  void Invalidate();
  void Repaint();
  void BringToFront();
  void SendToBack();

  // The form's canvas moved and clipped to the control while Paint runs;
  // outside painting a canvas for measuring text in the control's font.
  canvas::TCanvas& Canvas();

  // Runs OnClick, or else the action.
  virtual void Click();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  void DefineProperties(TPropertyList& props) override;

protected:
  friend class TWinControl;
  friend class TCustomForm;
  friend class TControlActionLink;

  virtual void Paint() {}
  // Mouse, in client coordinates. The defaults run the events.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // A left press and release inside the control: Click by default.
  virtual void MouseClick() { Click(); }
  virtual void DblClick();
  // True when the wheel was used; otherwise the parent is asked.
  virtual bool MouseWheel(TShiftState shift, int wheelDelta, TPoint pos);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // End any mouse mode (drop-down open, drag): a press elsewhere.
  virtual void CancelMode() {}
  virtual void TextChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void EnabledChanged() { Invalidate(); }
  virtual void Resize();
  // A change of the bound action: its properties are copied (CheckDefaults:
  // only over the control's defaults, when the action is bound).
  virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
  virtual TControlActionLink* CreateActionLink();
  TControlActionLink* ActionLink() const { return FActionLink; }
  void Notification(TComponent* component, TOperation operation) override;

  // While a press holds the mouse on this control.
  bool MouseCaptured() const;

private:
  void PaintControl(canvas::TCanvas& canvas);
  void ParentFontChanged();
  void RequestAlign();

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FText;
  std::string FHint;
  bool FShowHint = false;
  TColor FColor = canvas::clBtnFace;
  canvas::TFont FFont;
  bool FParentFont = true;
  window::TCursor FCursor = window::crDefault;
  TControlActionLink* FActionLink = nullptr;
  canvas::TCanvas* FCanvas = nullptr;
};

// A control that paints itself and takes no focus (labels, images).
class TGraphicControl : public TControl {
public:
  using TControl::TControl;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  // Frees the child controls.
  ~TWinControl() override;

  int ControlCount() const { return int(FControls.size()); }
  TControl* Controls(int index) const;  // EListError outside the list
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // The topmost visible child under a client point, null when none.
  TControl* ControlAtPos(TPoint p) const;
  bool ContainsControl(const TControl* control) const;

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool tabStop) { FTabStop = tabStop; }
  int TabOrder() const;
  void SetTabOrder(int order);
  // Showing and enabled, on a form.
  bool CanFocus() const;
  // Makes this the active control of its form and activates the form;
  // nothing when the control cannot take the focus.
  virtual void SetFocus();
  // Has the keyboard focus: the active control of the active form.
  bool Focused() const;
  // The windowed children in tab order.
  std::vector<TWinControl*> TabList() const { return FTabList; }

  // Places the aligned children and moves the anchored ones by the change
  // of the client size.
  void AlignControls();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void SetBounds(int left, int top, int width, int height) override;
  void DefineProperties(TPropertyList& props) override;

protected:
  friend class TCustomForm;
  // Keys from the form; the defaults run the events.
  virtual void KeyDown(int& key, TShiftState shift);
  virtual void KeyUp(int& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  // Keys the control handles itself rather than the form's dialog keys
  // (Tab, Return, Escape).
  virtual bool WantsKey(int key) { (void)key; return false; }
  // Return and Escape offered to every control of a form that no focused
  // control wanted; true when taken (default and cancel buttons).
  virtual bool DialogKey(int key) { (void)key; return false; }
  // Whether typed characters are the control's (text, type-ahead); when
  // the focused control takes none, a letter answers the control whose
  // caption marks it.
  virtual bool TakesCharacters() const { return true; }
  // A letter (folded, FoldedLetter) offered to every control of a form:
  // typed with Alt, or while the focused control takes no characters; true
  // when taken (a button whose caption marks it).
  virtual bool DialogChar(char32_t letter) { (void)letter; return false; }
  // The focus moved into (out of) this control or one of its children.
  virtual void DoEnter();
  virtual void DoExit();
  // The control got or lost the keyboard focus.
  virtual void FocusChanged(bool focused) { (void)focused; Invalidate(); }
  void DestroyChildren();

private:
  friend class TControl;
  void PaintChildren(canvas::TCanvas& canvas);
  std::vector<TControl*> FControls;  // bottom to top
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  bool FAligning = false;
  int FClientWidth = 0, FClientHeight = 0;  // the client size the anchors were last applied for
};

// A windowed control that paints itself (the base of the program's own
// controls).
class TCustomControl : public TWinControl {
public:
  using TWinControl::TWinControl;
};

}  // namespace forms
