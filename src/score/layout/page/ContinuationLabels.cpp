#include "score/layout/page/ContinuationLabels.h"

#include <algorithm>

#include "score/model/ItemKinds.h"

TKVContinuationLabel ContinuationLabel(uint8_t Kind, uint8_t Variant, uint8_t OpeningByte) {
  switch (Kind) {
    case ItemKind::Trill: return {48, uint8_t(Variant >= 1 && Variant <= 4 ? 156 + Variant : 157)};
    case ItemKind::ContinuedGlyph: return {48, uint8_t(Variant >= 1 && Variant <= 8 ? 148 : 0)};
    case ItemKind::WavyLine: return Variant == 0 ? TKVContinuationLabel{32, 159} : TKVContinuationLabel{64, 160};
    case ItemKind::ExtensionLine: return {uint8_t(Variant == 0 ? 24 : 64), 158};
    case ItemKind::Dynamic: return {uint8_t(OpeningByte ? std::min(OpeningByte * 8, 255) : 32), 0};
    case ItemKind::HookedBracket: return {16, 0};
    case ItemKind::OctaveLine: return {32, 0};
    case ItemKind::BarreLine:
    case ItemKind::HarmonicLine: return {64, 0};
    default: return {};
  }
}
