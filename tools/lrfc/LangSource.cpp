#include "lrfc/LangSource.h"

#include <fstream>
#include <set>
#include <sstream>

#include "base/Strings.h"
#include "lrfc/CodePage.h"
#include "ui/IntegerText.h"

namespace lrfc {

namespace {

constexpr const char* kHeaderText = "Sonarid UI language file";

bool IsIdentifier(const std::string& s) {
  if (s.empty() || !(isalpha((unsigned char)s[0]) || s[0] == '_')) return false;
  for (char c : s)
    if (!(isalnum((unsigned char)c) || c == '_')) return false;
  return true;
}

bool IsDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool IsPath(const std::string& path) {
  std::stringstream parts(path);
  std::string segment;
  size_t count = 0;
  while (std::getline(parts, segment, '.')) {
    ++count;
    size_t bracket = segment.find('[');
    if (bracket != std::string::npos &&
        (segment.back() != ']' || !IsDigits(segment.substr(bracket + 1, segment.size() - bracket - 2))))
      return false;
    if (!IsIdentifier(segment.substr(0, bracket))) return false;
  }
  return count > 0 && path.back() != '.';
}

class TParser {
public:
  TParser(const std::string& fileName) { FSource.FileName = fileName; }

  TLangSource Parse(const std::string& text) {
    std::stringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      ++FLine;
      if (FLine == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
      parseLine(Trim(line));
    }
    if (FSource.Code.empty()) fail(0, "no \"language\" line");
    if (FSource.CodePage == 0) fail(0, "no \"codepage\" line");
    return std::move(FSource);
  }

private:
  [[noreturn]] void fail(int line, const std::string& text) {
    throw ELangSourceError(FSource.FileName + ":" + IntToStr(line) + ": " + text);
  }

  void parseLine(const std::string& line) {
    bool item = !line.empty() && line[0] == '-';
    if (!item) FList = nullptr;
    if (line.empty() || line[0] == '#') return;
    if (item) {
      if (!FList) fail(FLine, "list item outside a list");
      FList->Items.push_back(Trim(line.substr(1)));
      FList->ItemLines.push_back(FLine);
      return;
    }
    if (line[0] == '[') return parseSection(line);

    size_t wordEnd = line.find_first_of(" \t=");
    std::string word = line.substr(0, wordEnd);
    std::string rest = wordEnd == std::string::npos ? "" : Trim(line.substr(wordEnd));
    bool keyword = wordEnd != std::string::npos && line[wordEnd] != '=';
    if (FSource.Sections.empty()) return parseDirective(word, rest);
    TSourceSection& section = FSource.Sections.back();
    if (keyword && word == "list") return addEntry(section, rest, TSourceKind::skStrings, "");
    if (keyword && word == "font") return parseFont(section, rest);
    if (keyword && word == "message") return parseMessage(section, rest);
    addEntry(section, word, TSourceKind::skString, value(rest));
  }

  // The text after "=" in Rest.
  std::string value(const std::string& rest) {
    if (rest.empty() || rest[0] != '=') fail(FLine, "expected \"=\"");
    return Trim(rest.substr(1));
  }

  void parseDirective(const std::string& word, const std::string& rest) {
    if (word == "language") {
      if (rest.size() != 3 || UpperCase(rest) != rest || !IsIdentifier(rest))
        fail(FLine, "language code must be three capital letters");
      FSource.Code = rest;
    } else if (word == "codepage") {
      FSource.CodePage = StrToIntDefault(rest, 0);
      if (!IsSupportedCodePage(FSource.CodePage)) fail(FLine, "code page must be 1252 or 1251");
    } else if (word == "title") {
      FSource.Title = rest;
      FSource.TitleLine = FLine;
    } else {
      fail(FLine, "expected \"language\", \"codepage\", \"title\" or a [section]");
    }
  }

  void parseSection(const std::string& line) {
    std::string name = line.size() >= 2 && line.back() == ']' ? line.substr(1, line.size() - 2) : "";
    if (!IsIdentifier(name)) fail(FLine, "bad section line");
    for (const TSourceSection& other : FSource.Sections)
      if (other.Name == name) fail(FLine, "section [" + name + "] appears twice");
    FSource.Sections.push_back({FLine, name, {}, {}, {}});
    FPaths.clear();
  }

  void addEntry(TSourceSection& section, const std::string& path, TSourceKind kind, const std::string& text) {
    if (!IsPath(path)) fail(FLine, "bad property path \"" + path + "\"");
    if (!FPaths.insert(UpperCase(path)).second) fail(FLine, "property path \"" + path + "\" appears twice");
    TSourceEntry entry;
    entry.Line = FLine;
    entry.Path = path;
    entry.Kind = kind;
    entry.Text = text;
    section.Entries.push_back(std::move(entry));
    if (kind == TSourceKind::skStrings) FList = &section.Entries.back();
  }

  void parseFont(TSourceSection& section, const std::string& rest) {
    size_t eq = rest.find('=');
    std::string path = Trim(rest.substr(0, eq));
    std::string font = eq == std::string::npos ? "" : value(rest.substr(eq));
    size_t comma = font.find(',');
    std::string name = Trim(font.substr(0, comma));
    std::string numbers = comma == std::string::npos ? "" : font.substr(comma + 1);
    int charset = CutNextInt(",", numbers, -1);
    int size = StrToIntDefault(numbers, -1);
    if (name.empty() || charset < 0 || charset > 255 || size < 1 || size > 0xFFFF)
      fail(FLine, "a font is \"name, character set (0-255), size in points\"");
    addEntry(section, path, TSourceKind::skFont, name);
    section.Entries.back().Charset = charset;
    section.Entries.back().Size = size;
  }

  void parseMessage(TSourceSection& section, const std::string& rest) {
    size_t eq = rest.find('=');
    std::string number = Trim(rest.substr(0, eq));
    std::string expected = IntToStr(long(section.Messages.size()));
    if (number != expected) fail(FLine, "message " + number + " out of order: expected message " + expected);
    section.Messages.push_back(value(eq == std::string::npos ? "" : rest.substr(eq)));
    section.MessageLines.push_back(FLine);
  }

  TLangSource FSource;
  int FLine = 0;
  TSourceEntry* FList = nullptr;  // the list whose items follow
  std::set<std::string> FPaths;   // of the current section
};

class TEncoder {
public:
  explicit TEncoder(const TLangSource& source) : FSource(source) {}

  std::string Text(const std::string& text, int line) {
    std::string bytes, error;
    if (!EncodeText(text, FSource.CodePage, bytes, error)) fail(line, error);
    if (bytes.size() > lrf::kMaxTextLength) fail(line, "text longer than 1024 bytes");
    return bytes;
  }

  TLrfSection Section(const TSourceSection& source) {
    TLrfSection section;
    section.Name = source.Name;
    if (source.Entries.size() > lrf::kMaxEntries) fail(source.Line, "more than 1024 entries in the section");
    if (source.Messages.size() > 0xFFFF) fail(source.Line, "more than 65535 messages in the section");
    for (const TSourceEntry& from : source.Entries) section.Entries.push_back(Entry(from));
    for (size_t i = 0; i < source.Messages.size(); ++i)
      section.Strings.push_back(Text(source.Messages[i], source.MessageLines[i]));
    return section;
  }

  [[noreturn]] void fail(int line, const std::string& text) {
    throw ELangSourceError(FSource.FileName + ":" + IntToStr(line) + ": " + text);
  }

private:
  lrf::TEntry Entry(const TSourceEntry& from) {
    lrf::TEntry entry;
    entry.Path = from.Path;
    switch (from.Kind) {
      case TSourceKind::skString:
        entry.Type = lrf::vtString;
        entry.Text = Text(from.Text, from.Line);
        break;
      case TSourceKind::skStrings:
        entry.Type = lrf::vtStrings;
        if (from.Items.size() > 0xFFFF) fail(from.Line, "more than 65535 list items");
        for (size_t i = 0; i < from.Items.size(); ++i) entry.Items.push_back(Text(from.Items[i], from.ItemLines[i]));
        break;
      case TSourceKind::skFont:
        entry.Type = lrf::vtFont;
        entry.Text = Text(from.Text, from.Line);
        entry.Charset = uint16_t(from.Charset);
        entry.Size = uint16_t(from.Size);
        break;
    }
    return entry;
  }

  const TLangSource& FSource;
};

}  // namespace

TLangSource ParseLangSource(const std::string& text, const std::string& fileName) {
  return TParser(fileName).Parse(text);
}

TLangSource ReadLangSource(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw ELangSourceError(fileName + ": cannot be read");
  std::stringstream text;
  text << in.rdbuf();
  return ParseLangSource(text.str(), fileName);
}

std::vector<TLrfSection> EncodeLangSource(const TLangSource& source) {
  TEncoder encoder(source);
  std::vector<TLrfSection> sections;
  for (const TSourceSection& section : source.Sections) sections.push_back(encoder.Section(section));
  return sections;
}

std::vector<uint8_t> CompileLangSource(const TLangSource& source) {
  TEncoder encoder(source);
  std::string title = encoder.Text(source.Title, source.TitleLine);
  try {
    return WriteLrfFile(kHeaderText, title, EncodeLangSource(source));
  } catch (const ELrfWriteError& e) {
    throw ELangSourceError(source.FileName + ": " + e.Message());
  }
}

}  // namespace lrfc
