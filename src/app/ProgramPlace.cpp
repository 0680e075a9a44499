#include "app/ProgramPlace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/Exceptions.h"

bool IsWritableFolder(const std::string& folder) {
  const std::string probe = folder + ".sonarid-write-test-" + std::to_string(getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

TProgramPlace LocateProgram(const std::string& programFile) {
  TProgramPlace place{programFile, ExtractFilePath(programFile)};
  if (IsWritableFolder(place.DataFolder)) return place;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string base = config && *config ? config : std::string(home ? home : "") + "/.config";
  place.DataFolder = base + "/sonarid/";
  std::error_code error;
  std::filesystem::create_directories(place.DataFolder, error);
  if (!IsWritableFolder(place.DataFolder)) throw EFCreateError(place.DataFolder, "The folder is not writable.");
  return place;
}
