#pragma once
// Embedded objects for tests: the streams an object's storage holds, written
// from the published layouts of the user-type and presentation streams; the
// compound file made from them by gsf (Debian libgsf-bin), an independent
// writer of the format; the score file's object stream ("BDOC", aspect,
// size, storage).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/ImageMagick.h"
#include "support/ScratchDir.h"

namespace test_support {

using TOleBytes = std::vector<std::uint8_t>;

inline void PutU32(TOleBytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> 8 * i));
}

// "\1CompObj": a 28-byte header, then the ANSI user type name with its
// terminator, counted.
inline TOleBytes CompObjStream(const std::string& userType) {
  TOleBytes b{1, 0, 0xFE, 0xFF, 3, 10, 0, 0};
  b.resize(28, 0xFF);
  PutU32(b, std::uint32_t(userType.size() + 1));
  b.insert(b.end(), userType.begin(), userType.end());
  b.push_back(0);
  PutU32(b, 0);  // no clipboard format
  return b;
}

// "\2OlePres000": a standard clipboard format, no target device, the aspect,
// the extent in HIMETRIC and the data.
inline TOleBytes PresentationStream(std::uint32_t format, std::uint32_t aspect, std::int32_t width, std::int32_t height,
                                    const TOleBytes& data) {
  TOleBytes b;
  for (std::uint32_t v : {0xFFFFFFFFu, format, 4u, aspect, 0xFFFFFFFFu, 2u, 0u, std::uint32_t(width), std::uint32_t(height),
                          std::uint32_t(data.size())})
    PutU32(b, v);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// A device-independent bitmap made by ImageMagick: its BMP file less the
// 14-byte file header.
inline TOleBytes DibFromImageMagick(const std::string& convertArguments) {
  TScratchDir dir;
  std::string file = dir.Path("p.bmp");
  CommandOutput("convert " + convertArguments + " BMP3:'" + file + "' 2>&1");
  TOleBytes bmp = ReadBytes(file);
  return bmp.size() > 14 ? TOleBytes(bmp.begin() + 14, bmp.end()) : TOleBytes();
}

// A compound file holding the named streams at its root, written by gsf.
inline TOleBytes GsfCompoundFile(const std::vector<std::pair<std::string, TOleBytes>>& streams) {
  TScratchDir dir;
  std::string names;
  for (const auto& [name, bytes] : streams) {
    WriteBytes(dir.Path(name), bytes);
    names += " '" + name + "'";
  }
  bool ok = false;
  CommandOutput("cd '" + dir.Path() + "' && gsf createole object.ole" + names + " 2>&1", &ok);
  return ok ? ReadBytes(dir.Path("object.ole")) : TOleBytes();
}

// What python3-olefile lists of a compound file: "path size" lines, sorted,
// control characters written as \N (decimal).
inline std::string OlefileListing(const TOleBytes& file) {
  TScratchDir dir;
  WriteBytes(dir.Path("f.ole"), file);
  return CommandOutput(
      "/usr/bin/python3 -c \"import olefile, sys\n"
      "o = olefile.OleFileIO(sys.argv[1])\n"
      "esc = lambda s: ''.join(c if c.isprintable() else '\\\\\\\\%d' % ord(c) for c in s)\n"
      "print(''.join(sorted(esc('/'.join(e)) + ' %d\\\\n' % o.get_size('/'.join(e)) for e in o.listdir())), end='')\" '" +
      dir.Path("f.ole") + "'");
}

// The object stream of a score file.
inline TOleBytes BdocStream(std::uint32_t aspect, const TOleBytes& storage) {
  TOleBytes b{'B', 'D', 'O', 'C'};
  PutU32(b, aspect);
  PutU32(b, std::uint32_t(storage.size()));
  b.insert(b.end(), storage.begin(), storage.end());
  return b;
}

}  // namespace test_support
