#include "base/ByteBlock.h"

#include <algorithm>
#include <string>

#include "base/Exceptions.h"
#include "base/LittleEndian.h"

uint8_t* TByteBlock::at(size_t off, size_t width) {
  if (off > FBytes.size() || width > FBytes.size() - off)
    throw ERangeError("Data block offset " + std::to_string(off) + " out of range");
  return FBytes.data() + off;
}

const uint8_t* TByteBlock::at(size_t off, size_t width) const {
  return const_cast<TByteBlock*>(this)->at(off, width);
}

uint16_t TByteBlock::u16(size_t off) const { return le::load16(at(off, 2)); }
uint32_t TByteBlock::u32(size_t off) const { return le::load32(at(off, 4)); }
double TByteBlock::f64(size_t off) const { return le::loadDouble(at(off, 8)); }

TExtended80 TByteBlock::ext(size_t off) const {
  TExtended80 v;
  std::copy_n(at(off, 10), 10, v.Bytes.begin());
  return v;
}

void TByteBlock::setU16(size_t off, uint16_t v) { le::store16(at(off, 2), v); }
void TByteBlock::setU32(size_t off, uint32_t v) { le::store32(at(off, 4), v); }
void TByteBlock::setF64(size_t off, double v) { le::storeDouble(at(off, 8), v); }
void TByteBlock::setExt(size_t off, const TExtended80& v) { std::copy_n(v.Bytes.begin(), 10, at(off, 10)); }

void TByteBlock::setBit(size_t off, int bitIndex, bool on) {
  uint8_t b = u8(off);
  b = on ? uint8_t(b | (1u << bitIndex)) : uint8_t(b & ~(1u << bitIndex));
  setU8(off, b);
}

void TByteBlock::Write(size_t off, const void* src, size_t count) {
  if (count == 0) return;
  std::copy_n(static_cast<const uint8_t*>(src), count, at(off, count));
}

void TByteBlock::Read(size_t off, void* dst, size_t count) const {
  if (count == 0) return;
  std::copy_n(at(off, count), count, static_cast<uint8_t*>(dst));
}

void TByteBlock::Overlay(const uint8_t* src, size_t count) {
  std::copy_n(src, std::min(count, FBytes.size()), FBytes.begin());
}
