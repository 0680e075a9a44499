#include "platform/forms/Places.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace forms {

namespace {

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The value of XDG_<Name>_DIR in user-dirs.dirs ("$HOME/Music"), with $HOME
// replaced; empty when the file or the line is missing.
std::string UserDirsEntry(const std::string& xdgName) {
  const std::string config = !Env("XDG_CONFIG_HOME").empty() ? Env("XDG_CONFIG_HOME") : HomeFolder() + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  const std::string key = "XDG_" + xdgName + "_DIR=";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) value = HomeFolder() + value.substr(5);
    return value;
  }
  return "";
}

}  // namespace

std::string HomeFolder() {
  const std::string home = Env("HOME");
  return home.empty() ? "/" : home;
}

std::string UserFolder(const std::string& xdgName, const std::string& defaultName) {
  std::string folder = UserDirsEntry(xdgName);
  if (folder.empty()) folder = HomeFolder() + "/" + defaultName;
  return IsFolder(folder) ? folder : "";
}

std::vector<TPlace> StandardPlaces() {
  std::vector<TPlace> places{{"Home", HomeFolder()}};
  for (auto [caption, name] : {std::pair{"Desktop", "DESKTOP"}, {"Music", "MUSIC"}, {"Documents", "DOCUMENTS"}}) {
    const std::string folder = UserFolder(name, caption);
    if (!folder.empty() && folder != HomeFolder()) places.push_back({caption, folder});
  }
  // Volumes lie in /media/<volume>, /media/<user>/<volume> or
  // /run/media/<user>/<volume>.
  const std::string user = Env("USER");
  for (const std::string& root : {std::string("/media"), "/media/" + user, "/run/media/" + user}) {
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      std::error_code typeError;
      if (name != user && it->is_directory(typeError)) places.push_back({name, it->path().string()});
    }
  }
  return places;
}

}  // namespace forms
