#pragma once
// The frame that every record of a score file below the score shares: a
// 32-bit size of the rest of the record, a 16-bit version, then field groups
// of which group n is present when the version exceeds n (group 0 is the
// data block with its 16-bit size).
//
// A record is read through a window that ends where the record ends: no
// field of a record can be taken from the bytes after it, however its sizes
// lie, and the reader never moves backwards. Any failure inside a record is
// kept inside it: the object keeps what was read, the stream moves to the
// record's end and the enclosing reader goes on.

#include <cstdint>
#include <functional>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Streams.h"

class TObject;
class TKVItem;

// A read-only view of a stream from its current position to End. Reads stop
// at End; a seek outside the window raises EReadError. Positions are those
// of the underlying stream.
class TKVRecordWindow : public TStream {
public:
  // End is limited to what Parent holds.
  TKVRecordWindow(TStream& Parent, int64_t End);

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;  // raises EWriteError
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t GetSize() override { return FEnd; }

  // Records read through this window are nested this deep.
  int Depth() const { return FDepth; }

private:
  TStream& FParent;
  int64_t FStart;
  int64_t FEnd;
  int64_t FPosition;
  int FDepth;
};

// Records nested deeper than this are not read (their enclosing record
// fails), so a damaged file cannot exhaust the stack.
constexpr int MaxRecordDepth = 64;

// The most entries a counted list of a score file may announce.
constexpr uint16_t MaxListCount = 10000;

// Reads one record: its size, then the version and Body(Window, Version)
// inside a window over the record. A failure of the size itself reaches the
// caller; every failure after it is swallowed. Returns with the stream at the
// record's end (or at the stream's end when the record claims more).
void ReadRecord(TStream& Stream, const std::function<void(TStream& Record, uint16_t Version)>& Body);

// Reads Count bytes onto the front of Block; those beyond its size are
// passed over.
void ReadOnto(TStream& Stream, TByteBlock& Block, size_t Count);
// Group 0: a 16-bit size S, then S bytes read onto Block.
void ReadBlock(TStream& Stream, TByteBlock& Block);

// Moves Count bytes forward; EReadError when fewer remain.
void SkipBytes(TStream& Stream, int64_t Count);
// Passes over a record by its 32-bit size.
void SkipRecord(TStream& Stream);

// A 16-bit count and that many 16-bit values, or bytes.
std::vector<uint16_t> ReadWordArray(TStream& Stream);
std::vector<uint8_t> ReadByteArray(TStream& Stream);

// A child list: a 16-bit count (above MaxListCount raises LimitText before any
// child exists), then ReadChild once per child.
void ReadChildList(TStream& Stream, const char* LimitText, const std::function<void()>& ReadChild);

// What an item list does with an item kind that has no class.
enum class TKVUnknownItem {
  Skip,  // passes over its record by the record's 32-bit size
  Raise  // raises "Error item"
};

// An item list: a 16-bit count (checked against MaxListCount when LimitText
// is given), then per item a kind byte and the record of the item that
// CreateItemByKind makes for Owner. Created, when given, receives each new
// item before it reads its record (for owners that do not list their items
// themselves).
void ReadItemList(TStream& Stream, TObject* Owner, TKVUnknownItem Unknown, const char* LimitText = nullptr,
                  const std::function<void(TKVItem*)>& Created = {});

// Runs Action and swallows its failure: the score events fired at the end of
// a record must not break the load.
void RunGuarded(const std::function<void()>& Action);
