// The opened file plays a MusicXML file's dynamics: the note-ons its view
// sends follow the dynamics marks, hairpins and accents of the file.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <unistd.h>

#include "ProgramTestSupport.h"
#include "app/DynamicLevels.h"
#include "app/LoadedFile.h"
#include "app/Program.h"
#include "platform/threads/Clock.h"
#include "player/PlayEngine.h"
#include "player/Window.h"

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
  if (!opened.Window->BeginPlay()) return {};
  TSleepInterrupt none;
  TKVPlayEngine(*opened.Window).Run(none);
  return velocities;
}

std::string Note(const std::string& before, const char* notations = "") {
  return before + "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>" +
         "<type>quarter</type>" + notations + "</note>";
}

std::string Direction(const char* type) {
  return std::string("<direction><direction-type>") + type + "</direction-type></direction>";
}

TEST(LoadedFileDynamics, NotesPlayLouderAsTheMarksRise) {
  const std::string document =
      "<?xml version=\"1.0\"?><score-partwise><part-list><score-part id=\"P1\"/></part-list><part id=\"P1\">"
      "<measure number=\"1\"><attributes><divisions>1</divisions><time><beats>4</beats><beat-type>4</beat-type>"
      "</time></attributes>" +
      Note(Direction("<dynamics><p/></dynamics>")) + Note(Direction("<dynamics><f/></dynamics>")) +
      Note("") + Direction("<wedge type=\"crescendo\"/>") + Note("") + "</measure><measure number=\"2\">" +
      Note(Direction("<wedge type=\"stop\"/>")) +
      Note("", "<notations><articulations><accent/></articulations></notations>") +
      "<forward><duration>2</duration></forward></measure></part></score-partwise>";
  const apptest::fs::path path =
      apptest::fs::temp_directory_path() / ("sonarid-dynamics-" + std::to_string(::getpid()) + ".xml");
  apptest::WriteText(path, document);
  const std::vector<int> velocities = PlayedVelocities(path.string());
  apptest::fs::remove(path);

  ASSERT_EQ(velocities.size(), 6u);
  // p, f, the crescendo from f (it starts with the note before it, still at
  // f) to its stop, the accent above where it ended.
  for (size_t i = 3; i < velocities.size(); ++i) EXPECT_GT(velocities[i], velocities[i - 1]) << "note " << i;
  EXPECT_GT(velocities[1], velocities[0]);
  EXPECT_EQ(velocities[2], velocities[1]);
  EXPECT_LT(velocities[0], 64);
  EXPECT_GT(velocities[1], 80);
}

// Each note of the directions file sounds at the level of the last
// dynamics mark before it, lifted when an fp or sforzando stands at the
// note itself; a hairpin moves the level by the time of its stop.
TEST(LoadedFileDynamics, DirectionsFilePlaysItsDynamics) {
  const std::string file = apptest::CorpusXml("31a-Directions.xml");
  if (!apptest::fs::exists(file)) GTEST_SKIP() << "no MusicXML corpus";
  const std::string document = apptest::ReadText(file);
  const std::vector<std::string> names = {"p",   "pp", "ppp", "mp",  "fp", "mf", "f",
                                          "ff",  "fff", "sf", "esf", "fz", "sfz"};
  std::vector<int> expected;
  int current = 64, wedge = 0, lift = 0;
  const std::regex token(R"re(<note>|<dynamics>\s*<([a-z-]+)|<wedge type="(\w+)")re");
  for (std::sregex_iterator t(document.begin(), document.end(), token), end; t != end; ++t) {
    if ((*t)[1].matched) {
      const int variant = int(std::find(names.begin(), names.end(), (*t)[1].str()) - names.begin()) % 13;
      const bool accent = variant == 4 || variant >= 9;
      (accent ? lift : current) = DynamicLevel(110, variant);
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
