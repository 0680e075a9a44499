#include "xcfc/XcfCompile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "base/Strings.h"
#include "lrfc/CodePage.h"
#include "ui/help/HelpParse.h"

namespace fs = std::filesystem;

namespace xcfc {

namespace {

const char* const kCommands[] = {"Open", "PlaySource", "PlayDestination", "Record", "Stop", "Save"};

std::vector<std::string> SortedFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->is_regular_file()) names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

unsigned FormatOf(const std::string& name) {
  std::string extension = LowerCase(ExtractFileExt(name));
  if (extension == ".bmp") return 256;
  if (extension == ".gif") return 257;
  if (extension == ".jpg" || extension == ".jpeg") return 258;
  if (extension == ".ico") return 259;
  return 0;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The layout of the markup the reader depends on, line by line: tags on one
// line, "br" closed by its own "/", no text that begins with a quote.
void CheckMarkup(const std::string& file, const std::string& text, std::vector<std::string>& errors) {
  int line = 1, tagLine = 0;
  bool inTag = false;
  char quote = 0;
  std::string content, name;
  bool nameDone = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n') {
      if (inTag && !quote) errors.push_back(Format("%s:%d: a tag broken across lines", file.c_str(), tagLine));
      ++line;
      inTag = inTag && !quote ? false : inTag;
      continue;
    }
    if (inTag) {
      if (quote) {
        if (c == quote) quote = 0;
      } else if (IsQuote(c) && i > 0 && text[i - 1] == '=') {
        quote = c;
      } else if (c == '>' || c == ' ' || c == '/') {
        if (!nameDone && SameText(name, "br") && c != '/')
          errors.push_back(Format("%s:%d: write a line break as <br/>", file.c_str(), line));
        nameDone = true;
        if (c == '>') inTag = false;
      } else if (!nameDone) {
        name += c;
      }
    } else if (c == '<') {
      std::string trimmed = Trim(content);
      if (!trimmed.empty() && IsQuote(trimmed[0]))
        errors.push_back(Format("%s:%d: a text that begins with a quote runs to the next quote", file.c_str(), line));
      content.clear();
      name.clear();
      inTag = true;
      nameDone = false;
      tagLine = line;
    } else if (c != '\r' && c != '\t') {
      content += c;
    }
  }
}

int LineOf(const std::string& text, const std::string& what) {
  size_t at = text.find(what);
  return at == std::string::npos ? 0 : 1 + int(std::count(text.begin(), text.begin() + at, '\n'));
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); });
}

// The targets the page names: pictures, embedded and linked pages, commands.
void CheckTargets(const std::string& file, const std::string& source, const std::string& bytes,
                  const std::vector<std::string>& pages, const std::vector<std::string>& pictures,
                  std::vector<std::string>& errors) {
  std::set<std::string> refused;
  auto refuse = [&](const std::string& what, const std::string& target) {
    if (!refused.insert(what + target).second) return;
    errors.push_back(Format("%s:%d: %s \"%s\"", file.c_str(), LineOf(source, target), what.c_str(), target.c_str()));
  };
  ::THelpSources sources;
  sources.Page = [&](const std::string& name, std::string&) {
    if (!Has(pages, name)) refuse("no page", name);
    return THelpEmbed::Missing;
  };
  sources.Picture = [&](const std::string& name, forms::TPicture&) {
    if (!Has(pictures, name)) refuse("no picture", name);
  };
  THelpBlocks blocks;
  int depth = 0;
  THelpParser(blocks, depth, THelpStyle(), sources).ParsePage(file, bytes);
  for (const auto& block : blocks) {
    const std::string& target = block->LinkTarget;
    if (block->LinkKind == hlPage && !Has(pages, target)) refuse("no page", target);
    if (block->LinkKind == hlHost && StartsText("cmd://", target) &&
        std::none_of(std::begin(kCommands), std::end(kCommands),
                     [&](const char* command) { return target.substr(6) == command; }))
      refuse("no such command", target);
  }
}

}  // namespace

int CodePageOf(const std::string& languageCode) {
  return SameText(languageCode, "RUS") || SameText(languageCode, "UKR") ? 1251 : 1252;
}

THelpSources ReadHelpSources(const std::string& pagesFolder, const std::string& picturesFolder, int codePage,
                             std::vector<std::string>& errors) {
  THelpSources result;
  std::vector<std::string> pageNames, pictureNames;
  for (const std::string& name : SortedFiles(picturesFolder))
    if (unsigned format = FormatOf(name)) {
      std::string bytes = ReadAll(fs::path(picturesFolder) / name);
      result.Pictures.push_back({name, format, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
      pictureNames.push_back(name);
    }
  for (const std::string& name : SortedFiles(pagesFolder))
    if (SameText(ExtractFileExt(name), ".xml")) pageNames.push_back(name);
  for (const std::string& name : pageNames) {
    std::string file = (fs::path(pagesFolder) / name).string();
    std::string source = ReadAll(file), bytes;
    size_t errorsBefore = errors.size();
    int line = 1;
    for (size_t start = 0; start <= source.size(); ++line) {
      size_t end = std::min(source.find('\n', start), source.size());
      std::string encoded, error;
      std::string text = source.substr(start, end - start);
      if (!text.empty() && text.back() == '\r') text.pop_back();
      if (!lrfc::EncodeText(text, codePage, encoded, error))
        errors.push_back(Format("%s:%d: %s", file.c_str(), line, error.c_str()));
      bytes += encoded + (end < source.size() ? "\n" : "");
      start = end + 1;
    }
    CheckMarkup(file, source, errors);
    if (errors.size() == errorsBefore) CheckTargets(file, source, bytes, pageNames, pictureNames, errors);
    result.Pages.push_back({name, bytes});
  }
  return result;
}

std::vector<std::uint8_t> WriteContainer(const THelpSources& sources) {
  std::vector<std::uint8_t> head, records;
  auto u16 = [](std::vector<std::uint8_t>& out, unsigned v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
  auto u32 = [&](std::vector<std::uint8_t>& out, std::uint32_t v) {
    u16(out, v & 0xFFFF);
    u16(out, v >> 16);
  };
  size_t tableSize = 1 + 2 + 1 + 2;
  for (const auto& page : sources.Pages) tableSize += 6 + page.Name.size();
  for (const auto& picture : sources.Pictures) tableSize += 6 + picture.Name.size();
  auto entry = [&](const std::string& name) {
    u16(head, unsigned(name.size()));
    head.insert(head.end(), name.begin(), name.end());
    u32(head, std::uint32_t(tableSize + records.size()));
  };
  head.push_back(0xF0);
  u16(head, unsigned(sources.Pages.size()));
  for (const auto& page : sources.Pages) {
    entry(page.Name);
    records.push_back(0xF1);
    u32(records, std::uint32_t(page.Bytes.size()));
    records.insert(records.end(), page.Bytes.begin(), page.Bytes.end());
  }
  head.push_back(0xF2);
  u16(head, unsigned(sources.Pictures.size()));
  for (const auto& picture : sources.Pictures) {
    entry(picture.Name);
    u16(records, 1);
    u16(records, picture.Format);
    u32(records, std::uint32_t(picture.Bytes.size()));
    records.insert(records.end(), picture.Bytes.begin(), picture.Bytes.end());
  }
  head.insert(head.end(), records.begin(), records.end());
  return head;
}

}  // namespace xcfc
