#include "platform/musicfont/MusicFont.h"

#include <mutex>
#include <set>

#include "base/Strings.h"
#include "platform/musicfont/FakeMusicFont.h"

namespace musicfont {

int TMusicFont::EmPx(int size) { return MulDiv(size, 96, 72); }

int TMusicFont::TextWidth(std::string_view codes, int size) {
  int w = 0;
  for (unsigned char c : codes) w += Advance(c, size);
  return w;
}

namespace {

std::mutex gNamesLock;

std::set<std::string>& Names() {
  static std::set<std::string> names = {"OSTINEL SYMBOLS", "OSTINEL JAZZ SYMBOLS"};
  return names;
}

TMusicFont* gInstalled = nullptr;

}  // namespace

bool IsMusicFontName(const std::string& name) {
  std::lock_guard<std::mutex> lock(gNamesLock);
  return Names().count(UpperCase(Trim(name))) != 0;
}

void RegisterMusicFontName(const std::string& name) {
  std::lock_guard<std::mutex> lock(gNamesLock);
  Names().insert(UpperCase(Trim(name)));
}

TMusicFont& CurrentMusicFont() {
  static TFakeMusicFont fallback;
  return gInstalled ? *gInstalled : fallback;
}

void InstallMusicFont(TMusicFont* font) { gInstalled = font; }

}  // namespace musicfont
