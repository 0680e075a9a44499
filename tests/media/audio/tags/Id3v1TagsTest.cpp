// The ID3v1 tag on tags built byte by byte after the published layout, and
// written by us on an MP3 ffmpeg makes and read back by ffprobe.

#include <gtest/gtest.h>

#include <cstring>

#include "TagTestFiles.h"
#include "media/audio/tags/Id3v1Tags.h"

using namespace tagtest;

namespace {

struct TV1Case {
  const char* Name;
  std::vector<std::pair<int, std::string>> Fields;  // bytes at offsets of the 128
  std::string Title, Comment;
  int Year, Track, GenreId;
  std::string Genre;
};

const std::string k30(30, 'c');

class Id3v1Read : public testing::TestWithParam<TV1Case> {};

TEST_P(Id3v1Read, ReadsTheLast128BytesKeepingThePosition) {
  codectest::TScratchDir dir;
  std::vector<uint8_t> file(1000 + 128, 0xEE);
  std::fill(file.begin() + 1000, file.end(), 0);
  std::memcpy(&file[1000], "TAG", 3);
  for (const auto& [at, bytes] : GetParam().Fields) std::memcpy(&file[1000 + at], bytes.data(), bytes.size());
  TOpenFile f(WriteFile(dir, file));
  ::lseek(f.Handle, 77, SEEK_SET);
  TId3v1Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(f.Position(), 77);
  EXPECT_EQ(tags.Title(), GetParam().Title);
  EXPECT_EQ(tags.Comment(), GetParam().Comment);
  EXPECT_EQ(tags.Year(), GetParam().Year);
  EXPECT_EQ(tags.Track(), GetParam().Track);
  EXPECT_EQ(tags.GenreId(), GetParam().GenreId);
  EXPECT_EQ(tags.Genre(), GetParam().Genre);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Id3v1Read,
    testing::Values(
        TV1Case{"TrackAfterAZero",
                {{3, " Song  "}, {93, "1999"}, {97, k30}, {125, std::string(1, 0)}, {126, "\7"}},
                "Song",
                std::string(28, 'c'),
                1999,
                7,
                0,
                "Blues"},
        TV1Case{"TrackAfterABlank", {{97, k30}, {125, " \11\223"}}, "", std::string(28, 'c'), 0, 9, 147, "Synthpop"},
        TV1Case{"ThirtyBytesOfComment", {{97, k30}, {127, "\14"}}, "", k30, 0, 0, 12, "Other"},
        TV1Case{"GenrePastTheList", {{93, "19x4"}, {127, "\310"}}, "", "", 0, 0, 12, "Other"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Id3v1, WithoutATagNothingIsReadAndTheValuesAreCleared) {
  codectest::TScratchDir dir;
  for (size_t size : {0, 100, 1000}) {
    TOpenFile f(WriteFile(dir, std::vector<uint8_t>(size, 'T')));
    TId3v1Tags tags;
    tags.SetTitle("old");
    EXPECT_FALSE(tags.ReadFromFile(f.Handle)) << size;
    EXPECT_EQ(tags.Title(), "");
  }
  TId3v1Tags tags;
  tags.SetTitle("kept");
  EXPECT_FALSE(tags.ReadFromFile(-1));
  EXPECT_EQ(tags.Title(), "kept") << "no file, no change";
}

TEST(Id3v1, GenresAndChangesFollowTheValueHeld) {
  TId3v1Tags tags;
  tags.SetGenreId(TId3v1Tags::OtherGenre);  // what it holds from the start
  tags.SetGenre("Polka Dots");
  EXPECT_FALSE(tags.Changed());
  EXPECT_TRUE(tags.Empty());
  tags.SetGenre("  heavy METAL ");
  EXPECT_EQ(tags.GenreId(), 137);
  EXPECT_TRUE(tags.Changed());
}

TEST(Id3v1, AWrittenTagIsWhatFfprobeReadsAndWritingAgainReplacesIt) {
  codectest::TScratchDir dir;
  const std::string path = Mp3(dir, "plain.mp3");
  const size_t size = codectest::ReadBytes(path).size();
  TId3v1Tags tags;
  tags.SetTitle("A Title Longer Than Thirty Bytes Is Cut");
  tags.SetArtist("Artist");
  tags.SetAlbum("Album");
  tags.SetYear(1987);
  tags.SetTrack(5);
  tags.SetGenre("Jazz");
  ASSERT_TRUE(tags.WriteToFile(path));
  const auto probed = ProbedTags(path);
  EXPECT_EQ(probed, (std::map<std::string, std::string>{{"title", "A Title Longer Than Thirty Byt"},
                                                        {"artist", "Artist"},
                                                        {"album", "Album"},
                                                        {"date", "1987"},
                                                        {"track", "5"},
                                                        {"genre", "Jazz"}}));
  tags.SetTitle("Second");
  ASSERT_TRUE(tags.WriteToFile(path));
  EXPECT_EQ(codectest::ReadBytes(path).size(), size + 128) << "one tag";
  TOpenFile f(path);
  TId3v1Tags back;
  ASSERT_TRUE(back.ReadFromFile(f.Handle));
  EXPECT_EQ(back.Title(), "Second");
  EXPECT_EQ(back.Track(), 5);
}

}  // namespace
