// The opened file plays a MusicXML file's dynamics: the note-ons its view
// sends follow the dynamics marks, hairpins and accents of the file.

#include <gtest/gtest.h>

#include <regex>

#include "ProgramTestSupport.h"
#include "app/DynamicLevels.h"
#include "app/LoadedFile.h"
#include "app/Program.h"
#include "platform/threads/Clock.h"
#include "player/PlayEngine.h"
#include "player/Window.h"
#include "support/ScratchDir.h"

namespace {

// The velocities of the note-ons the opened file's view sends, played on a
// fake clock.
std::vector<int> PlayedVelocities(const std::string& file) {
  StartScoreServices();
  TLoadedFile opened(file);
  TFakeClock clock;
  opened.Window->SetClock(clock);
  std::vector<int> velocities;
  opened.Window->OnPlayShort = [&](TObject*, uint8_t status, uint8_t, uint8_t velocity, int32_t, bool) {
    if ((status & 0xF0) == 0x90 && velocity > 0) velocities.push_back(velocity);
  };
  TSleepInterrupt none;
  if (opened.Window->BeginPlay()) TKVPlayEngine(*opened.Window).Run(none);
  return velocities;
}

std::string Direction(const std::string& type) {
  return "<direction><direction-type>" + type + "</direction-type></direction>";
}
std::string Dynamic(const std::string& name) { return Direction("<dynamics><" + name + "/></dynamics>"); }
std::string Wedge(const std::string& type) { return Direction("<wedge type=\"" + type + "\"/>"); }

TEST(LoadedFileDynamics, NotesPlayLouderAsTheMarksRise) {
  auto note = [](const std::string& before, const char* notations = "") {
    return before + "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>" + notations +
           "</note>";
  };
  test_support::TScratchDir scratch;
  const std::string path = scratch.Path("dynamics.xml");
  test_support::WriteText(path,
                          "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P\"/></part-list>"
                          "<part id=\"P\"><measure><attributes><divisions>1</divisions></attributes>" +
                              note(Dynamic("p")) + note(Dynamic("f")) + note("") + note(Wedge("crescendo")) +
                              "</measure><measure>" + note(Wedge("stop")) +
                              note("", "<notations><articulations><accent/></articulations></notations>") +
                              "<forward><duration>2</duration></forward></measure></part></score-partwise>");
  const std::vector<int> velocities = PlayedVelocities(path);
  // p, f, the crescendo from f (it starts with the note before it, still at
  // f) to its stop, the accent above where it ended.
  ASSERT_EQ(velocities.size(), 6u);
  EXPECT_LT(velocities[0], 64);
  EXPECT_GT(velocities[1], 80);
  EXPECT_EQ(velocities[2], velocities[1]);
  for (size_t i = 3; i < velocities.size(); ++i) EXPECT_GT(velocities[i], velocities[i - 1]) << "note " << i;
}

// Whole notes, levels by hand: pp 32, ppp 16, p 48, f 96, hairpin step 16.
TEST(LoadedFileDynamics, HairpinsMoveTheLevelInForce) {
  test_support::TScratchDir scratch;
  auto play = [&](const std::vector<std::string>& marks) {  // the directions before each note
    std::string document = "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P\"/></part-list>"
                           "<part id=\"P\"><measure><attributes><divisions>1</divisions></attributes>";
    for (const std::string& directions : marks)
      document += directions + "<note><pitch><step>C</step><octave>4</octave></pitch><duration>4</duration></note>"
                               "</measure><measure>";
    test_support::WriteText(scratch.Path("hairpins.xml"), document + "</measure></part></score-partwise>");
    return PlayedVelocities(scratch.Path("hairpins.xml"));
  };
  EXPECT_EQ(play({Dynamic("pp"), Wedge("crescendo"), "", Wedge("stop") + Dynamic("f"), Wedge("diminuendo"), "",
                  Wedge("stop") + Dynamic("p"), ""}),
            (std::vector<int>{32, 32, 40, 96, 96, 88, 48, 48}));
  // A diminuendo written before the crescendo's stop; none goes below ppp.
  EXPECT_EQ(play({Dynamic("pp"), Wedge("crescendo"), "", Wedge("diminuendo") + Wedge("stop"), "", Wedge("stop"),
                  Dynamic("ppp"), Wedge("diminuendo"), "", Wedge("stop")}),
            (std::vector<int>{32, 32, 40, 48, 40, 32, 16, 16, 16, 16}));
}

// Each note of the directions file sounds at the level of the last
// dynamics mark before it, lifted when an fp or sforzando stands at the
// note itself; a hairpin moves the level by the time of its stop.
TEST(LoadedFileDynamics, DirectionsFilePlaysItsDynamics) {
  const std::string file = apptest::CorpusXml("31a-Directions.xml");
  if (!apptest::fs::exists(file)) GTEST_SKIP() << "no MusicXML corpus";
  const std::string document = test_support::ReadText(file);
  const std::vector<std::string> names = {"p",  "pp",  "ppp", "mp",  "fp", "mf", "f",
                                          "ff", "fff", "sf",  "esf", "fz", "sfz"};
  std::vector<int> expected;
  int current = 64, wedge = 0, lift = 0;
  const std::regex token(R"re(<note>|<dynamics>\s*<([a-z-]+)|<wedge type="(\w+)")re");
  for (std::sregex_iterator t(document.begin(), document.end(), token), end; t != end; ++t) {
    if ((*t)[1].matched) {
      const int variant = int(std::find(names.begin(), names.end(), (*t)[1].str()) - names.begin()) % 13;
      (variant == 4 || variant >= 9 ? lift : current) = DynamicLevel(110, variant);
    } else if ((*t)[2].matched) {
      (*t)[2] == "stop" ? current += wedge : wedge = (*t)[2] == "crescendo" ? 16 : -16;
    } else {
      expected.push_back(std::min(current + lift, 127));
      lift = 0;
    }
  }
  EXPECT_EQ(PlayedVelocities(file), expected);
}

}  // namespace
