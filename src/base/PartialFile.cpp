#include "base/PartialFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

TPartialFile::~TPartialFile() {
  FStream.reset();
  if (!FName.empty()) ::unlink(FName.c_str());
}

bool TPartialFile::Create() {
  auto failed = [this](int error) {
    FError = error;
    return false;
  };
  struct stat st;
  if (::stat(FDest.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return failed(EISDIR);
    if (::access(FDest.c_str(), W_OK) != 0) return failed(errno);
  }
  static std::atomic<unsigned> counter{0};
  std::string name = FDest + ".part" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return failed(errno);
  ::close(fd);
  FName = name;
  try {
    FStream = std::make_unique<TFileStream>(FName, fmOpenReadWrite);
  } catch (const EStreamError&) {
    return false;
  }
  return true;
}

bool TPartialFile::Commit() {
  try {
    FStream->Flush();
  } catch (const EWriteError&) {
    return false;
  }
  FStream.reset();
  if (::rename(FName.c_str(), FDest.c_str()) != 0) {
    FError = errno;
    return false;
  }
  FName.clear();
  return true;
}

int TPartialFile::Error() const { return FError ? FError : FStream ? FStream->LastError() : 0; }
