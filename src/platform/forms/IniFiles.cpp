#include "platform/forms/IniFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/Strings.h"

namespace forms {

namespace {

bool IsComment(const std::string& trimmed) { return trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#'; }

// "Key=Value" split; false for lines that hold no key.
bool SplitKey(const std::string& line, std::string& key, std::string& value) {
  const std::string t = Trim(line);
  if (IsComment(t) || t[0] == '[') return false;
  const size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return !key.empty();
}

bool IsHeader(const std::string& line, std::string& name) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  const size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) : FFileName(fileName) { Load(); }

void TIniFile::Load() {
  std::ifstream in(FFileName, std::ios::binary);
  if (!in) {
    FUnreadable = access(FFileName.c_str(), F_OK) == 0;
    return;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    FBom = true;
    text.erase(0, 3);
  }
  if (text.find("\r\n") != std::string::npos) FLineEnd = "\r\n";
  std::vector<std::string>* target = &FPreamble;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    std::string name;
    if (IsHeader(line, name)) {
      FSections.push_back({name, {}});
      target = &FSections.back().Lines;
    } else {
      target->push_back(line);
    }
  }
}

void TIniFile::Save() const {
  if (FUnreadable) throw EIniFileException("Unable to write to " + FFileName);
  std::string text = FBom ? "\xEF\xBB\xBF" : "";
  for (const std::string& l : FPreamble) text += l + FLineEnd;
  for (const TSection& s : FSections) {
    text += "[" + s.Name + "]" + FLineEnd;
    for (const std::string& l : s.Lines) text += l + FLineEnd;
  }
  // A temporary file beside the old one, renamed over it once complete.
  std::string temp = FFileName + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw EIniFileException("Unable to write to " + FFileName);
  struct stat st;
  fchmod(fd, stat(FFileName.c_str(), &st) == 0 ? st.st_mode & 07777 : 0644);
  bool ok = true;
  for (size_t done = 0; ok && done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += size_t(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(temp.c_str(), FFileName.c_str()) != 0) {
    unlink(temp.c_str());
    throw EIniFileException("Unable to write to " + FFileName);
  }
}

void TIniFile::Changed() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  Save();
}

void TIniFile::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) {
    FChanged = false;
    Save();
  }
}

const TIniFile::TSection* TIniFile::FindSection(const std::string& name) const {
  for (const TSection& s : FSections)
    if (SameText(s.Name, name)) return &s;
  return nullptr;
}

int TIniFile::FindKey(const TSection& section, const std::string& ident) {
  std::string key, value;
  for (size_t i = 0; i < section.Lines.size(); ++i)
    if (SplitKey(section.Lines[i], key, value) && SameText(key, ident)) return int(i);
  return -1;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) const {
  const TSection* s = FindSection(section);
  const int i = s ? FindKey(*s, ident) : -1;
  if (i < 0) return def;
  std::string key, value;
  SplitKey(s->Lines[size_t(i)], key, value);
  return value;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  auto* s = const_cast<TSection*>(FindSection(section));
  if (!s) {
    if (!FSections.empty() && !FSections.back().Lines.empty() && !Trim(FSections.back().Lines.back()).empty())
      FSections.back().Lines.push_back("");
    FSections.push_back({section, {}});
    s = &FSections.back();
  }
  const std::string line = ident + "=" + value;
  if (const int i = FindKey(*s, ident); i >= 0) {
    if (s->Lines[size_t(i)] == line) return;
    s->Lines[size_t(i)] = line;
  } else {
    // After the section's last line that is not blank.
    size_t at = s->Lines.size();
    while (at > 0 && Trim(s->Lines[at - 1]).empty()) --at;
    s->Lines.insert(s->Lines.begin() + long(at), line);
  }
  Changed();
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const {
  std::string text = Trim(ReadString(section, ident, ""));
  long long v;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    char* end = nullptr;
    errno = 0;
    v = std::strtoll(text.c_str() + 2, &end, 16);
    if (errno || *end || !std::isxdigit(static_cast<unsigned char>(text[2]))) return def;
  } else if (!TryStrToInt(text, v)) {
    return def;
  }
  return v < INT_MIN || v > INT_MAX ? def : int(v);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
  const TSection* s = FindSection(section);
  return s && FindKey(*s, ident) >= 0;
}

void TIniFile::ReadKeys(const std::string& section, TStringList& list, bool withValues) const {
  list.Clear();
  const TSection* s = FindSection(section);
  if (!s) return;
  std::string key, value;
  for (const std::string& l : s->Lines)
    if (SplitKey(l, key, value)) list.Add(withValues ? key + "=" + value : key);
}

void TIniFile::ReadSections(TStringList& sections) const {
  sections.Clear();
  for (const TSection& s : FSections) sections.Add(s.Name);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  auto* s = const_cast<TSection*>(FindSection(section));
  const int i = s ? FindKey(*s, ident) : -1;
  if (i < 0) return;
  s->Lines.erase(s->Lines.begin() + i);
  Changed();
}

void TIniFile::EraseSection(const std::string& section) {
  const TSection* s = FindSection(section);
  if (!s) return;
  FSections.erase(FSections.begin() + (s - FSections.data()));
  Changed();
}

}  // namespace forms
