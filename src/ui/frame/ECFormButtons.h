#pragma once
// The caption buttons of a skinned frame. Each is drawn from a horizontal
// strip of frames Width wide (0 normal, 1 hot, 2 pressed, 3 inactive
// window) and does what its Style says when clicked: restore, minimise,
// maximise, close, or its own OnClick. A change calls the designer's
// callback, with Geometry set when the button's place or size changed.

#include <cstdint>
#include <functional>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Collection.h"

enum TECButtonStyle : uint8_t { bsCustom, bsNormal, bsMinimized, bsMaximized, bsClose };

class TECFormButton;
// May hide the button or move it for the current paint.
using TECButtonShowEvent = std::function<void(TObject* Sender, bool& AVisible, int& X, int& Y)>;
using TECButtonChange = std::function<void(TECFormButton* Button, bool Geometry)>;

class TECFormButton : public forms::TCollectionItem {
public:
  explicit TECFormButton(forms::TCollection* collection);

  int Left() const { return FLeft; }
  void SetLeft(int value) { Set(FLeft, value, true); }
  int Top() const { return FTop; }
  void SetTop(int value) { Set(FTop, value, true); }
  int Width() const { return FWidth; }
  void SetWidth(int value) { Set(FWidth, value, true); }
  int Height() const { return FHeight; }
  void SetHeight(int value) { Set(FHeight, value, true); }
  // Placed from the window's right (bottom) edge.
  bool RightAlign() const { return FRightAlign; }
  void SetRightAlign(bool value) { Set(FRightAlign, value, true); }
  bool BottomAlign() const { return FBottomAlign; }
  void SetBottomAlign(bool value) { Set(FBottomAlign, value, true); }
  TECButtonStyle Style() const { return FStyle; }
  void SetStyle(TECButtonStyle value) { Set(FStyle, value, true); }
  const canvas::TBitmap& Picture() const { return FPicture; }
  void SetPicture(const canvas::TBitmap& value);
  // The strip's pixels of its bottom-left pixel's colour are left out.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { Set(FTransparent, value, false); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { Set(FVisible, value, false); }
  // 0 normal, 1 hot (under the pointer), 2 pressed.
  uint8_t ButtonState() const { return FButtonState; }
  void SetButtonState(uint8_t value) { Set(FButtonState, value, false); }

  TNotifyEvent OnClick;
  TECButtonShowEvent OnShow;

  // The place used for the current paint (normally Left and Top).
  int ShowLeft = 0, ShowTop = 0;
  TECButtonChange OnButtonChange;

private:
  template <class T>
  void Set(T& field, const T& value, bool geometry) {
    if (field == value) return;
    field = value;
    if (OnButtonChange) OnButtonChange(this, geometry);
  }

  int FLeft = 0, FTop = 0, FWidth = 16, FHeight = 14;
  bool FRightAlign = false, FBottomAlign = false;
  TECButtonStyle FStyle = bsCustom;
  canvas::TBitmap FPicture;
  bool FTransparent = false;
  bool FVisible = true;
  uint8_t FButtonState = 0;
};

// Owned by the designer; hands its change callback to every button, also
// to those made before it was set.
class TECFormButtons : public forms::TCollection {
public:
  explicit TECFormButtons(forms::TPersistent* owner);
  TECFormButton* Items(int index) const { return static_cast<TECFormButton*>(TCollection::Items(index)); }
  TECFormButton* Add() { return static_cast<TECFormButton*>(TCollection::Add()); }
  void SetOnButtonChange(TECButtonChange change);
  const TECButtonChange& OnButtonChange() const { return FOnButtonChange; }
  // Copies the buttons of Source (their settings, not their events' owners).
  void Assign(const TECFormButtons& source);

private:
  TECButtonChange FOnButtonChange;
};
