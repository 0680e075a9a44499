#include "platform/forms/Edit.h"

#include <algorithm>

#include "base/Utf8.h"
#include "platform/forms/ControlPaint.h"
#include "platform/window/WindowSystem.h"

namespace forms {

namespace {
constexpr int kMargin = 4;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetColor(canvas::clWindow);
  SetCursor(window::crIBeam);
  SetBounds(0, 0, 121, 21);
}

void TEdit::SetSelStart(int pos) {
  FCaret = FSelEnd = std::min(size_t(std::max(0, pos)), Text().size());
  Invalidate();
}

void TEdit::SelectAll() {
  FCaret = 0;
  FSelEnd = Text().size();
  Invalidate();
}

void TEdit::TextChanged() {
  FCaret = std::min(FCaret, Text().size());
  FSelEnd = std::clamp(FSelEnd, FCaret, Text().size());
  Invalidate();
  if (OnChange) OnChange(this);
}

void TEdit::Insert(const std::string& s) {
  if (ReadOnly) return;
  std::string text = Text();
  text.replace(FCaret, FSelEnd - FCaret, s);
  if (MaxLength > 0 && text.size() > size_t(MaxLength)) return;
  const size_t caret = FCaret + s.size();
  FCaret = FSelEnd = caret;
  SetText(text);
}

size_t TEdit::OffsetAt(int x) {
  // The character boundary nearest to X.
  const std::string& text = Text();
  size_t best = 0;
  int bestDistance = std::abs(kMargin - FScroll - x);
  for (size_t i = 0; i < text.size();) {
    i = NextUtf8(text, i);
    const int distance = std::abs(kMargin - FScroll + TextSize(Canvas(), text.substr(0, i)).Cx - x);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

void TEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseDown(button, shift, x, y);
  if (button == window::mbLeft) SetSelStart(int(OffsetAt(x)));
}

void TEdit::DoEnter() {
  TWinControl::DoEnter();
  SelectAll();
}

void TEdit::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  const std::string& text = Text();
  const bool ctrl = shift & window::ssCtrl;
  switch (key) {
    case window::VK_LEFT: SetSelStart(int(FSelEnd > FCaret ? FCaret : PriorUtf8(text, FCaret))); break;
    case window::VK_RIGHT: SetSelStart(int(FSelEnd > FCaret ? FSelEnd : NextUtf8(text, FCaret))); break;
    case window::VK_HOME: SetSelStart(0); break;
    case window::VK_END: SetSelStart(int(text.size())); break;
    case window::VK_DELETE:
      if (FSelEnd == FCaret) FSelEnd = NextUtf8(text, FCaret);
      Insert("");
      break;
    default:
      if (ctrl && key == 'A') SelectAll();
      if (ctrl && key == 'C' && FSelEnd > FCaret && window::TWindowSystem::Exists())
        window::TWindowSystem::Current().SetClipboardText(text.substr(FCaret, FSelEnd - FCaret));
      if (ctrl && key == 'V' && window::TWindowSystem::Exists()) {
        std::string pasted = window::TWindowSystem::Current().GetClipboardText();
        pasted.erase(std::remove_if(pasted.begin(), pasted.end(), [](char c) { return c == '\r' || c == '\n'; }),
                     pasted.end());
        Insert(pasted);
      }
      break;
  }
}

void TEdit::KeyPress(char32_t& key) {
  TWinControl::KeyPress(key);
  if (key == 8) {
    if (FSelEnd == FCaret) FCaret = PriorUtf8(Text(), FCaret);
    Insert("");
  } else if (key >= 32 && key != 127) {
    std::string s;
    AppendUtf8(s, key);
    Insert(s);
  }
}

void TEdit::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, IsEnabled() && !ReadOnly ? Color() : canvas::clBtnFace);
  DrawEdge(c, r, false);
  const std::string& text = Text();
  // Keep the caret inside the field.
  const int caretX = TextSize(c, text.substr(0, FCaret)).Cx;
  const int room = std::max(1, Width() - 2 * kMargin);
  if (caretX - FScroll > room) FScroll = caretX - room;
  if (caretX < FScroll) FScroll = caretX;
  const TRect field{2, 2, r.Right - 2, r.Bottom - 2};
  c.Save();
  c.IntersectClipRect(field);
  const int x0 = kMargin - FScroll;
  const bool focused = Focused();
  if (focused && FSelEnd > FCaret) {
    const int a = x0 + caretX, b = x0 + TextSize(c, text.substr(0, FSelEnd)).Cx;
    FillSolid(c, {a, field.Top + 1, b, field.Bottom - 1}, canvas::clHighlight);
  }
  c.Font.Color = IsEnabled() ? Font().Color : canvas::clGrayText;
  DrawText(c, text, {x0, field.Top, x0 + TextSize(c, text).Cx + 1, field.Bottom}, taLeftJustify);
  if (focused && FSelEnd > FCaret) {
    // The selected part again, in the highlight text colour.
    const int a = x0 + caretX, b = x0 + TextSize(c, text.substr(0, FSelEnd)).Cx;
    c.Save();
    c.IntersectClipRect({a, field.Top, b, field.Bottom});
    c.Font.Color = canvas::clHighlightText;
    DrawText(c, text, {x0, field.Top, x0 + TextSize(c, text).Cx + 1, field.Bottom}, taLeftJustify);
    c.Restore();
  }
  if (focused && FSelEnd == FCaret) FillSolid(c, {x0 + caretX, field.Top + 2, x0 + caretX + 1, field.Bottom - 2}, canvas::clWindowText);
  c.Restore();
}

}  // namespace forms
