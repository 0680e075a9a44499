#include "score/model/StreamStrings.h"

#include "base/Exceptions.h"

namespace {

void Skip(TStream& stream, int64_t count) {
  if (count > stream.Remaining()) throw EReadError();
  stream.Seek(count, TSeekOrigin::soCurrent);
}

}  // namespace

void ReadStreamString(TStream& Stream, std::string& S) {
  uint16_t length = Stream.ReadU16();
  if (length <= MaxStreamString)
    S = Stream.ReadString(length);
  else
    Skip(Stream, length);
}

void ReadStreamWideString(TStream& Stream, std::u16string& W) {
  uint16_t count = Stream.ReadU16();
  std::vector<uint8_t> bytes = Stream.ReadBytes(int64_t(count) * 2);
  W.resize(count);
  for (size_t i = 0; i < count; ++i) W[i] = char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

void ReadStreamStrings(TStream& Stream, TStringList& Strings) {
  Strings.Clear();
  uint16_t count = Stream.ReadU16();
  for (uint32_t i = 0; i < count; ++i) {
    std::string s;  // an over-long entry is listed empty
    ReadStreamString(Stream, s);
    if (count <= MaxStreamStrings) Strings.Add(s);
  }
}

void ReadStreamWideList(TStream& Stream, TKVWideList& List) {
  List.clear();
  uint16_t count = Stream.ReadU16();
  for (uint32_t i = 0; i < count; ++i) {
    std::u16string w;
    ReadStreamWideString(Stream, w);
    if (count <= MaxStreamStrings) List.push_back(w);
  }
}
