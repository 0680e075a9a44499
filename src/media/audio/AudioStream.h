#pragma once
// A clip's stream as the Windows Media reader reads it: its bytes, its
// position and its length.

#include "base/Streams.h"
#include "platform/wma/ByteSource.h"

class TAudioStream final : public wma::TByteSource {
public:
  explicit TAudioStream(TStream& stream) : FStream(stream) {}
  int64_t Read(void* buffer, int64_t count) override { return FStream.Read(buffer, count); }
  int64_t Seek(int64_t offset, int origin) override {
    return FStream.Seek(offset, origin == 0   ? TSeekOrigin::soBeginning
                                : origin == 1 ? TSeekOrigin::soCurrent
                                              : TSeekOrigin::soEnd);
  }
  int64_t Size() override { return FStream.GetSize(); }

private:
  TStream& FStream;
};
