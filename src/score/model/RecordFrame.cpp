#include "score/model/RecordFrame.h"

#include <algorithm>
#include <exception>

#include "base/Exceptions.h"
#include "score/model/Item.h"
#include "score/model/ItemFactory.h"

TKVRecordWindow::TKVRecordWindow(TStream& Parent, int64_t End)
    : FParent(Parent), FStart(Parent.GetPosition()), FPosition(FStart) {
  FEnd = std::max(FStart, std::min(End, Parent.GetSize()));
  auto* outer = dynamic_cast<TKVRecordWindow*>(&Parent);
  FDepth = outer ? outer->FDepth + 1 : 1;
}

int64_t TKVRecordWindow::Read(void* Buffer, int64_t Count) {
  Count = std::clamp<int64_t>(Count, 0, FEnd - FPosition);
  int64_t got = Count ? FParent.Read(Buffer, Count) : 0;
  FPosition += got;
  return got;
}

int64_t TKVRecordWindow::Write(const void*, int64_t) { throw EWriteError(); }

int64_t TKVRecordWindow::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = Origin == TSeekOrigin::soBeginning ? 0 : Origin == TSeekOrigin::soCurrent ? FPosition : FEnd;
  int64_t target = base + Offset;
  if (target < FStart || target > FEnd) throw EReadError();
  if (target != FPosition) FPosition = FParent.Seek(target, TSeekOrigin::soBeginning);
  return FPosition;
}

void ReadRecord(TStream& Stream, const std::function<void(TStream&, uint16_t)>& Body) {
  uint32_t size = Stream.ReadU32();
  TKVRecordWindow record(Stream, Stream.GetPosition() + int64_t(size));
  try {
    if (record.Depth() > MaxRecordDepth) throw EReadError();
    uint16_t version = record.ReadU16();
    Body(record, version);
  } catch (const std::exception&) {
    // The record keeps what it read; its later fields keep their defaults.
  }
  record.Seek(0, TSeekOrigin::soEnd);
}

void SkipBytes(TStream& Stream, int64_t Count) {
  if (Count < 0 || Count > Stream.Remaining()) throw EReadError();
  Stream.Seek(Count, TSeekOrigin::soCurrent);
}

void SkipRecord(TStream& Stream) { SkipBytes(Stream, Stream.ReadU32()); }

void ReadOnto(TStream& Stream, TByteBlock& Block, size_t Count) {
  size_t taken = std::min(Count, Block.Size());
  std::vector<uint8_t> bytes = Stream.ReadBytes(int64_t(taken));
  Block.Overlay(bytes.data(), bytes.size());
  SkipBytes(Stream, int64_t(Count - taken));
}

void ReadBlock(TStream& Stream, TByteBlock& Block) { ReadOnto(Stream, Block, Stream.ReadU16()); }

std::vector<uint16_t> ReadWordArray(TStream& Stream) {
  uint16_t count = Stream.ReadU16();
  std::vector<uint8_t> bytes = Stream.ReadBytes(int64_t(count) * 2);
  std::vector<uint16_t> words(count);
  for (size_t i = 0; i < count; ++i) words[i] = uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return words;
}

std::vector<uint8_t> ReadByteArray(TStream& Stream) { return Stream.ReadBytes(Stream.ReadU16()); }

void ReadChildList(TStream& Stream, const char* LimitText, const std::function<void()>& ReadChild) {
  uint16_t count = Stream.ReadU16();
  if (count > MaxListCount) throw Exception(LimitText);
  for (uint16_t i = 0; i < count; ++i) ReadChild();
}

void ReadItemList(TStream& Stream, TObject* Owner, TKVUnknownItem Unknown, const char* LimitText,
                  const std::function<void(TKVItem*)>& Created) {
  uint16_t count = Stream.ReadU16();
  if (LimitText && count > MaxListCount) throw Exception(LimitText);
  for (uint16_t i = 0; i < count; ++i) {
    uint8_t kind = Stream.ReadU8();
    TKVItem* item = CreateItemByKind(kind, Owner);
    if (!item) {
      if (Unknown == TKVUnknownItem::Raise) throw Exception("Error item");
      SkipRecord(Stream);
      continue;
    }
    if (Created) Created(item);
    item->ReadData(Stream);
  }
}

void RunGuarded(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const std::exception&) {
  }
}
