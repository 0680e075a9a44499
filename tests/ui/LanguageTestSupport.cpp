#include "LanguageTestSupport.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/text/Charsets.h"

const std::vector<std::string>& LanguageCodes() {
  static const std::vector<std::string> codes = {"ENU", "DEU", "FRA", "RUS", "ITA", "UKR"};
  return codes;
}

std::string LanguageSourceFile(const std::string& code) {
  return std::string(SONARID_SOURCE_DIR) + "/data/lang/" + code + ".lang";
}

const lrfc::TLangSource& LanguageSource(const std::string& code) {
  static std::map<std::string, lrfc::TLangSource> sources;
  auto it = sources.find(code);
  if (it == sources.end()) it = sources.emplace(code, lrfc::ReadLangSource(LanguageSourceFile(code))).first;
  return it->second;
}

std::string BytesToUtf8(const std::string& bytes, int charset) {
  std::string out;
  for (unsigned char b : bytes) {
    char32_t c = text::DecodeByte(b, charset);
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::vector<uint8_t> LanguageFile(const std::vector<lrfc::TLrfSection>& sections) {
  return lrfc::WriteLrfFile("test language", "test", sections);
}

lrf::TEntry TextEntry(const std::string& path, const std::string& text, uint8_t type) {
  lrf::TEntry entry;
  entry.Path = path;
  entry.Type = type;
  entry.Text = text;
  return entry;
}

lrf::TEntry ListEntry(const std::string& path, std::vector<std::string> items) {
  lrf::TEntry entry = TextEntry(path, "", lrf::vtStrings);
  entry.Items = std::move(items);
  return entry;
}

lrf::TEntry FontEntry(const std::string& path, const std::string& name, uint16_t charset, uint16_t size) {
  lrf::TEntry entry = TextEntry(path, name, lrf::vtFont);
  entry.Charset = charset;
  entry.Size = size;
  return entry;
}
