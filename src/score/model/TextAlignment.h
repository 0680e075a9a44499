#pragma once
// How a text or a lyric places its lines side by side: bits 4-5 of its flag
// byte, 1 centred, 2 right-aligned, anything else (3 too) left. The drawing
// of the lines and the caret in an edited one both start a line where
// AlignedIndent says, so that the caret stands between the drawn characters.

#include <cstdint>

enum class TKVTextAlign : uint8_t { Left, Centre, Right };

inline TKVTextAlign TextAlignOf(uint8_t Flags) {
  switch ((Flags >> 4) & 3) {
    case 1: return TKVTextAlign::Centre;
    case 2: return TKVTextAlign::Right;
    default: return TKVTextAlign::Left;
  }
}

// How far into a box Room wide a line Width wide starts.
inline int64_t AlignedIndent(TKVTextAlign Align, int64_t Room, int64_t Width) {
  switch (Align) {
    case TKVTextAlign::Centre: return (Room - Width) / 2;
    case TKVTextAlign::Right: return Room - Width;
    default: return 0;
  }
}
