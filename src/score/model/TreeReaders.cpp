// The record readers of the score tree: piece, part, staff, voice, measure,
// column and user symbol. Each reads its record through the record frame, so
// a failure inside it costs only the rest of that record.

#include <algorithm>

#include "score/model/Column.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/StreamStrings.h"
#include "score/model/TreeEvents.h"
#include "score/model/UserSymbol.h"
#include "score/model/Voice.h"

namespace {

// Revisions of the file format below which the readers repair older data.
constexpr uint16_t RevisionStaffFlag = 1025;

std::vector<TKVTransposition> ReadTranspositions(TStream& stream) {
  uint16_t count = stream.ReadU16();
  std::vector<uint8_t> bytes = stream.ReadBytes(int64_t(count) * 4);
  std::vector<TKVTransposition> list(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = &bytes[4 * i];
    list[i] = {uint16_t(entry[0] | entry[1] << 8), int16_t(entry[2] | entry[3] << 8)};
  }
  return list;
}

}  // namespace

void TKVPiece::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
    if (version > 1) ReadStreamString(s, FTitle);
    if (version > 2) ReadChildList(s, "Error reading parts", [&] { NewPart()->ReadData(s); });
    if (version > 3) ReadChildList(s, "Error reading columns", [&] { NewColumn()->ReadData(s); });
    for (int i = 0; i < WordListCount; ++i)
      if (version > 4 + i) FWordLists[size_t(i)] = ReadWordArray(s);
    if (version > 9) FByteList = ReadByteArray(s);
  });
  RunGuarded([this] { NotifyItemChanged(FScore, this, nullptr); });
}

void TKVPart::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
    if (version > 1) ReadStreamString(s, FName);
    if (version > 2) {
      ReadChildList(s, "Error reading staffs", [&] { NewStaff()->ReadData(s); });
      ResolveSecondStaffs();
    }
    if (version > 3) {
      ReadChildList(s, "Error reading measures", [&] { NewMeasure()->ReadData(s); });
      StreamPosition = int32_t(std::min<int64_t>(s.GetPosition(), INT32_MAX));
    }
    if (version > 4) ReadItemList(s, this, TKVUnknownItem::Skip, "Error reading score items");
    for (int i = 0; i < WordListCount; ++i)
      if (version > 5 + i) FWordLists[size_t(i)] = ReadWordArray(s);
    if (version > 10) FTranspositions = ReadTranspositions(s);
    if (version > 11) ReadStreamString(s, FSecondName);
    if (version > 12) FByteListB = ReadByteArray(s);
  });
  RunGuarded([this] {
    // Voices read before a failure in the staff list still find their
    // second staff.
    ResolveSecondStaffs();
    if (GetStaffCount() == 0) NewStaff();
    NotifyItemChanged(Score(), this, nullptr);
  });
}

void TKVStaff::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) {
      ReadBlock(s, FData);
      if (FData.u8(StaffBlock::Size100) == 0) FData.setU8(StaffBlock::Size100, 100);
    }
    if (version > 1) ReadChildList(s, "Error reading voices", [&] { NewVoice()->ReadData(s); });
    if (version > 2) {
      std::vector<uint8_t> lines = s.ReadBytes(std::min<int64_t>(LineCount(), StaffBlock::LineArrayBytes));
      std::copy(lines.begin(), lines.end(), FLineArray.begin());
    }
  });
  TKVScore* score = Score();
  if (score && score->FormatRevision() < RevisionStaffFlag) FData.setU8(StaffBlock::OldFileFlag, 1);
  RunGuarded([this, score] { NotifyItemChanged(score, this, nullptr); });
}

void TKVVoice::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
  });
  RunGuarded([this] { NotifyItemChanged(Score(), this, nullptr); });
}

void TKVMeasure::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
    if (version > 1) ReadItemList(s, this, TKVUnknownItem::Raise, "Error reading measure items");
    if (version > 2) {
      std::vector<uint16_t> words = ReadWordArray(s);
      if (!words.empty()) FWords = std::move(words);
    }
    if (version > 3) FStaffBytes = ReadByteArray(s);
  });
  // Also after a failure: the items that were read are beamed.
  RunGuarded([this] { BuildBeamGroups(0, false, nullptr); });
}

void TKVColumn::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
    if (version > 1) ReadItemList(s, this, TKVUnknownItem::Skip, "Error reading column items");
    if (version > 2) {
      std::vector<uint16_t> words = ReadWordArray(s);
      if (!words.empty()) FWords = std::move(words);
    }
  });
}

// The symbol's items do not register themselves with it: the reader appends
// each one as soon as it exists, so that the symbol owns it even when its
// record fails.
void TKVUserSymbol::ReadData(TStream& Stream) {
  ReadRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
    if (version > 1) ReadItemList(s, this, TKVUnknownItem::Skip, nullptr, [this](TKVItem* item) { AppendItem(item); });
  });
}
