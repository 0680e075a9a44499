#pragma once
// Shared pieces of the forms tests: an application on a headless host per
// test, and input injected at controls (client coordinates), each followed
// by a pass of the message loop.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/window/HeadlessHost.h"

namespace forms::test {

// A new control owned by its parent's form, placed on the parent.
template <class T>
T* AddControl(TWinControl* parent, int left, int top, int width, int height) {
  T* c = new T(parent->ParentForm());
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

class FormsTest : public ::testing::Test {
protected:
  FormsTest();
  ~FormsTest() override;

  // A shown form at (100, 100), 400 x 300, owned by the application.
  TForm* MakeForm();
  void Pump() { App->ProcessMessages(); }
  TPoint ScreenOf(const TControl* control, TPoint client) const { return control->ClientToScreen(client); }
  void MoveToScreen(TPoint screen);
  void ClickScreen(TPoint screen);
  void MoveTo(const TControl* control, TPoint client) { MoveToScreen(ScreenOf(control, client)); }
  void Click(const TControl* control, TPoint client) { ClickScreen(ScreenOf(control, client)); }
  void Click(const TControl* control) { Click(control, {control->Width() / 2, control->Height() / 2}); }
  void Key(int key, window::TShiftState modifiers = 0);
  void Type(const std::string& utf8);
  // The screen's pixel at a control's client point (0xFFRRGGBB), now or in
  // a screenshot taken before.
  uint32_t PixelAt(const TControl* control, TPoint client);
  window::TScreenImage Snapshot();
  uint32_t PixelIn(const window::TScreenImage& shot, const TControl* control, TPoint client) const;

  window::THeadlessHost* Host;  // owned by App
  std::unique_ptr<TApplication> App;
};

}  // namespace forms::test
