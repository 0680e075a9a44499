#pragma once
// Drawing shared by the standard controls: UTF-8 text in a rectangle with
// "&" mnemonics, and the classic raised and sunken 3D edges.

#include <string>

#include "platform/canvas/Canvas.h"

namespace forms {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Width and height of UTF-8 text in the canvas font.
canvas::TSize TextSize(canvas::TCanvas& canvas, const std::string& text);
// The text without its "&" marks ("&&" is one "&"), and the index (in
// UTF-16 units) of the character a single "&" marks, -1 when none.
std::u16string StripMnemonic(const std::string& text, int& mnemonicIndex);
// A letter in upper case (the Latin, Latin-1 and Cyrillic letters that
// captions mark), so that a typed letter and a marked one compare; other
// characters as they are.
char32_t FoldedLetter(char32_t c);
// The letter a caption marks with "&", folded; 0 for none.
char32_t MnemonicLetter(const std::string& caption);
// Draws one line of UTF-8 text inside R (clipped to it), placed by Align
// and centred vertically, with a clear brush. With Mnemonics the "&" marks
// are removed and the marked character is underlined.
void DrawText(canvas::TCanvas& canvas, const std::string& text, const canvas::TRect& r, TAlignment align,
              bool mnemonics = false);
// A one-pixel frame: top and left in one colour, bottom and right in another.
void Frame3D(canvas::TCanvas& canvas, const canvas::TRect& r, canvas::TColor topLeft, canvas::TColor bottomRight);
// The classic two-pixel edge of buttons (raised) and of edit fields (sunken).
void DrawEdge(canvas::TCanvas& canvas, const canvas::TRect& r, bool raised);
// A filled rectangle in one colour.
void FillSolid(canvas::TCanvas& canvas, const canvas::TRect& r, canvas::TColor color);

// The classic frame controls: a push button, or a scroll-bar button with
// its arrow. Raised by default, flat framed in the shadow colour; pushed,
// it is sunken (flat: framed as ever) with its arrow one pixel further
// right and down; an inactive arrow is engraved. The canvas's pen and
// brush are kept.
enum TFrameControl : uint8_t { fcButtonPush, fcScrollUp, fcScrollDown, fcScrollLeft, fcScrollRight };
enum TFrameControlState : unsigned { fcsInactive = 0x100, fcsPushed = 0x200, fcsFlat = 0x4000 };
void DrawFrameControl(canvas::TCanvas& canvas, const canvas::TRect& r, TFrameControl kind, unsigned state);

}  // namespace forms
