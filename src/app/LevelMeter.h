#pragma once
// What the level monitor draws of one buffer of recorded PCM: the waveform
// polygon (per pixel column one frame; the upper edge left to right, then
// the lower edge right to left, symmetric about the middle) and the peak of
// each channel over those frames, with the heights of the two level bars;
// and whether the buffer ends in silence.

#include <cstdint>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "platform/codec/WaveFormat.h"

struct TLevelReading {
  // Two points per column drawn: as many columns as the meter is wide, but
  // no more than the buffer holds frames.
  std::vector<canvas::TPoint> Points;
  // 16 bits: largest magnitude, at most 32767; 8 bits: at most 128.
  int LeftPeak = 0, RightPeak = 0;
};

// Data holds Bytes recorded bytes in Format (8 or 16 bits, 1 or 2 channels).
TLevelReading ReadLevels(const uint8_t* Data, uint32_t Bytes, const codec::TWaveFormat& Format, int Width,
                         int Height);

// How many frames at the end of Data (Bytes recorded bytes in Format) stay
// below -60 dBFS on every channel: the level under which the input counts
// as silent.
uint32_t QuietFramesAtEnd(const uint8_t* Data, uint32_t Bytes, const codec::TWaveFormat& Format);

// Heights of the green part of the left and right bar for their client
// height, within 0..ClientHeight; a bar the format leaves out gets 0.
int LeftBarHeight(const TLevelReading& Reading, const codec::TWaveFormat& Format, int ClientHeight);
int RightBarHeight(const TLevelReading& Reading, const codec::TWaveFormat& Format, int ClientHeight);
