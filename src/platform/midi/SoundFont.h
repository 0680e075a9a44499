#pragma once
// Where the synthesiser's General MIDI SoundFont comes from. Debian puts
// SoundFonts under <data dir>/sounds/sf2 and sf3; the large FluidR3 set
// (fluid-soundfont-gm) is preferred when installed, then the small TimGM6mb
// (timgm6mb-soundfont), then whatever the system's default-GM link names.

#include <string>
#include <vector>

namespace midi {

// The data directories to search: $XDG_DATA_DIRS, else /usr/local/share and
// /usr/share.
std::vector<std::string> SoundFontDataDirs();

// The first non-empty SoundFont file in preference order below the given data
// directories; empty when there is none.
std::string FindSoundFont(const std::vector<std::string>& dataDirs);

}  // namespace midi
