#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/midi/SoundFont.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;

// Data directories made up for one test, removed afterwards.
class MidiSoundFont : public testing::Test {
protected:
  std::string Dir(const std::string& name) {
    fs::create_directories(FRoot / name);
    return (FRoot / name).string();
  }
  std::string Put(const std::string& dir, const std::string& rel, const std::string& content = "sfbk") {
    const fs::path path = fs::path(dir) / rel;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << content;
    return path.string();
  }

  test_support::TScratchDir Scratch;
  const fs::path& FRoot = Scratch.Dir();
};

TEST_F(MidiSoundFont, TakesTimGM6mbWhenItIsTheOnlyOne) {
  const std::string usr = Dir("usr");
  const std::string path = Put(usr, "sounds/sf2/TimGM6mb.sf2");
  EXPECT_EQ(midi::FindSoundFont({Dir("local"), usr}), path);
}

TEST_F(MidiSoundFont, PrefersFluidR3WhereverItLies) {
  const std::string local = Dir("local"), usr = Dir("usr");
  Put(local, "sounds/sf2/TimGM6mb.sf2");
  const std::string fluid = Put(usr, "sounds/sf2/FluidR3_GM.sf2");
  EXPECT_EQ(midi::FindSoundFont({local, usr}), fluid);
}

TEST_F(MidiSoundFont, FollowsTheDefaultLinkWhenNoKnownFileIsThere) {
  const std::string usr = Dir("usr");
  const std::string target = Put(usr, "other/Some_GM.sf2");
  fs::create_directories(fs::path(usr) / "sounds/sf2");
  fs::create_symlink(target, fs::path(usr) / "sounds/sf2/default-GM.sf2");
  EXPECT_EQ(midi::FindSoundFont({usr}), (fs::path(usr) / "sounds/sf2/default-GM.sf2").string());
}

TEST_F(MidiSoundFont, SkipsDanglingLinksAndEmptyFiles) {
  const std::string usr = Dir("usr");
  Put(usr, "sounds/sf2/TimGM6mb.sf2", "");
  fs::create_symlink(fs::path(usr) / "gone.sf2", fs::path(usr) / "sounds/sf2/default-GM.sf2");
  EXPECT_EQ(midi::FindSoundFont({usr}), "");
  EXPECT_EQ(midi::FindSoundFont({}), "");
  const std::string sf3 = Put(usr, "sounds/sf3/default-GM.sf3");
  EXPECT_EQ(midi::FindSoundFont({usr}), sf3);
}

TEST_F(MidiSoundFont, DataDirsComeFromTheEnvironmentOrTheDefault) {
  const char* old = std::getenv("XDG_DATA_DIRS");
  const std::string saved = old ? old : "";
  ::setenv("XDG_DATA_DIRS", "/a::/b", 1);
  EXPECT_EQ(midi::SoundFontDataDirs(), (std::vector<std::string>{"/a", "/b"}));
  ::unsetenv("XDG_DATA_DIRS");
  EXPECT_EQ(midi::SoundFontDataDirs(), (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
  if (old) ::setenv("XDG_DATA_DIRS", saved.c_str(), 1);
}

TEST_F(MidiSoundFont, ThisMachineHasAGeneralMidiSoundFont) {
  EXPECT_NE(midi::FindSoundFont(midi::SoundFontDataDirs()), "") << "install timgm6mb-soundfont";
}

}  // namespace
