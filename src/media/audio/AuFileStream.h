#pragma once
// A file opened with POSIX open for a clip input. Mode 65535 creates the
// file (read and write, truncated); other modes open an existing file with
// the access of their low two bits (0 read, 1 write, 2 read and write). The
// sharing bits ask for nothing on Linux. A failure raises EAuException with
// the system's text.

#include <cstdint>
#include <string>

#include "base/Streams.h"

class TAuFileStream : public TStream {
public:
  static constexpr unsigned CreateMode = 65535;
  TAuFileStream(const std::string& fileName, unsigned mode);
  ~TAuFileStream() override;
  TAuFileStream(const TAuFileStream&) = delete;
  TAuFileStream& operator=(const TAuFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  int FHandle = -1;
};
