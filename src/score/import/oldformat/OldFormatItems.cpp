// The column records and drawing objects at the end of an older file's
// part record. Each column mark and object is a 16-bit size and that many
// bytes whose first byte says what it is; where its further fields stand in
// those bytes is not known, so marks and objects keep their kind's
// defaults. A size of 0 holds nothing and is passed over.

#include <algorithm>
#include <string_view>

#include "base/Exceptions.h"
#include "base/Utf8.h"
#include "score/import/text/AnsiText.h"
#include "score/import/oldformat/OldFormatReader.h"
#include "score/model/Column.h"
#include "score/model/Image.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/MediaServices.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/StreamStrings.h"

namespace {

constexpr uint8_t NoKind = 0;
constexpr uint8_t VoltaCode = 'W';
constexpr uint8_t TempoCode = 'c';
constexpr int16_t TempoMarkShift = -384;  // of the second offset, score units
constexpr uint16_t RevisionDurationCodes = 0x0353;
constexpr uint16_t PictureFollows = 1;
constexpr uint16_t FirstPictureType = 256, LastPictureType = 260;

// The mark kind of a column mark's letter code; NoKind when none is made.
uint8_t ColumnMarkKind(uint8_t Code) {
  switch (Code) {
    case 'G': return ItemKind::Segno;
    case 'H': case 'I': return ItemKind::Coda;
    case 'J': return ItemKind::DaCapo;
    case 'K': return ItemKind::DalSegno;
    case 'L': return ItemKind::RehearsalMark;
    case 'P': return ItemKind::MeasureNumber;
    case 'Q': return ItemKind::FinalBar;
    case 'R': return ItemKind::DoubleBar;
    case 'U': return ItemKind::RepeatStart;
    case 'V': return ItemKind::RepeatEnd;
    case 'W': return ItemKind::Volta;
    case 'X': return ItemKind::MultiMeasureRest;
    case 'c': return ItemKind::TempoMark;
    default: return NoKind;
  }
}

// Codes of which a column holds one mark per value.
bool SingleInColumn(uint8_t Code) {
  return (Code >= 'G' && Code <= 'L') || std::string_view("QRUVc").find(char(Code)) != std::string_view::npos;
}

// The older duration codes of a tempo mark's beat (2 shl k for the k-th
// shorter note, doubled before the later revisions) as the current ones.
uint8_t DurationCode(uint8_t Code, uint16_t Revision) {
  const int code = Revision < RevisionDurationCodes ? Code * 2 : Code;
  for (uint8_t k = 0; k <= 6; ++k)
    if (code == 128 >> k) return k;
  return Code;
}

// The item kind of a drawing object's first byte; NoKind for none.
uint8_t DrawingKind(uint8_t First) {
  switch (First) {
    case '=': return ItemKind::Text;
    case '>': return ItemKind::Image;
    case '?': return ItemKind::Line;
    case '@': return ItemKind::Rectangle;
    case 'A': return ItemKind::Ellipse;
    case 'B': case 'C': case 'D': return uint8_t(ItemKind::Arc + (First - 'B'));
    default: return NoKind;
  }
}

// A 16-bit size and that many bytes (none for size 0).
std::vector<uint8_t> ReadSized(TStream& Stream) { return Stream.ReadBytes(Stream.ReadU16()); }

}  // namespace

TKVColumn* TKVOldFormatReader::ColumnOf(int32_t Index) {
  if (Index < 0 || Index >= TKVScore::MaxMeasuresOnDemand) return nullptr;
  while (FPiece->GetColumnCount() <= Index) FPiece->NewColumn();
  return FPiece->GetColumn(Index);
}

void TKVOldFormatReader::ReadColumnRecords(TStream& Record) {
  const uint16_t count = Record.ReadU16();
  for (int32_t i = 0; i < count; ++i) {
    TKVColumn* column = ColumnOf(i);
    const uint16_t marks = Record.ReadU16();
    for (uint16_t m = 0; m < marks; ++m) {
      const std::vector<uint8_t> mark = ReadSized(Record);
      if (column && !mark.empty()) AddColumnMark(*column, mark);
    }
  }
}

void TKVOldFormatReader::AddColumnMark(TKVColumn& Column, const std::vector<uint8_t>& Mark) {
  const uint8_t code = Mark[0];
  const uint8_t kind = ColumnMarkKind(code);
  // A volta without its passes (which these bytes hold in places not
  // known) would silence its measure on every pass: it is left out.
  if (kind == ItemKind::Volta) FPassedOver = true;
  if (kind == NoKind || kind == ItemKind::Volta) return;
  auto* mark = static_cast<TKVMark*>(CreateItemByKind(kind, &Column));
  if (code == TempoCode) {
    mark->SetOffsetY(TempoMarkShift);
    mark->SetVariant(DurationCode(mark->Variant(), FRevision));
  }
  if (!SingleInColumn(code)) return;
  for (TKVItem* item : Column.Items())
    if (item != mark && item->Kind() == kind && static_cast<TKVMark*>(item)->Value() == mark->Value()) {
      delete mark;
      return;
    }
}

// The objects belong to the score when the file has one part record, else
// to the part being read.
void TKVOldFormatReader::ReadDrawingObjects(TStream& Record) {
  const uint16_t count = Record.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    const std::vector<uint8_t> object = ReadSized(Record);
    if (!object.empty()) ReadDrawingObject(Record, object);
  }
}

void TKVOldFormatReader::ReadDrawingObject(TStream& Record, const std::vector<uint8_t>& Object) {
  const uint8_t kind = DrawingKind(Object[0]);
  if (kind == NoKind) return;
  TObject* owner = FSinglePart ? static_cast<TObject*>(&FScore) : static_cast<TObject*>(FPart);
  TKVItem* item = CreateItemByKind(kind, owner);
  if (auto* text = dynamic_cast<TKVText*>(item)) {
    std::string value;
    ReadStreamString(Record, value);
    text->SetText1(value);
    const uint16_t lines = Record.ReadU16();
    for (uint16_t l = 0; l < lines; ++l) {
      value.clear();
      ReadStreamString(Record, value);
      text->Lines().push_back(Utf8ToUtf16(AnsiToUtf8(value)));
    }
  } else if (auto* image = dynamic_cast<TKVImage*>(item)) {
    ReadPicture(Record, *image);
  }
}

// The picture header: a presence flag, the picture's type and its byte
// count. The count is checked against the record before anything is taken;
// the bytes of a type that is not known are passed over.
void TKVOldFormatReader::ReadPicture(TStream& Record, TKVImage& Image) {
  const uint16_t flag = Record.ReadU16();
  const uint16_t type = Record.ReadU16();
  const uint32_t length = Record.ReadU32();
  if (flag != PictureFollows) return;
  if (int64_t(length) > Record.Remaining()) throw EReadError();
  const int64_t end = Record.GetPosition() + length;
  if (type >= FirstPictureType && type <= LastPictureType) {
    TKVRecordWindow picture(Record, end);
    MediaServices().LoadPicture(Image.Picture(), type, picture, length);
  }
  Record.SetPosition(end);
}
