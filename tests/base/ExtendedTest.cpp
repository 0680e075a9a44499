#include <gtest/gtest.h>

#include "base/Extended.h"

namespace {

TExtended80 bytes(std::initializer_list<int> b) {
  TExtended80 v;
  int i = 0;
  for (int x : b) v.Bytes[size_t(i++)] = uint8_t(x);
  return v;
}

struct Vector {
  long double value;
  TExtended80 raw;
};

class ExtendedVectors : public ::testing::TestWithParam<Vector> {};

TEST_P(ExtendedVectors, DecodeAndEncodeExactly) {
  const Vector& v = GetParam();
  long double decoded = 0;
  ASSERT_TRUE(TryExtendedToLongDouble(v.raw, decoded));
  EXPECT_EQ(decoded, v.value);
  EXPECT_EQ(ExtendedFromLongDouble(v.value), v.raw);
}

INSTANTIATE_TEST_SUITE_P(
    Known, ExtendedVectors,
    ::testing::Values(Vector{1000.0L, bytes({0, 0, 0, 0, 0, 0, 0, 0xFA, 0x08, 0x40})},
                      Vector{800.0L, bytes({0, 0, 0, 0, 0, 0, 0, 0xC8, 0x08, 0x40})},
                      Vector{100.0L, bytes({0, 0, 0, 0, 0, 0, 0, 0xC8, 0x05, 0x40})},
                      Vector{120.0L, bytes({0, 0, 0, 0, 0, 0, 0, 0xF0, 0x05, 0x40})},
                      Vector{15.875L, bytes({0, 0, 0, 0, 0, 0, 0, 0xFE, 0x02, 0x40})},
                      Vector{2100.0L, bytes({0, 0, 0, 0, 0, 0, 0x40, 0x83, 0x0A, 0x40})},
                      Vector{2970.0L, bytes({0, 0, 0, 0, 0, 0, 0xA0, 0xB9, 0x0A, 0x40})},
                      Vector{0.0L, bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
                      Vector{-2.5L, bytes({0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0})}));

TEST(Extended, RoundTripsAwkwardValues) {
  for (long double v : {1.0L / 3.0L, 254.0L / 96.0L, 1e-4940L, -1e300L, 431.8L, 279.4L}) {
    long double back = 0;
    ASSERT_TRUE(TryExtendedToLongDouble(ExtendedFromLongDouble(v), back)) << double(v);
    EXPECT_EQ(back, v);
  }
}

struct Pattern {
  const char* name;
  TExtended80 raw;
  TExtendedClass cls;
};

class ExtendedPatterns : public ::testing::TestWithParam<Pattern> {};

TEST_P(ExtendedPatterns, ClassifiedAndRejectedWhenNotFinite) {
  const Pattern& p = GetParam();
  EXPECT_EQ(ExtendedClassify(p.raw), p.cls) << p.name;
  long double keep = 42.0L;
  bool finite = p.cls == TExtendedClass::Zero || p.cls == TExtendedClass::Denormal || p.cls == TExtendedClass::Normal;
  EXPECT_EQ(TryExtendedToLongDouble(p.raw, keep), finite) << p.name;
  if (!finite) {
    EXPECT_EQ(keep, 42.0L) << "a rejected value must leave the target alone";
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, ExtendedPatterns,
    ::testing::Values(
        Pattern{"infinity", bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), TExtendedClass::Infinity},
        Pattern{"negative infinity", bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}), TExtendedClass::Infinity},
        Pattern{"quiet NaN", bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}), TExtendedClass::NaN},
        Pattern{"signalling NaN", bytes({1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), TExtendedClass::NaN},
        Pattern{"pseudo-infinity", bytes({0, 0, 0, 0, 0, 0, 0, 0x00, 0xFF, 0x7F}), TExtendedClass::Invalid},
        Pattern{"unnormal", bytes({0, 0, 0, 0, 0, 0, 0, 0x40, 0x08, 0x40}), TExtendedClass::Invalid},
        Pattern{"pseudo-denormal", bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x00}), TExtendedClass::Invalid},
        Pattern{"denormal", bytes({1, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00}), TExtendedClass::Denormal},
        Pattern{"negative zero", bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}), TExtendedClass::Zero}));

}  // namespace
