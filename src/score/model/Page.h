#pragma once
// Page settings of a score: paper size and orientation, page size, margins,
// interval and line spacing, background and the book, turn and auto-size
// options. Lengths are held in tenths of a millimetre as 80-bit extended
// floats inside the page's 132-byte data block (the score file carries the
// block byte for byte); the published length properties read and write them
// in the unit chosen by Metrix. A change that affects the layout asks the
// owning score to lay out again and to repaint its views.

#include <cstdint>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/DisplayUnits.h"
#include "score/model/PageBackground.h"

class TKVScore;
class TStream;

enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

enum class TKVPaperSize : uint8_t {
  Default, Letter, LetterSmall, Tabloid, Ledger, Ligal, Statement, Executive, A3, A4, A4Small, A5, B4, B5,
  Folio, Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, Custom
};

// Selector of GetValue/SetValue (the storage order differs: TopMargin is
// stored before LeftMargin).
enum TKVPageValue : int32_t {
  pvWidth, pvHeight, pvLeftMargin, pvTopMargin, pvRightMargin, pvBottomMargin, pvInterval, pvLineSpace
};

// Portrait width and height of a paper size in millimetres; false for Default
// and Custom, which have no row.
bool PaperDimensions(TKVPaperSize Size, long double& WidthMM, long double& HeightMM);

class TKVPage : public TObject {
public:
  static constexpr uint16_t DataBlockSize = 132;
  // Largest length a page keeps, in tenths of a millimetre (100000 inches);
  // a stored value beyond it, or not finite, is treated as damaged.
  static constexpr long double MaxInternalLength = 25400000.0L;
  // Offsets of the option bytes in the data block.
  static constexpr size_t OrientationByte = 126, PaperSizeByte = 127, MetrixByte = 128;

  explicit TKVPage(TKVScore* Owner);

  TKVScore* Owner() const { return FOwner; }

  // From a page: copies its data block, brush and picture, then (with an
  // owner) lays out, invalidates rulers and views, without firing Changed.
  // Any other source raises EAssignError.
  void Assign(const TObject& Source);

  uint32_t Color() const { return FData.u32(0); }
  void SetColor(uint32_t Color);

  // Length Index (TKVPageValue) in the Metrix unit; 0 for other indexes.
  long double GetValue(int32_t Index) const;
  // Writes length Index in the Metrix unit: values above 100000 are taken as
  // 100000; width and height change only for a Custom paper size.
  void SetValue(int32_t Index, long double Value);
  // Length Index in tenths of a millimetre; 0 for other indexes.
  long double InternalValue(int32_t Index) const;
  // Writes width or height (tenths of a millimetre) as the page composer
  // grows a page: whatever the paper size, kept within 0 ..
  // MaxInternalLength, without notification (a layout never starts
  // another).
  void SetComposedLength(int32_t Index, long double Value);

  long double Width() const { return GetValue(pvWidth); }
  long double Height() const { return GetValue(pvHeight); }
  long double LeftMargin() const { return GetValue(pvLeftMargin); }
  long double TopMargin() const { return GetValue(pvTopMargin); }
  long double RightMargin() const { return GetValue(pvRightMargin); }
  long double BottomMargin() const { return GetValue(pvBottomMargin); }
  long double Interval() const { return GetValue(pvInterval); }
  long double LineSpace() const { return GetValue(pvLineSpace); }
  void SetWidth(long double V) { SetValue(pvWidth, V); }
  void SetHeight(long double V) { SetValue(pvHeight, V); }
  void SetLeftMargin(long double V) { SetValue(pvLeftMargin, V); }
  void SetTopMargin(long double V) { SetValue(pvTopMargin, V); }
  void SetRightMargin(long double V) { SetValue(pvRightMargin, V); }
  void SetBottomMargin(long double V) { SetValue(pvBottomMargin, V); }
  void SetInterval(long double V) { SetValue(pvInterval, V); }
  void SetLineSpace(long double V) { SetValue(pvLineSpace, V); }

  // The option bytes are kept as stored; an unknown orientation reads as
  // portrait, an unknown paper size as Custom and an unknown unit as mm.
  TPrinterOrientation Orientation() const { return FData.u8(126) == poLandscape ? poLandscape : poPortrait; }
  TKVPaperSize PaperSize() const;
  TKVMetrix Metrix() const;
  bool Book() const { return FData.u8(129) != 0; }
  bool Turn() const { return FData.u8(130) != 0; }
  bool AutoSize() const { return FData.u8(131) != 0; }
  void SetOrientation(TPrinterOrientation Value);
  void SetPaperSize(TKVPaperSize Value);
  void SetMetrix(TKVMetrix Value);
  void SetBook(bool Value);
  void SetTurn(bool Value);
  void SetAutoSize(bool Value);

  const TKVBrush& Brush() const { return FBrush; }
  const TKVPicture& Picture() const { return FPicture; }
  void SetBrush(const TKVBrush& Value);
  void SetPicture(const TKVPicture& Value);

  // Lengths in screen pixels whatever Metrix is, rounded half to even; the
  // width counts half in book layout.
  int32_t GetWidthPixels() const;
  int32_t GetHeightPixels() const;
  int32_t GetLeftMarginPixels() const;
  int32_t GetTopMarginPixels() const;
  int32_t GetRightMarginPixels() const;
  int32_t GetBottomMarginPixels() const;

  // Switches the unit without notification until PopMetrix (one level).
  void PushMetrix(TKVMetrix Unit);
  void PopMetrix();

  // Calls the owning score's Changed.
  void Changed();

  // Reads a page record: 32-bit length, 16-bit version, then (version not 0)
  // a 16-bit block size and the block, of which the first 132 bytes are
  // taken. Leaves the stream at the record's end. A record that claims more
  // bytes than the stream holds, or fewer than its own fields, raises
  // EReadError. Damaged lengths keep their previous values. No notification.
  void ReadData(TStream& Stream);

  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return DataBlockSize; }

  // The fields of an older score file's page block, stored as read and
  // without notification: a length (TKVPageValue, tenths of a millimetre)
  // that is damaged as ReadData judges it keeps its value; the option bytes
  // are kept as they are.
  void StoreLength(int32_t Index, const TExtended80& Raw);
  void StoreOrientationByte(uint8_t Value) { FData.setU8(OrientationByte, Value); }
  void StorePaperSizeByte(uint8_t Value) { FData.setU8(PaperSizeByte, Value); }
  void StoreMetrixByte(uint8_t Value) { FData.setU8(MetrixByte, Value); }

private:
  void SetInternal(int32_t Index, long double Value);
  int32_t Pixels(int32_t Index) const;
  void Notify();
  void BrushChanged();
  void PictureChanged();
  void LayoutChanged(bool rulers);
  void SetOption(size_t offset, uint8_t value);

  TByteBlock FData{DataBlockSize};
  TKVBrush FBrush;
  TKVPicture FPicture;
  TKVScore* FOwner;
  uint8_t FSavedMetrix = rmMM;
  bool FAssigning = false;
};
