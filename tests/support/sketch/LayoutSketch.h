#pragma once
// A picture of a composed page for people to look at: the page frame, each
// system's box, each measure's left and right edge, and the lines of every
// shown staff spread evenly between its inner top and bottom, one pixel per
// screen pixel (a layout unit is 1/8 of one).

#include <cstdint>
#include <string>

#include "platform/canvas/Bitmap.h"

struct TKVPageRecord;

canvas::TBitmap SketchPage(const TKVPageRecord& Page, int32_t PageWidth, int32_t PageHeight);
