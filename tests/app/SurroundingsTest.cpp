// What the program takes from and gives to its surroundings: the UI
// language guessed from the user's settings, where its settings, log and
// working file live, and which links from its data files reach the desktop.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/LanguageGuess.h"
#include "app/ProgramPlace.h"
#include "platform/shell/Shell.h"
#include "support/ScratchDir.h"

namespace {

TEST(SurroundingsTest, TheLanguageGuessPrefersRussianThenGermanThenFrench) {
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{}, "ENU"},
      {{"en_GB.UTF-8", "C"}, "ENU"},
      {{"fr_CA", "de"}, "DEU"},
      {{"FR_fr.UTF-8"}, "FRA"},
      {{"de_AT.UTF-8", "us", "ua"}, "RUS"},
      {{"uk"}, "RUS"},
  };
  for (const auto& [languages, expected] : rows) EXPECT_EQ(GuessLanguage(languages), expected) << languages.size();
}

TEST(SurroundingsTest, FilesStayBesideAWritableProgramElseGoToTheConfigFolder) {
  namespace fs = std::filesystem;
  test_support::TScratchDir scratch;
  const fs::path& temp = scratch.Dir();
  EXPECT_EQ(LocateProgram(temp.string() + "/sonarid").DataFolder, temp.string() + "/");
  setenv("XDG_CONFIG_HOME", temp.c_str(), 1);
  const TProgramPlace installed = LocateProgram("/proc/sonarid/sonarid");
  EXPECT_EQ(installed.DataFolder, temp.string() + "/sonarid/");
  EXPECT_EQ(installed.SettingsFile(), temp.string() + "/sonarid/KorvaneSonarid.ini");
  EXPECT_EQ(installed.ProgramFolder(), "/proc/sonarid/");
  EXPECT_TRUE(fs::is_directory(installed.DataFolder));
  unsetenv("XDG_CONFIG_HOME");
}

TEST(SurroundingsTest, OnlyWebAndMailLinksAreHandedToTheDesktop) {
  for (const char* link : {"http://korvane.example/", " HTTPS://korvane.example/a b\n", "mailto:sales@korvane.example"})
    EXPECT_TRUE(shell::IsOpenableLink(link)) << link;
  for (const char* link : {"file:///etc/passwd", "javascript:alert(1)", "http://", "/usr/bin/xterm", "cmd://Record"})
    EXPECT_FALSE(shell::IsOpenableLink(link)) << link;
  EXPECT_TRUE(shell::FindOnPath("sonarid-no-such-program").empty());
  EXPECT_FALSE(shell::FindOnPath("sh").empty());
}

}  // namespace
