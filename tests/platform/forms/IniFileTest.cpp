// Settings files: every value type round-trips through the disk, unknown
// lines stay where they were, and a failed write loses nothing.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>

#include "platform/forms/IniFiles.h"
#include "support/ScratchDir.h"

namespace forms::test {
namespace {

class IniFileTest : public ::testing::Test {
protected:
  std::string Path() const { return Dir.Path("KorvaneSonarid.ini"); }
  void WriteFile(const std::string& text) { test_support::WriteText(Path(), text); }
  std::string ReadFile() const { return test_support::ReadText(Path()); }
  test_support::TScratchDir Dir;
};

TEST_F(IniFileTest, EveryValueTypeRoundTripsThroughTheFile) {
  {
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Record", "SampleRate", 6), 6);  // no file yet
    ini.WriteString("FProgramModule", "Bounds", "10,20,627,356");
    ini.WriteString("FProgramModule", "WindowState", "wsNormal");
    ini.WriteBool("Record", "Channels", true);
    ini.WriteBool("Record", "Compression", false);
    ini.WriteInteger("Record", "Codec", -85);
    ini.WriteString("Reopen", "Reopen0", "01.02.2024,/home/u/Scores/A, B.mid");
    ini.WriteString("Tools", "Language", "");
  }
  EXPECT_EQ(ReadFile(),
            "[FProgramModule]\nBounds=10,20,627,356\nWindowState=wsNormal\n\n[Record]\nChannels=1\nCompression=0\n"
            "Codec=-85\n\n[Reopen]\nReopen0=01.02.2024,/home/u/Scores/A, B.mid\n\n[Tools]\nLanguage=\n");
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadString("fprogrammodule", "BOUNDS", ""), "10,20,627,356");
  EXPECT_TRUE(ini.ReadBool("Record", "Channels", false));
  EXPECT_FALSE(ini.ReadBool("Record", "Compression", true));
  EXPECT_EQ(ini.ReadInteger("Record", "Codec", 0), -85);
  EXPECT_EQ(ini.ReadString("Reopen", "Reopen0", ""), "01.02.2024,/home/u/Scores/A, B.mid");
  EXPECT_TRUE(ini.ValueExists("Tools", "Language"));
  EXPECT_EQ(ini.ReadString("Tools", "Language", "ENU"), "");
  ini.DeleteKey("Record", "Codec");
  EXPECT_EQ(ini.ReadInteger("Record", "Codec", 7), 7);
  TStringList keys;
  ini.ReadSection("Record", keys);
  EXPECT_EQ(keys.Text(), "Channels\r\nCompression\r\n");
}

TEST_F(IniFileTest, ValuesAreReadAsWindowsReadsThem) {
  WriteFile("\xEF\xBB\xBF[Play]\nDevice = 2 \nDevice=3\nHex=0x1F\nBad=12a\nQuoted=\" two words \"\nYes=5\n"
            "Huge=99999999999\n");
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Play", "Device", 0), 2);  // the first of two
  EXPECT_EQ(ini.ReadInteger("Play", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Play", "Bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Play", "Huge", -1), -1);
  EXPECT_EQ(ini.ReadString("Play", "Quoted", ""), " two words ");
  EXPECT_TRUE(ini.ReadBool("Play", "Yes", false));
  ini.WriteInteger("Play", "Device", 4);
  EXPECT_EQ(ReadFile().substr(0, 28), "\xEF\xBB\xBF[Play]\nDevice=4\nDevice=3\n");
}

TEST_F(IniFileTest, UnknownSectionsCommentsAndLineEndsStayAsTheyWere) {
  WriteFile("; written by hand\r\n[Other]\r\nKeep = this\r\n\r\n[Record]\r\nSampleRate=3\r\nnot a key\r\n\r\n[Zeta]\r\nA=1\r\n");
  TIniFile ini(Path());
  ini.WriteInteger("Record", "SampleRate", 6);
  ini.WriteInteger("Record", "Driver", 1);
  ini.EraseSection("Zeta");
  EXPECT_EQ(ReadFile(),
            "; written by hand\r\n[Other]\r\nKeep = this\r\n\r\n[Record]\r\nSampleRate=6\r\nnot a key\r\nDriver=1\r\n\r\n");
  TStringList sections;
  ini.ReadSections(sections);
  EXPECT_EQ(sections.Text(), "Other\r\nRecord\r\n");
}

TEST_F(IniFileTest, AWriteThatFailsHalfWayRaisesAndLeavesTheFileAsItWas) {
  WriteFile("[Tools]\nLanguage=RUS\n");
  TIniFile ini(Path());
  // Files may grow to 64 bytes only: the new text stops half written.
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_IGN);
  rlimit small{64, old.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(ini.WriteString("Tools", "Path", std::string(100, 'x')), EIniFileException);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(ReadFile(), "[Tools]\nLanguage=RUS\n");
  EXPECT_EQ(Dir.FileCount(), 1u);  // no temporary left
  EXPECT_THROW(TIniFile("/proc/self/KorvaneSonarid.ini").WriteBool("Properties", "Helper", true), EIniFileException);
}

}  // namespace
}  // namespace forms::test
