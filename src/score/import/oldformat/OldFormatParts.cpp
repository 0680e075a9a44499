// The part records of an older-generation score file and the staff records
// inside them, and what every part gets once its record is read.
//
// Part and staff records begin with a marker byte and a 32-bit length
// counted from that byte. Each is read through a window that ends where the
// length says: nothing it declares reaches the next record, a failure inside
// it moves to its end, and an end before what was already read leaves the
// stream where it stands (the reader never moves backwards).

#include <algorithm>
#include <exception>
#include <functional>
#include <string>

#include "base/Exceptions.h"
#include "score/import/oldformat/OldFormatReader.h"
#include "score/import/oldformat/OldScoreFile.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"
#include "score/model/StreamStrings.h"
#include "score/model/Voice.h"

namespace {

constexpr uint8_t PartMarker = 251, StaffMarker = 252;
constexpr uint16_t Revision0280 = 0x0280, Revision0355 = 0x0355;
constexpr size_t PartByte4 = 4;
constexpr size_t StaffByte0 = 0;
constexpr size_t DescriptorBytes = 16;

// Reads the record at the stream's position when its marker is Marker
// (false, with only the marker read, when it is not). Another marker and a
// body that fails set Damaged.
bool ReadMarkedRecord(TStream& Stream, uint8_t Marker, bool& Damaged, const std::function<void(TStream&)>& Body) {
  const int64_t start = Stream.GetPosition();
  if (Stream.ReadU8() != Marker) {
    Damaged = true;
    return false;
  }
  const uint32_t length = Stream.ReadU32();
  TKVRecordWindow record(Stream, start + int64_t(length));
  try {
    Body(record);
  } catch (const std::exception&) {
    // The record keeps what it read; the file's warning says the rest was not.
    Damaged = true;
  }
  record.Seek(0, TSeekOrigin::soEnd);
  return true;
}

uint8_t LowByte(int32_t Value) { return uint8_t(Value); }

// The alignment code of a staff descriptor for the system it stands for.
uint8_t DescriptorAlign(const uint8_t* d) {
  if (d[12] == 0) return 0;
  switch (d[14]) {
    case 0: return d[13] ? 10 : 12;
    case 1: return 50;
    case 2: return uint8_t(d[15] + 100);
    default: return 0;
  }
}

}  // namespace

void TKVOldFormatReader::Run() {
  try {
    ReadHeader();
    PutFirstColumn();
    ReadPartRecords();
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
  FScore.Changed();
}

// The part and staff counts are limited as in the current generation: each
// record makes a part (or a staff), and tens of thousands of them, a byte
// each in a damaged file, would keep the program busy for a long time.
void TKVOldFormatReader::ReadPartRecords() {
  const uint16_t count = FStream.ReadU16();
  if (count > MaxListCount) throw Exception("Error reading parts");
  FSinglePart = count == 1;
  for (uint16_t i = 0; i < count; ++i) {
    const int32_t first = FPiece->GetPartCount();
    FPart = FPiece->NewPart();
    if (FView) FView->SetActivePart(i);
    try {
      ReadMarkedRecord(FStream, PartMarker, FDamaged, [&](TStream& record) {
        std::vector<uint16_t> groups;
        ReadPartFields(record, groups);
        MeasureOf(*FPart, 0);
        ReadStaffRecords(record, groups);
        ReadColumnRecords(record);
        ReadDrawingObjects(record);
      });
    } catch (...) {
      CompleteParts(first);
      throw;
    }
    CompleteParts(first);
  }
  if (FView) FView->SetActivePart(0);
}

void TKVOldFormatReader::ReadPartFields(TStream& Record, std::vector<uint16_t>& Groups) {
  TByteBlock& data = FPart->Data();
  const uint16_t v = Record.ReadU16();
  if (v >= 1) data.setU8(PartBlock::Program, LowByte(Record.ReadI32()));
  if (v >= 2) {
    std::string name;
    ReadStreamString(Record, name);
    FPart->SetName(name);
  }
  if (v >= 3) data.setU8(PartBlock::Channel, LowByte(Record.ReadI32()));
  if (v >= 4) data.setU8(PartByte4, Record.ReadU8());
  if (v >= 5) SkipBytes(Record, 4);
  if (v >= 6) ReadStaffDescriptors(Record);
  if (v >= 7) PassOverVoiceTable(Record);
  if (v >= 8) SkipBytes(Record, 1);
  if (v >= 9) Groups = ReadWordArray(Record);
  if (v >= 10) SkipBytes(Record, 1);
  if (v >= 11) data.setU8(PartBlock::Volume, LowByte(Record.ReadI32()));
  if (v >= 12) data.setU8(PartBlock::Pan, LowByte(Record.ReadI32()));
}

// Each descriptor gives its staff's entries in the system spacing arrays
// and in the alignment table, of the piece when the file holds one part,
// else of the part.
void TKVOldFormatReader::ReadStaffDescriptors(TStream& Record) {
  const uint16_t count = Record.ReadU16();
  std::vector<uint16_t>& left = FSinglePart ? FPiece->SpacingArray(1) : FPart->SpacingArray(1);
  std::vector<uint16_t>& right = FSinglePart ? FPiece->SpacingArray(2) : FPart->SpacingArray(2);
  std::vector<uint8_t>& align = FSinglePart ? FPiece->ByteList() : FPart->ByteListB();
  left.assign(count, 0);
  right.assign(count, 0);
  align.assign(count, 0);
  const bool sized = FRevision >= Revision0355;
  const size_t size = sized ? Record.ReadU8() : 12;
  for (uint16_t i = 0; i < count; ++i) {
    if (FRevision < Revision0280) SkipBytes(Record, 12);  // three 32-bit values before the data
    uint8_t d[DescriptorBytes] = {};
    const size_t taken = std::min(size, DescriptorBytes);
    Record.ReadBuffer(d, int64_t(taken));
    SkipBytes(Record, int64_t(size - taken));
    if (FRevision >= Revision0280) SkipBytes(Record, int64_t(Record.ReadU16()) * 4);
    left[i] = uint16_t((d[0] | d[1] << 8) * 8);
    right[i] = uint16_t(-(d[4] | d[5] << 8) * 8);
    align[i] = DescriptorAlign(d);
  }
}

// Part version 7: a table of the voices' older settings, passed over.
void TKVOldFormatReader::PassOverVoiceTable(TStream& Record) {
  const uint16_t count = Record.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    SkipBytes(Record, FRevision > Revision0280 ? 3 : 2);
    const int64_t pairs = FRevision < Revision0280 ? FMeasureLength / 8 : Record.ReadU16();
    SkipBytes(Record, pairs * 2);
  }
}

// With one part record in the file its staves are spread over parts: by
// the grouping table (numbers of staves per part) as far as it goes, else
// each staff after the first has a part of its own when there are more
// than two.
bool TKVOldFormatReader::StartsPart(int32_t Staff, int32_t Count, const std::vector<uint16_t>& Groups) {
  if (!FSinglePart || Staff == 0) return false;
  if (!Groups.empty() && (Groups[0] & 0xFF) >= Count && Count > 2) return true;
  while (FGroup < Groups.size() && (Groups[FGroup] & 0xFF) == 0) ++FGroup;
  if (FGroup >= Groups.size()) return Count > 2;
  if (Staff < FGroupPlaced + (Groups[FGroup] & 0xFF)) return false;
  FGroupPlaced += Groups[FGroup++] & 0xFF;
  return true;
}

void TKVOldFormatReader::ReadStaffRecords(TStream& Record, const std::vector<uint16_t>& Groups) {
  FGroup = 0;
  FGroupPlaced = 0;
  const uint16_t count = Record.ReadU16();
  if (count > MaxListCount) throw Exception("Error reading staffs");
  for (int32_t j = 0; j < count; ++j) {
    if (StartsPart(j, count, Groups)) MakePart();
    TKVStaff* staff = FPart->NewStaff();
    staff->NewVoice();
    ReadStaffRecord(Record, *staff);
  }
}

void TKVOldFormatReader::MakePart() {
  FPart = FPiece->NewPart();
  if (FView) FView->SetActivePart(FPart->Index());
  MeasureOf(*FPart, 0);
}

void TKVOldFormatReader::ReadStaffRecord(TStream& Record, TKVStaff& Staff) {
  ReadMarkedRecord(Record, StaffMarker, FDamaged, [&](TStream& r) {
    TByteBlock& data = Staff.Data();
    TByteBlock& part = FPart->Data();
    const uint16_t v = r.ReadU16();
    if (v >= 1) data.setU8(StaffBlock::LineCount, uint8_t(r.ReadU16()));
    if (v >= 2 && r.ReadU8() != 0) data.setU8(StaffBlock::LineCount, 5);
    if (v >= 3) {
      const int32_t program = r.ReadI32();
      if (FSinglePart) part.setU8(PartBlock::Program, program >= 0 && program <= 128 ? uint8_t(program) : 0);
    }
    if (v >= 4) {
      std::string text;  // what it meant is not known
      ReadStreamString(r, text);
    }
    if (v >= 5) {
      const int32_t channel = r.ReadI32();
      if (FSinglePart) part.setU8(PartBlock::Channel, LowByte(channel - 1));
    }
    if (v >= 6) data.setU8(StaffByte0, r.ReadU8());
    if (v >= 7) SkipBytes(r, 1);
    if (v >= 8) {
      const int32_t volume = r.ReadI32();
      if (FSinglePart) part.setU8(PartBlock::Volume, LowByte(volume));
    }
    if (v >= 9) {
      const int32_t pan = r.ReadI32();
      if (FSinglePart) part.setU8(PartBlock::Pan, LowByte(pan));
    }
    const uint16_t measures = r.ReadU16();
    if (measures == 0) {
      AddClef(Staff);
      return;
    }
    // The staff's content of each measure takes a byte at least, so a
    // damaged count cannot make more measures than the record has bytes.
    const int64_t count = std::min<int64_t>(measures, r.Remaining());
    for (int32_t i = 0; i < count; ++i) MeasureOf(*FPart, i);
    // Their contents are not read: the record's end is taken.
    if (count > 0) FPassedOver = true;
  });
}

TKVMeasure* TKVOldFormatReader::MeasureOf(TKVPart& Part, int32_t Index) {
  if (Index < 0 || Index >= TKVScore::MaxMeasuresOnDemand) return nullptr;
  while (Part.GetMeasureCount() <= Index) Part.NewMeasure();
  return Part.GetMeasure(Index);
}

// The clef of a staff whose record holds no measure, on that staff.
void TKVOldFormatReader::AddClef(TKVStaff& Staff) {
  TKVMeasure* measure = MeasureOf(*Staff.Part(), 0);
  auto* clef = static_cast<TKVMark*>(CreateItemByKind(ItemKind::Clef, measure));
  clef->SetVariant(1);
  if (Staff.Index() < 16) clef->SetStaffVoice(uint8_t(Staff.Index() << 4));
}

// Every part has a staff with a voice and measure 0 (a part whose record
// was refused or failed early gets them as a staff without measures
// would), and each of its measures gets a whole-measure rest on the first
// voice of every staff, so that it lays out and plays for its length.
void TKVOldFormatReader::CompleteParts(int32_t FirstPart) {
  for (int32_t p = FirstPart; p < FPiece->GetPartCount(); ++p) {
    TKVPart& part = *FPiece->GetPart(p);
    MeasureOf(part, 0);
    if (part.GetStaffCount() == 0) {
      TKVStaff* staff = part.NewStaff();
      staff->NewVoice();
      AddClef(*staff);
    }
    for (int32_t m = 0; m < part.GetMeasureCount(); ++m) part.GetMeasure(m)->FillRests(true, FMeasureLength, true);
  }
}

// Also after a failure: the piece has a part, a column for every measure
// of its longest part (a measure without one is never laid out), and the
// score tells what it lacks.
void TKVOldFormatReader::Finish() {
  std::string warning = FPassedOver ? SOldFileWithoutNotes : "";
  if (FDamaged) warning += (warning.empty() ? "" : "\n") + std::string(SOldFileDamaged);
  if (!warning.empty()) FScore.ImportWarning = warning;
  if (!FPiece) return;
  if (FPiece->GetPartCount() == 0) FScore.NewPart(FPiece);
  int32_t measures = 0;
  for (int32_t p = 0; p < FPiece->GetPartCount(); ++p)
    measures = std::max(measures, FPiece->GetPart(p)->GetMeasureCount());
  ColumnOf(measures - 1);
}

void LoadOldFormat(TKVScore& Score, TStream& Stream, uint8_t FormatByte) {
  TKVOldFormatReader(Score, Stream, FormatByte).Run();
}
