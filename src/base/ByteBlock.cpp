#include "base/ByteBlock.h"

#include <algorithm>
#include <string>

#include "base/Exceptions.h"
#include "base/LittleEndian.h"

void TByteBlock::RaiseRange(size_t off) {
  throw ERangeError("Data block offset " + std::to_string(off) + " out of range");
}

double TByteBlock::f64(size_t off) const { return le::loadDouble(at(off, 8)); }

TExtended80 TByteBlock::ext(size_t off) const {
  TExtended80 v;
  std::copy_n(at(off, 10), 10, v.Bytes.begin());
  return v;
}

void TByteBlock::setF64(size_t off, double v) { le::storeDouble(at(off, 8), v); }
void TByteBlock::setExt(size_t off, const TExtended80& v) { std::copy_n(v.Bytes.begin(), 10, at(off, 10)); }

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
