#pragma once
// The places a file dialog offers beside its list: the user's home, the
// desktop's user folders (Desktop, Music, Documents as user-dirs.dirs
// names them) and the volumes mounted under /media and /run/media.

#include <string>
#include <vector>

namespace forms {

struct TPlace {
  std::string Caption;
  std::string Folder;
};

// $HOME, else "/".
std::string HomeFolder();
// The user folder of an XDG name ("MUSIC"): the folder user-dirs.dirs
// gives it, else home + DefaultName ("Music"); empty when that folder does
// not exist.
std::string UserFolder(const std::string& xdgName, const std::string& defaultName);
// Home, Desktop, Music and Documents where they exist, then the mounted
// volumes (by folder name).
std::vector<TPlace> StandardPlaces();

}  // namespace forms
