#include "base/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exceptions.h"
#include "base/LittleEndian.h"

int64_t TStream::GetSize() {
  int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0 || (count > 0 && Read(buffer, count) != count)) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0 || (count > 0 && Write(buffer, count) != count)) throw EWriteError();
}

uint8_t TStream::ReadU8() {
  uint8_t v;
  ReadBuffer(&v, 1);
  return v;
}

uint16_t TStream::ReadU16() {
  uint8_t b[2];
  ReadBuffer(b, 2);
  return le::load16(b);
}

uint32_t TStream::ReadU32() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return le::load32(b);
}

double TStream::ReadF64() {
  uint8_t b[8];
  ReadBuffer(b, 8);
  return le::loadDouble(b);
}

std::vector<uint8_t> TStream::ReadBytes(int64_t count) {
  if (count < 0 || count > Remaining()) {
    // Consume what is left, as a short read would, then fail.
    SetPosition(GetSize());
    throw EReadError();
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  ReadBuffer(bytes.data(), count);
  return bytes;
}

std::string TStream::ReadString(int64_t count) {
  std::vector<uint8_t> bytes = ReadBytes(count);
  return std::string(bytes.begin(), bytes.end());
}

void TStream::WriteU16(uint16_t v) {
  uint8_t b[2];
  le::store16(b, v);
  WriteBuffer(b, 2);
}

void TStream::WriteU32(uint32_t v) {
  uint8_t b[4];
  le::store32(b, v);
  WriteBuffer(b, 4);
}

void TStream::WriteF64(double v) {
  uint8_t b[8];
  le::storeDouble(b, v);
  WriteBuffer(b, 8);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.GetSize();
  }
  uint8_t buffer[65536];
  int64_t left = count;
  while (left > 0) {
    int64_t n = std::min<int64_t>(left, sizeof buffer);
    source.ReadBuffer(buffer, n);
    WriteBuffer(buffer, n);
    left -= n;
  }
  return count;
}

// ---- TMemoryStream

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || FPosition >= GetSize()) return 0;
  int64_t n = std::min(count, GetSize() - FPosition);
  std::memcpy(buffer, FBytes.data() + FPosition, size_t(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (FPosition + count > GetSize()) FBytes.resize(size_t(FPosition + count));
  std::memcpy(FBytes.data() + FPosition, buffer, size_t(count));
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? FPosition : GetSize();
  // A damaged clip can ask for a place beyond the 64-bit range: refused as a
  // file stream refuses a failed seek, leaving the position where it was.
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target)) return FPosition;
  FPosition = std::max<int64_t>(0, target);
  return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
  FBytes.resize(size_t(std::max<int64_t>(0, size)));
  FPosition = std::min(FPosition, GetSize());
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(FBytes.data(), GetSize());
  file.Flush();
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  int64_t size = source.GetSize();
  std::vector<uint8_t> bytes(size_t(std::max<int64_t>(0, size)));
  source.ReadBuffer(bytes.data(), size);
  FBytes = std::move(bytes);
  FPosition = 0;
}

void TMemoryStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : FFileName(fileName) {
  const char* how = "rb";
  if (mode == fmCreate)
    how = "w+b";
  else if ((mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite)
    how = "r+b";
  struct stat st;
  if (mode != fmCreate && ::stat(fileName.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    throw EFOpenError(fileName, std::strerror(EISDIR), EISDIR);
  FFile = std::fopen(fileName.c_str(), how);
  if (!FFile) {
    const int error = errno;
    if (mode == fmCreate) throw EFCreateError(fileName, std::strerror(error));
    throw EFOpenError(fileName, std::strerror(error), error);
  }
}

TFileStream::~TFileStream() {
  if (FFile) std::fclose(FFile);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return int64_t(std::fread(buffer, 1, size_t(count), FFile));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const size_t written = std::fwrite(buffer, 1, size_t(count), FFile);
  if (written < size_t(count)) FLastError = errno;
  return int64_t(written);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  // A failed seek leaves the position where it was; callers compare it.
  ::fseeko(FFile, offset, whence);
  return ::ftello(FFile);
}

int64_t TFileStream::GetSize() {
  std::fflush(FFile);
  struct stat st;
  if (::fstat(fileno(FFile), &st) != 0) return 0;
  return int64_t(st.st_size);
}

void TFileStream::SetSize(int64_t size) {
  std::fflush(FFile);
  if (::ftruncate(fileno(FFile), size) != 0) {
    FLastError = errno;
    throw EWriteError();
  }
  if (GetPosition() > size) SetPosition(size);
}

void TFileStream::Flush() {
  if (std::fflush(FFile) == 0) return;
  FLastError = errno;
  throw EWriteError();
}

bool FileExists(const std::string& fileName) {
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
