#pragma once
// MPEG audio Layer III frame headers, enough to cut a stream of frames (the
// "data" of an MPEG Layer-3 WAVE file) into whole frames for the decoder.

#include <cstdint>

namespace codec::detail {

// The length in bytes of the Layer III frame whose header starts at P (4
// bytes readable), or 0 when P holds no valid header. Free-format frames
// (bit-rate index 0) count as invalid: their length is not in the header.
// Rate, when given, receives the frame's sample rate.
uint32_t Mp3FrameLength(const uint8_t* p, uint32_t* rate = nullptr);

}  // namespace codec::detail
