#pragma once
// The page's background: a brush (fill style and colour) and a picture kept
// as its encoded bytes with a type code; the renderer decodes and draws them.
// Each reports a change of its value through OnChange.

#include <cstdint>
#include <vector>

#include "base/Object.h"

enum TKVBrushStyle : uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TKVBrush : public TObject {
public:
  uint32_t Color() const { return FColor; }
  TKVBrushStyle Style() const { return FStyle; }
  void SetColor(uint32_t Color);
  void SetStyle(TKVBrushStyle Style);
  // Takes Source's style and colour; OnChange fires when either differs.
  void Assign(const TKVBrush& Source);
  bool SameAs(const TKVBrush& Other) const { return FColor == Other.FColor && FStyle == Other.FStyle; }

  TNotifyEvent OnChange;

private:
  void Changed();
  uint32_t FColor = 0xFFFFFF;
  TKVBrushStyle FStyle = bsSolid;
};

class TKVPicture : public TObject {
public:
  // Graphic type codes as score files store them; 0 = empty.
  enum : uint16_t { gtNone = 0, gtBitmap = 256, gtGIF = 257, gtJPEG = 258, gtIcon = 259, gtMetafile = 260 };

  bool Empty() const { return FType == gtNone; }
  uint16_t GraphicType() const { return FType; }
  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  void SetGraphic(uint16_t Type, std::vector<uint8_t> Bytes);
  void Clear() { SetGraphic(gtNone, {}); }
  void Assign(const TKVPicture& Source) { SetGraphic(Source.FType, Source.FBytes); }
  bool SameAs(const TKVPicture& Other) const { return FType == Other.FType && FBytes == Other.FBytes; }

  TNotifyEvent OnChange;

private:
  uint16_t FType = gtNone;
  std::vector<uint8_t> FBytes;
};
