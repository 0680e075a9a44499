#include "media/audio/tags/AuTags.h"

#include <fcntl.h>
#include <strings.h>

#include "base/Streams.h"
#include "base/Strings.h"

bool TAuTags::TCaseLess::operator()(const std::string& a, const std::string& b) const {
  return ::strcasecmp(a.c_str(), b.c_str()) < 0;
}

void TAuTags::AddName(const std::string& name, TTagValue initial) { FValues[name] = std::move(initial); }

void TAuTags::AssignTo(TAuTags& dest) const {
  if (&dest == this) return;
  dest.Clear();
  for (const auto& [name, value] : FValues) dest.SetValue(name, value);
}

void TAuTags::Assign(const TAuTags& source) { source.AssignTo(*this); }

bool TAuTags::IsOpen(int file) { return ::fcntl(file, F_GETFD) != -1; }

bool TAuTags::TagPresent(int file) { return IsOpen(file); }

bool TAuTags::ReadFromFile(int file) {
  if (!IsOpen(file)) return false;
  Clear();
  return true;
}

bool TAuTags::WriteToFile(const std::string& fileName) { return FileExists(fileName); }

std::string TAuTags::Names(int index) const {
  if (index < 0 || index >= Count()) return "";
  auto it = FValues.begin();
  std::advance(it, index);
  return it->first;
}

TTagValue TAuTags::Value(const std::string& name) const {
  auto it = FValues.find(name);
  return it == FValues.end() ? TTagValue{} : it->second;
}

void TAuTags::SetValue(const std::string& name, const TTagValue& value) {
  auto it = FValues.find(name);
  if (it == FValues.end() || it->second == value) return;
  it->second = value;
  FEmpty = false;
  FChanged = true;
}

int64_t TAuTags::AsInteger(const std::string& name) const {
  const TTagValue v = Value(name);
  if (auto* i = std::get_if<int64_t>(&v)) return *i;
  long long n = 0;
  if (auto* s = std::get_if<std::string>(&v)) return TryStrToInt(*s, n) ? n : 0;
  if (auto* w = std::get_if<std::u16string>(&v)) return TryStrToInt(Utf16ToLatin1(*w), n) ? n : 0;
  return 0;
}

std::string TAuTags::AsString(const std::string& name) const {
  const TTagValue v = Value(name);
  if (auto* i = std::get_if<int64_t>(&v)) return IntToStr(*i);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* w = std::get_if<std::u16string>(&v)) return Utf16ToLatin1(*w);
  return "";
}

std::u16string TAuTags::AsWideString(const std::string& name) const {
  const TTagValue v = Value(name);
  if (auto* w = std::get_if<std::u16string>(&v)) return *w;
  return Latin1ToUtf16(AsString(name));
}

void TAuTags::Clear() {
  for (auto& entry : FValues) entry.second = std::monostate{};
  FEmpty = true;
  FChanged = true;
}

std::u16string Latin1ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char c : text) out += char16_t(c);
  return out;
}

std::string Utf16ToLatin1(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += c < 0x100 ? char(c) : '?';
  return out;
}
