#pragma once
// The readable source of a UI language file: UTF-8 text, one file per
// language, compiled into the binary format at build time.
//
//   # a comment line
//   language ENU                      the language code
//   codepage 1252                     1252, or 1251 for Cyrillic
//   title English                     free text for the file's header
//
//   [FProgramModule]                  a window's section
//   ARecord.Caption = &Record         a string property
//   list CBSampleRate.Items           a string list, one "- item" line each
//     - 8 kHz
//   font MIFile.Font = Arial, 0, 8    a font: name, character set, points
//   message 0 =                       numbered messages, from 0 without gaps
//
// Values run to the end of the line without surrounding blanks. Paths are
// names joined by "." with an optional "[index]" per name.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "lrfc/LrfWriter.h"

namespace lrfc {

// "file:line: text" for everything wrong in a source.
class ELangSourceError : public Exception {
  using Exception::Exception;
};

enum class TSourceKind { skString, skStrings, skFont };

struct TSourceEntry {
  int Line = 0;
  std::string Path;
  TSourceKind Kind = TSourceKind::skString;
  std::string Text;                // skString: the value; skFont: the font name
  std::vector<std::string> Items;  // skStrings
  std::vector<int> ItemLines;
  int Charset = 0, Size = 0;  // skFont
};

struct TSourceSection {
  int Line = 0;
  std::string Name;
  std::vector<TSourceEntry> Entries;
  std::vector<std::string> Messages;  // by number
  std::vector<int> MessageLines;
};

struct TLangSource {
  std::string FileName;
  std::string Code;
  int CodePage = 0;
  std::string Title;
  int TitleLine = 0;
  std::vector<TSourceSection> Sections;
};

TLangSource ParseLangSource(const std::string& text, const std::string& fileName);
TLangSource ReadLangSource(const std::string& fileName);

// The sections in the file's code page, with the reader's limits checked:
// texts of at most 1024 bytes, at most 1024 entries per section.
std::vector<TLrfSection> EncodeLangSource(const TLangSource& source);
std::vector<uint8_t> CompileLangSource(const TLangSource& source);

}  // namespace lrfc
