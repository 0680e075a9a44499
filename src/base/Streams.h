#pragma once
// Byte streams as the score readers use them: Read returns what it could,
// ReadBuffer raises EReadError when the stream ends early. The typed readers
// are little-endian. ReadBytes never allocates more than the stream can still
// deliver, so a lying length field cannot cause a huge allocation.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Object.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t GetSize();
  virtual void SetSize(int64_t size);

  int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
  int64_t Remaining() { return GetSize() - GetPosition(); }

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  uint8_t ReadU8();
  int8_t ReadI8() { return int8_t(ReadU8()); }
  uint16_t ReadU16();
  int16_t ReadI16() { return int16_t(ReadU16()); }
  uint32_t ReadU32();
  int32_t ReadI32() { return int32_t(ReadU32()); }
  double ReadF64();
  // Reads Count bytes; raises EReadError when fewer remain (checked first).
  std::vector<uint8_t> ReadBytes(int64_t count);
  std::string ReadString(int64_t count);

  void WriteU8(uint8_t v) { WriteBuffer(&v, 1); }
  void WriteU16(uint16_t v);
  void WriteU32(uint32_t v);
  void WriteI16(int16_t v) { WriteU16(uint16_t(v)); }
  void WriteI32(int32_t v) { WriteU32(uint32_t(v)); }
  void WriteF64(double v);
  void WriteBytes(const std::vector<uint8_t>& bytes) { WriteBuffer(bytes.data(), int64_t(bytes.size())); }
  void WriteString(const std::string& s) { WriteBuffer(s.data(), int64_t(s.size())); }

  // Copies Count bytes (all when 0) from Source at its position; returns the count.
  int64_t CopyFrom(TStream& source, int64_t count);
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return int64_t(FBytes.size()); }
  void SetSize(int64_t size) override;

  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  void LoadFromStream(TStream& source);
  void Clear();

  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  uint8_t* Memory() { return FBytes.data(); }

private:
  std::vector<uint8_t> FBytes;
  int64_t FPosition = 0;
};

enum TFileMode : unsigned {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmCreate = 0xFF00,
};

class TFileStream : public TStream {
public:
  TFileStream(const std::string& fileName, unsigned mode);
  ~TFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override;
  void SetSize(int64_t size) override;

  const std::string& FileName() const { return FFileName; }
  // Flushes buffered bytes to the file; raises EWriteError when that fails
  // (a full disk shows here rather than being lost at close).
  void Flush();
  // Why the last write, flush or size change that failed did (its errno:
  // a full disk, a file system gone read-only ...); 0 when none failed.
  int LastError() const { return FLastError; }

private:
  std::string FFileName;
  std::FILE* FFile = nullptr;
  int FLastError = 0;
};

bool FileExists(const std::string& fileName);
