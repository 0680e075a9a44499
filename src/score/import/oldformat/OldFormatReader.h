#pragma once
// The state of one read of an older-generation score file, shared by the
// header, part and item readers (OldFormat*.cpp).
//
// No view is needed: the reader keeps its own current part and makes
// measures, columns and parts itself. A view the score does have gets the
// view state the file stores and follows the reader's part.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class TKVScore;
class TKVScoreView;
class TKVPiece;
class TKVPart;
class TKVStaff;
class TKVMeasure;
class TKVColumn;
class TObject;
class TKVImage;
class TStream;

class TKVOldFormatReader {
public:
  TKVOldFormatReader(TKVScore& Score, TStream& Stream, uint8_t FormatByte);
  void Run();

private:
  // ---- OldFormatHeader.cpp ----
  void ReadHeader();
  void ReadMeter();
  void ReadPageBlock();
  void ReadOldNamedRecords();
  void ReadJoinAndAlign();
  void PutFirstColumn();
  // Four bytes for the view (Read, when there is one) or passed over.
  void ViewValue(void (TKVScoreView::*Read)(TStream&));

  // ---- OldFormatParts.cpp ----
  void ReadPartRecords();
  void ReadPartFields(TStream& Record, std::vector<uint16_t>& Groups);
  void ReadStaffDescriptors(TStream& Record);
  void PassOverVoiceTable(TStream& Record);
  void ReadStaffRecords(TStream& Record, const std::vector<uint16_t>& Groups);
  bool StartsPart(int32_t Staff, int32_t Count, const std::vector<uint16_t>& Groups);
  void ReadStaffRecord(TStream& Record, TKVStaff& Staff);
  void MakePart();
  // Measure Index of Part, made with those before it; nil at or past the
  // score's cap.
  TKVMeasure* MeasureOf(TKVPart& Part, int32_t Index);
  void AddClef(TKVStaff& Staff);
  // The parts from FirstPart on get what every part needs and their rests.
  void CompleteParts(int32_t FirstPart);
  void Finish();

  // ---- OldFormatItems.cpp ----
  TKVColumn* ColumnOf(int32_t Index);
  void ReadColumnRecords(TStream& Record);
  void AddColumnMark(TKVColumn& Column, const std::vector<uint8_t>& Mark);
  void ReadDrawingObjects(TStream& Record);
  void ReadDrawingObject(TStream& Record, const std::vector<uint8_t>& Object);
  void ReadPicture(TStream& Record, TKVImage& Image);

  TKVScore& FScore;
  TStream& FStream;
  const uint8_t FFormatByte;
  TKVScoreView* FView = nullptr;
  TKVPiece* FPiece = nullptr;
  TKVPart* FPart = nullptr;  // the current part
  uint16_t FRevision = 0;
  uint16_t FHeaderVersion = 0;
  uint16_t FMeter = 0x0404;
  uint8_t FMeterSymbol = 0;
  int32_t FMeasureLength = 512;
  int32_t FSecondMarkValue = 0;  // K
  bool FSinglePart = false;      // the file holds exactly one part record
  bool FPassedOver = false;      // contents were passed over (the warning)
  bool FDamaged = false;         // a part or staff record failed part-way (the warning)
  size_t FGroup = 0;             // the grouping table's current entry
  int32_t FGroupPlaced = 0;      // staves placed by the entries before it
};
