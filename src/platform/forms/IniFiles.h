#pragma once
// Settings files in the Windows ini format: "[Section]" headers and
// "Key=Value" lines. Sections and keys compare without regard to ASCII
// letter case; a value is everything after the first "=" (commas included),
// blanks trimmed and one pair of enclosing quotes removed. Booleans are
// written as "1"/"0" and any integer other than 0 reads as true. Every
// write goes to disk at once, through a temporary file renamed over the old
// one, so that the file is never found half written; lines the class does
// not know (comments, other sections) stay as they were, in their order.
// A value written as it stands already leaves the file untouched; writes
// between BeginUpdate and EndUpdate reach the disk together, in one such
// write, so that a list of keys is never found half replaced.

#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "base/StringList.h"

namespace forms {

// The file could not be written (or, existing, not read before a write).
class EIniFileException : public Exception { using Exception::Exception; };

class TIniFile {
public:
  // Reads the file when it exists; a missing file is an empty one.
  explicit TIniFile(const std::string& fileName);
  const std::string& FileName() const { return FFileName; }

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Decimal, or hexadecimal after "0x"; Default for anything else.
  int ReadInteger(const std::string& section, const std::string& ident, int def) const;
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
  void WriteBool(const std::string& section, const std::string& ident, bool value);

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& ident) const;
  // Keys of a section, "Key=Value" lines of a section, names of the sections.
  void ReadSection(const std::string& section, TStringList& keys) const { ReadKeys(section, keys, false); }
  void ReadSectionValues(const std::string& section, TStringList& values) const { ReadKeys(section, values, true); }
  void ReadSections(TStringList& sections) const;
  void DeleteKey(const std::string& section, const std::string& ident);
  void EraseSection(const std::string& section);
  // Brackets nest; the outermost EndUpdate writes what changed inside.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

private:
  struct TSection {
    std::string Name;
    std::vector<std::string> Lines;  // the lines after the header, as read
  };
  const TSection* FindSection(const std::string& name) const;
  // Index of the key's line in the section, -1 when none.
  static int FindKey(const TSection& section, const std::string& ident);
  void ReadKeys(const std::string& section, TStringList& list, bool withValues) const;
  void Load();
  // Writes the file now, or at the end of the update bracket.
  void Changed();
  void Save() const;

  std::string FFileName;
  std::vector<std::string> FPreamble;  // lines before the first header
  std::vector<TSection> FSections;
  std::string FLineEnd = "\n";
  bool FBom = false;
  bool FUnreadable = false;
  int FUpdateCount = 0;
  bool FChanged = false;  // inside the bracket
};

}  // namespace forms
