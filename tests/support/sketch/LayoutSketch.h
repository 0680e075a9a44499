#pragma once
// A picture of a composed page for people to look at: the page frame, each
// system's box, each measure's left and right edge, the lines of every
// shown staff spread evenly between its inner top and bottom, the box of
// every drawn display record (notes and rests red, everything else orange,
// the page's own objects green) and every slur from its start to its end
// point (magenta, the ends marked), Zoom pixels per screen pixel (a layout
// unit is 1/8 of one).

#include <cstdint>
#include <string>

#include "platform/canvas/Bitmap.h"

struct TKVPageRecord;

canvas::TBitmap SketchPage(const TKVPageRecord& Page, int32_t PageWidth, int32_t PageHeight, int Zoom = 1);
