#pragma once
// Files for the tag tests: an open descriptor that closes itself, files of
// given bytes, MP3 files ffmpeg makes and the tags ffprobe reads of a file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <string>

#include "support/codec/CodecTestSupport.h"

namespace tagtest {

class TOpenFile {
public:
  explicit TOpenFile(const std::string& path) : Handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~TOpenFile() { ::close(Handle); }
  TOpenFile(const TOpenFile&) = delete;
  TOpenFile& operator=(const TOpenFile&) = delete;
  off_t Position() const { return ::lseek(Handle, 0, SEEK_CUR); }
  const int Handle;
};

// A new file in Dir holding Bytes.
inline std::string WriteFile(const codectest::TScratchDir& dir, const std::vector<uint8_t>& bytes) {
  static int files = 0;
  const std::string path = dir.Path("file" + std::to_string(++files));
  codectest::WriteBytes(path, bytes);
  return path;
}

// A third of a second of MP3 without tags, or with those ffmpeg's Options
// write (-id3v2_version 3 -metadata title=...).
inline std::string Mp3(const codectest::TScratchDir& dir, const std::string& name, const std::string& options = "") {
  const std::string path = dir.Path(name);
  int status = -1;
  codectest::Run("ffmpeg -nostdin -v error -y -f lavfi -i sine=d=0.3 -c:a libmp3lame -write_xing 0 " +
                     (options.empty() ? "-id3v2_version 0 -write_id3v1 0" : options) + " " + codectest::Quote(path),
                 &status);
  EXPECT_EQ(status, 0);
  return path;
}

// The tags ffprobe reads (title, artist, date, ...), without ffmpeg's own "encoder".
inline std::map<std::string, std::string> ProbedTags(const std::string& path) {
  std::istringstream lines(
      codectest::Run("ffprobe -v error -show_entries format_tags -of default=nw=1 " + codectest::Quote(path)));
  std::map<std::string, std::string> tags;
  for (std::string line; std::getline(lines, line);) {
    const size_t eq = line.find('=');
    if (line.rfind("TAG:", 0) == 0 && eq != std::string::npos) tags[line.substr(4, eq - 4)] = line.substr(eq + 1);
  }
  tags.erase("encoder");
  return tags;
}

}  // namespace tagtest
