#pragma once
// A model object's plain fields, kept as the raw little-endian bytes the score
// file stores. Copying the block copies every field, named or not, and a
// reader can lay S bytes over it while the rest keeps its defaults.
// Every accessor checks its offset: a wrong offset is a programming fault and
// raises ERangeError instead of touching memory outside the block.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Extended.h"
#include "base/LittleEndian.h"

class TByteBlock {
public:
  TByteBlock() = default;
  explicit TByteBlock(size_t size) : FBytes(size, 0) {}

  size_t Size() const { return FBytes.size(); }
  void Resize(size_t size) { FBytes.resize(size, 0); }
  void Clear() { std::fill(FBytes.begin(), FBytes.end(), 0); }

  uint8_t* Data() { return FBytes.data(); }
  const uint8_t* Data() const { return FBytes.data(); }

  uint8_t u8(size_t off) const { return *at(off, 1); }
  int8_t i8(size_t off) const { return int8_t(u8(off)); }
  uint16_t u16(size_t off) const { return le::load16(at(off, 2)); }
  int16_t i16(size_t off) const { return int16_t(u16(off)); }
  uint32_t u32(size_t off) const { return le::load32(at(off, 4)); }
  int32_t i32(size_t off) const { return int32_t(u32(off)); }
  double f64(size_t off) const;
  TExtended80 ext(size_t off) const;
  bool bit(size_t off, int bitIndex) const { return (u8(off) >> bitIndex) & 1; }

  void setU8(size_t off, uint8_t v) { *at(off, 1) = v; }
  void setI8(size_t off, int8_t v) { setU8(off, uint8_t(v)); }
  void setU16(size_t off, uint16_t v) { le::store16(at(off, 2), v); }
  void setI16(size_t off, int16_t v) { setU16(off, uint16_t(v)); }
  void setU32(size_t off, uint32_t v) { le::store32(at(off, 4), v); }
  void setI32(size_t off, int32_t v) { setU32(off, uint32_t(v)); }
  void setF64(size_t off, double v);
  void setExt(size_t off, const TExtended80& v);
  void setBit(size_t off, int bitIndex, bool on) {
    uint8_t& b = *at(off, 1);
    b = on ? uint8_t(b | (1u << bitIndex)) : uint8_t(b & ~(1u << bitIndex));
  }

  // Copies Count bytes from Src into the block at Off (checked).
  void Write(size_t off, const void* src, size_t count);
  void Read(size_t off, void* dst, size_t count) const;

  // Lays Count bytes over the start of the block: bytes beyond the block are
  // ignored, block bytes beyond Count keep their values.
  void Overlay(const uint8_t* src, size_t count);

  bool operator==(const TByteBlock& other) const { return FBytes == other.FBytes; }

private:
  // Inline: the fields are read on every pass over a score; only the fault
  // is out of line.
  uint8_t* at(size_t off, size_t width) {
    if (off > FBytes.size() || width > FBytes.size() - off) [[unlikely]]
      RaiseRange(off);
    return FBytes.data() + off;
  }
  const uint8_t* at(size_t off, size_t width) const { return const_cast<TByteBlock*>(this)->at(off, width); }
  [[noreturn]] static void RaiseRange(size_t off);

  std::vector<uint8_t> FBytes;
};
