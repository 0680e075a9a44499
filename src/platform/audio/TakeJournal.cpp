#include "platform/audio/TakeJournal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/LittleEndian.h"
#include "base/PositionedIO.h"
#include "platform/audio/CaptureFormat.h"

namespace audio {

namespace {

constexpr size_t kRiffSizeAt = 4, kFormatAt = 20, kDataTagAt = 36, kDataSizeAt = 40;
constexpr size_t kPcmFormatBytes = 16;
// RIFF counts in 32 bits, the header's 36 bytes after the RIFF size included.
constexpr uint64_t kLargestData = 0xFFFFFFFFull - 36 - 1;

bool WriteAt(int file, const void* data, size_t count, off_t at) {
  return WriteAtOffset(file, data, count, uint64_t(at)) == count;
}

bool WriteSizes(int file, uint64_t dataBytes, uint32_t pad) {
  const uint32_t data = uint32_t(std::min(dataBytes, kLargestData));
  uint8_t riff[4], size[4];
  le::store32(riff, 36 + data + pad);
  le::store32(size, data);
  return WriteAt(file, riff, 4, kRiffSizeAt) && WriteAt(file, size, 4, kDataSizeAt);
}

}  // namespace

std::vector<uint8_t> TakeJournalHeader(const codec::TWaveFormat& format, uint64_t dataBytes) {
  std::vector<uint8_t> header(TakeJournalHeaderBytes);
  const uint32_t data = uint32_t(std::min(dataBytes, kLargestData));
  std::memcpy(header.data(), "RIFF", 4);
  le::store32(header.data() + kRiffSizeAt, 36 + data);
  std::memcpy(header.data() + 8, "WAVEfmt ", 8);
  le::store32(header.data() + 16, kPcmFormatBytes);
  const std::vector<uint8_t> bytes = format.Bytes();
  std::copy_n(bytes.begin(), std::min(bytes.size(), kPcmFormatBytes), header.begin() + kFormatAt);
  std::memcpy(header.data() + kDataTagAt, "data", 4);
  le::store32(header.data() + kDataSizeAt, data);
  return header;
}

bool WriteTakeJournalSizes(int file, uint64_t dataBytes) { return WriteSizes(file, dataBytes, 0); }

bool CompleteTakeJournal(int file, uint64_t dataBytes) {
  dataBytes = std::min(dataBytes, kLargestData);
  const uint32_t pad = dataBytes % 2;
  const uint8_t zero = 0;
  const off_t end = off_t(TakeJournalHeaderBytes + dataBytes);
  return (!pad || WriteAt(file, &zero, 1, end)) && ::ftruncate(file, end + pad) == 0 &&
         WriteSizes(file, dataBytes, pad) && ::fsync(file) == 0;
}

TJournalRecovery RecoverTakeJournal(const std::string& journal, const std::string& dest) {
  TJournalRecovery result;
  const int file = ::open(journal.c_str(), O_RDWR | O_CLOEXEC);
  if (file < 0) {
    result.State = errno == ENOENT ? TJournalState::jsNone : TJournalState::jsFailed;
    return result;
  }
  if (::flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(file);
    result.State = TJournalState::jsInUse;
    return result;
  }
  uint8_t header[TakeJournalHeaderBytes];
  codec::TWaveFormat format;
  struct stat st;
  const bool journalLayout = ReadAtOffset(file, header, sizeof header, 0) && std::memcmp(header, "RIFF", 4) == 0 &&
                             std::memcmp(header + 8, "WAVEfmt ", 8) == 0 && le::load32(header + 16) == kPcmFormatBytes &&
                             std::memcmp(header + kDataTagAt, "data", 4) == 0 &&
                             format.Assign(header + kFormatAt, kPcmFormatBytes) && IsRecordFormat(format) &&
                             ::fstat(file, &st) == 0;
  if (!journalLayout) {
    ::close(file);
    result.State = TJournalState::jsNotATake;
    return result;
  }
  const uint64_t align = format.nBlockAlign();
  const uint64_t data = (uint64_t(st.st_size) - TakeJournalHeaderBytes) / align * align;
  if (data == 0) {
    ::close(file);
    ::unlink(journal.c_str());
    result.State = TJournalState::jsEmpty;
    return result;
  }
  const bool complete = CompleteTakeJournal(file, data);
  ::close(file);
  if (!complete || ::rename(journal.c_str(), dest.c_str()) != 0) {
    result.State = TJournalState::jsFailed;
    return result;
  }
  result.State = TJournalState::jsRecovered;
  result.Frames = std::min(data, kLargestData) / align;
  return result;
}

}  // namespace audio
