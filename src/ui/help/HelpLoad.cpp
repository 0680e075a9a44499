#include "ui/help/HelpLoad.h"

#include <filesystem>

#include "base/Strings.h"
#include "ui/help/HelpContainer.h"

namespace fs = std::filesystem;

namespace {

// A single page file larger than this is not a help page.
constexpr std::int64_t kLargestPageFile = 16 << 20;

bool ReadPageFile(const std::string& fileName, std::string& text) {
  std::error_code error;
  auto size = fs::file_size(fileName, error);
  if (error || size > std::uint64_t(kLargestPageFile)) return false;
  TFileStream stream(fileName, fmOpenRead);
  text = stream.ReadString(stream.GetSize());
  return true;
}

void LoadContainer(const std::string& fileName, const std::vector<std::string>& requested, THelpPages& pages,
                   const THelpStyle& baseStyle) {
  TFileStream stream(fileName, fmOpenRead);
  THelpContainer container(stream);
  THelpSources sources;
  sources.Page = [&](const std::string& name, std::string& text) {
    const THelpEntry* entry = container.FindPage(name);
    if (!entry) return THelpEmbed::Missing;
    return container.ReadPage(*entry, text) ? THelpEmbed::Found : THelpEmbed::WrongMark;
  };
  sources.Picture = [&](const std::string& name, forms::TPicture& picture) {
    if (const THelpEntry* entry = container.FindPicture(name)) container.LoadPicture(*entry, picture);
  };
  THelpParser reader(pages.Blocks, pages.MaxDepth, baseStyle, sources);
  auto show = [&](const THelpEntry& entry) {
    std::string text;
    if (container.ReadPage(entry, text)) reader.ParsePage(entry.Name, text);
  };
  if (requested.empty()) {
    if (!container.Pages().empty()) show(container.Pages().front());
  } else {
    for (const std::string& name : requested)
      for (const THelpEntry& entry : container.Pages())
        if (SameText(entry.Name, name)) show(entry);
  }
}

void LoadPageFile(const std::string& fileName, THelpPages& pages, const THelpStyle& baseStyle) {
  std::string folder = ExtractFilePath(fileName);
  THelpSources sources;
  sources.Page = [&](const std::string& name, std::string& text) {
    std::string path = FindFileNoCase(folder, name);
    return !path.empty() && ReadPageFile(path, text) ? THelpEmbed::Found : THelpEmbed::Missing;
  };
  sources.Picture = [&](const std::string& name, forms::TPicture& picture) {
    std::string path = FindFileNoCase(folder, name);
    if (path.empty()) return;
    try {
      picture.LoadFromFile(path);
    } catch (const Exception&) {
      picture.SetGraphic(nullptr);
    }
  };
  std::string text;
  if (!ReadPageFile(fileName, text)) return;
  THelpParser(pages.Blocks, pages.MaxDepth, baseStyle, sources).ParsePage(ExtractFileName(fileName), text);
}

}  // namespace

std::string FindFileNoCase(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return "";
  fs::path path = fs::path(folder.empty() ? "." : folder) / name;
  std::error_code error;
  if (fs::is_regular_file(path, error)) return path.string();
  fs::path parent = path.parent_path();
  std::string wanted = path.filename().string();
  for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error))
    if (SameText(it->path().filename().string(), wanted) && it->is_regular_file(error)) return it->path().string();
  return "";
}

void LoadHelpPages(const std::string& fileName, const std::vector<std::string>& requested,
                   const THelpStyle& baseStyle, THelpPages& pages) {
  pages.Blocks.clear();
  pages.MaxDepth = 0;
  std::error_code error;
  if (!fs::is_regular_file(fileName, error)) return;
  std::string extension = LowerCase(ExtractFileExt(fileName));
  try {
    if (extension == ".xcf") {
      pages.Container = true;
      LoadContainer(fileName, requested, pages, baseStyle);
    } else if (extension == ".xml") {
      pages.Container = false;
      LoadPageFile(fileName, pages, baseStyle);
    }
  } catch (const EStreamError&) {
    // A file that cannot be read, or cut short while it was read: an
    // empty page.
    pages.Blocks.clear();
  }
}
