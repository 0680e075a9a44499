#pragma once
// Files for the tag tests: an open descriptor that closes itself, MP3
// files ffmpeg makes, what ffprobe reads of a file's tags, and a write made
// without the privilege to write anywhere (as a user without root's rights
// to files).

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "support/codec/CodecTestSupport.h"

namespace tagtest {

class TOpenFile {
public:
  explicit TOpenFile(const std::string& path) : Handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~TOpenFile() {
    if (Handle >= 0) ::close(Handle);
  }
  TOpenFile(const TOpenFile&) = delete;
  TOpenFile& operator=(const TOpenFile&) = delete;
  off_t Position() const { return ::lseek(Handle, 0, SEEK_CUR); }
  const int Handle;
};

// A third of a second of MP3 without tags, or with ffmpeg's own (Options
// such as -id3v2_version 3 -metadata title=...).
inline std::string Mp3(const codectest::TScratchDir& dir, const std::string& name, const std::string& options = "") {
  const std::string path = dir.Path(name);
  int status = -1;
  codectest::Run("ffmpeg -nostdin -v error -y -f lavfi -i sine=d=0.3 -c:a libmp3lame -write_xing 0 " +
                     (options.empty() ? std::string("-id3v2_version 0 -write_id3v1 0") : options) + " " +
                     codectest::Quote(path) + " 2>&1",
                 &status);
  EXPECT_EQ(status, 0);
  return path;
}

// The tags ffprobe reads, by its names (title, artist, date, track, ...).
inline std::map<std::string, std::string> ProbedTags(const std::string& path) {
  std::istringstream lines(codectest::Run("ffprobe -v error -show_entries format_tags -of default=noprint_wrappers=1 " +
                                          codectest::Quote(path)));
  std::map<std::string, std::string> tags;
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("TAG:", 0) == 0 && line.find('=') != std::string::npos)
      tags[line.substr(4, line.find('=') - 4)] = line.substr(line.find('=') + 1);
  return tags;
}

// Runs F in a thread without the capabilities that let root write past a
// file's or folder's permissions (they are held per thread).
template <class F>
void WithoutFilePrivileges(F f) {
  std::thread([&] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) == 0) {
      data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
      ::syscall(SYS_capset, &header, data);
    }
    f();
  }).join();
}

}  // namespace tagtest
