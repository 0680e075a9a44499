#include "support/forms/FormsTestSupport.h"

namespace forms::test {

FormsTest::FormsTest() {
  auto host = std::make_unique<window::THeadlessHost>();
  Host = host.get();
  App = std::make_unique<TApplication>(std::move(host));
}

FormsTest::~FormsTest() { App.reset(); }

TForm* FormsTest::MakeForm() {
  auto* form = new TForm(App.get());
  form->SetBounds(100, 100, 400, 300);
  form->Show();
  Pump();
  return form;
}

void FormsTest::MoveToScreen(TPoint p) {
  Host->MoveMouse({p.X, p.Y});
  Pump();
}

void FormsTest::ClickScreen(TPoint p) {
  Host->Click({p.X, p.Y});
  Pump();
}

void FormsTest::Key(int key, window::TShiftState modifiers) {
  Host->SetModifiers(modifiers);
  Host->KeyDown(key);
  Host->KeyUp(key);
  Host->SetModifiers(0);
  Pump();
}

void FormsTest::Type(const std::string& utf8) {
  Host->TypeText(utf8);
  Pump();
}

uint32_t FormsTest::PixelAt(const TControl* control, TPoint client) { return PixelIn(Snapshot(), control, client); }

window::TScreenImage FormsTest::Snapshot() {
  Pump();
  return Host->Screenshot();
}

uint32_t FormsTest::PixelIn(const window::TScreenImage& shot, const TControl* control, TPoint client) const {
  const TPoint p = ScreenOf(control, client);
  return shot.Pixel(p.X, p.Y);
}

}  // namespace forms::test
