#pragma once
// Pages of real files drawn as a shown view draws them (its paper through
// DrawPageBackground, then DrawPageContent at the view's zoom), and the comparison
// of a picture with its reviewed reference.

#include <string>

#include "platform/canvas/Bitmap.h"

class TKVWindow;

// Page Index of the view's score with Margin pixels of Around on every side.
canvas::TBitmap DrawPageImage(TKVWindow& View, int32_t Index, int Margin = 0, canvas::TColor Around = canvas::clWhite);

// Fresh against tests/render/reference/<Name>.png, which a person has
// looked at. It differs when more than 0.2 % of the pixels, or more than 12
// of any 8 x 8 block, differ by more than 48 in a channel; then
// <Name>-actual.png and <Name>-diff.png go to the build's render-pages
// folder. The pixels are not compared when the fonts' SHA-256 sums differ
// from those recorded with the references (the message says which font and
// how to refresh). SONARID_REFRESH_REFERENCES=1 rewrites the reference and
// the sums instead.
struct TReferenceResult {
  bool Compared = false;
  bool Differs = false;
  std::string Message;
};
TReferenceResult CompareWithReference(const canvas::TBitmap& Fresh, const std::string& Name);
