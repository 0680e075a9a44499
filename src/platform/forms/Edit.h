#pragma once
// A one-line text field. Typed characters go in at the caret (replacing the
// selection); Backspace, Delete, the arrows, Home and End edit and move;
// Ctrl+A selects all, Ctrl+C copies and Ctrl+V pastes through the
// clipboard. Every change of Text, by the user or the program, runs OnChange.
// Focus by the Tab key selects the whole text.

#include "platform/forms/Controls.h"

namespace forms {

class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* owner);

  bool ReadOnly = false;
  // Longest text in bytes the user may type; 0: no limit.
  int MaxLength = 0;
  // Caret and selection, as byte offsets into the UTF-8 text.
  int SelStart() const { return int(FCaret); }
  int SelLength() const { return int(FSelEnd) - int(FCaret); }
  void SetSelStart(int pos);
  void SelectAll();

  TNotifyEvent OnChange;

protected:
  void Paint() override;
  void TextChanged() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(int& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void DoEnter() override;

private:
  // Replaces the selection with S.
  void Insert(const std::string& s);
  size_t OffsetAt(int x);

  size_t FCaret = 0;   // selection start
  size_t FSelEnd = 0;  // selection end (equal to the caret when nothing is selected)
  int FScroll = 0;     // pixels of text scrolled off to the left
};

}  // namespace forms
