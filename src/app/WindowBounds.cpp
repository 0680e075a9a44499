#include "app/WindowBounds.h"

#include "base/Strings.h"
#include "platform/forms/Application.h"
#include "ui/IntegerText.h"

void ReadWindowBounds(forms::TIniFile& Ini, const std::string& Section, forms::TCustomForm& Form, bool KeepOnScreen) {
  std::string bounds = Ini.ReadString(Section, "Bounds", "");
  if (bounds.empty()) return;
  int left = CutNextInt(",", bounds, Form.Left());
  int top = CutNextInt(",", bounds, Form.Top());
  const int width = CutNextInt(",", bounds, Form.Width());
  const int height = StrToIntDefault(bounds, Form.Height());
  if (left < -width) left = 0;
  if (top < -height) top = 0;
  if (KeepOnScreen && forms::Screen && forms::Screen->Width() < left) left = 0;
  if (KeepOnScreen && forms::Screen && forms::Screen->Height() < top) top = 0;
  Form.SetBounds(left, top, width, height);
}

void WriteWindowBounds(forms::TIniFile& Ini, const std::string& Section, const forms::TCustomForm& Form) {
  Ini.WriteString(Section, "Bounds",
                  IntToStr(Form.Left()) + "," + IntToStr(Form.Top()) + "," + IntToStr(Form.Width()) + "," +
                      IntToStr(Form.Height()));
}
