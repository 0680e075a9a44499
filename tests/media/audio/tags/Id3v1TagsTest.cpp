// The ID3v1 tag on tags built byte by byte after the published layout, and
// on MP3 files ffmpeg makes, written by us and read back by ffprobe.

#include <gtest/gtest.h>

#include <cstring>

#include "TagTestFiles.h"
#include "media/audio/tags/Id3v1Tags.h"

using namespace tagtest;

namespace {

// 128 bytes: "TAG", then the fields at their offsets.
struct TRawTag {
  TRawTag() {
    std::memcpy(Bytes, "TAG", 3);
  }
  TRawTag& Put(int at, const std::string& text) {
    std::memcpy(Bytes + at, text.data(), text.size());
    return *this;
  }
  TRawTag& Byte(int at, uint8_t v) {
    Bytes[at] = v;
    return *this;
  }
  uint8_t Bytes[128] = {};
};

struct TV1Case {
  const char* Name;
  TRawTag Tag;
  std::string Title, Year;  // the year as the getter gives it, in decimal
  std::string Comment;
  int Track, GenreId;
  std::string Genre;
};

const std::string k30(30, 'c');

class Id3v1Read : public testing::TestWithParam<TV1Case> {};

TEST_P(Id3v1Read, ReadsTheFieldsOfTheLast128Bytes) {
  codectest::TScratchDir dir;
  const std::string path = dir.Path("tagged.mp3");
  std::vector<uint8_t> file(1000, 0xEE);
  file.insert(file.end(), GetParam().Tag.Bytes, GetParam().Tag.Bytes + 128);
  codectest::WriteBytes(path, file);
  TOpenFile f(path);
  ::lseek(f.Handle, 77, SEEK_SET);
  TId3v1Tags tags;
  EXPECT_TRUE(tags.TagPresent(f.Handle));
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(f.Position(), 77) << "the file's position is kept";
  EXPECT_EQ(tags.Title(), GetParam().Title);
  EXPECT_EQ(std::to_string(tags.Year()), GetParam().Year);
  EXPECT_EQ(tags.Comment(), GetParam().Comment);
  EXPECT_EQ(tags.Track(), GetParam().Track);
  EXPECT_EQ(tags.GenreId(), GetParam().GenreId);
  EXPECT_EQ(tags.Genre(), GetParam().Genre);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Id3v1Read,
    testing::Values(
        TV1Case{"TrackAfterAZero", TRawTag().Put(3, "Song").Put(93, "1999").Put(97, k30).Byte(125, 0).Byte(126, 7),
                "Song", "1999", std::string(28, 'c'), 7, 0, "Blues"},
        TV1Case{"TrackAfterABlank", TRawTag().Put(97, k30).Byte(125, ' ').Byte(126, 9).Byte(127, 147), "", "0",
                std::string(28, 'c'), 9, 147, "Synthpop"},
        TV1Case{"NoTrackAfterAZero", TRawTag().Put(97, "short").Byte(127, 8), "", "0", "short", 0, 8, "Jazz"},
        TV1Case{"ThirtyBytesOfComment", TRawTag().Put(97, k30).Byte(127, 12), "", "0", k30, 0, 12, "Other"},
        TV1Case{"GenrePastTheList", TRawTag().Byte(127, 200), "", "0", "", 0, 12, "Other"},
        TV1Case{"PaddedTexts", TRawTag().Put(3, "  Padded  Title            ").Put(93, " 84 "), "Padded  Title",
                "84", "", 0, 0, "Blues"},
        TV1Case{"YearNotANumber", TRawTag().Put(93, "19x4"), "", "0", "", 0, 0, "Blues"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Id3v1, NoTagReadsNothingAndClearsTheValues) {
  codectest::TScratchDir dir;
  for (size_t size : {0, 100, 1000}) {
    const std::string path = dir.Path("f" + std::to_string(size));
    codectest::WriteBytes(path, std::vector<uint8_t>(size, 'T'));
    TOpenFile f(path);
    TId3v1Tags tags;
    tags.SetTitle("old");
    EXPECT_FALSE(tags.TagPresent(f.Handle));
    EXPECT_FALSE(tags.ReadFromFile(f.Handle)) << size;
    EXPECT_EQ(tags.Title(), "");
  }
  TId3v1Tags tags;
  tags.SetTitle("kept");
  EXPECT_FALSE(tags.ReadFromFile(-1));
  EXPECT_FALSE(tags.TagPresent(-1));
  EXPECT_FALSE(tags.WriteToFile(dir.Path("missing.mp3")));
}

TEST(Id3v1, GenreNamesFollowTheList) {
  EXPECT_EQ(TId3v1Tags::GenreName(0), "Blues");
  EXPECT_EQ(TId3v1Tags::GenreName(12), "Other");
  EXPECT_EQ(TId3v1Tags::GenreName(147), "Synthpop");
  EXPECT_EQ(TId3v1Tags::GenreName(148), "");
  TId3v1Tags tags;
  tags.SetGenre("  heavy METAL ");
  EXPECT_EQ(tags.GenreId(), 137);
  tags.SetGenre("Polka Dots");
  EXPECT_EQ(tags.GenreId(), 137);
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
  tags.SetComment("Comment");
  ASSERT_TRUE(tags.WriteToFile(path));
  auto probed = ProbedTags(path);
  EXPECT_EQ(probed["title"], "A Title Longer Than Thirty Byt");
  EXPECT_EQ(probed["artist"], "Artist");
  EXPECT_EQ(probed["album"], "Album");
  EXPECT_EQ(probed["date"], "1987");
  EXPECT_EQ(probed["track"], "5");
  EXPECT_EQ(probed["genre"], "Jazz");
  EXPECT_EQ(probed["comment"], "Comment");

  tags.SetTitle("Second");
  tags.SetTrack(0);
  ASSERT_TRUE(tags.WriteToFile(path));
  EXPECT_EQ(codectest::ReadBytes(path).size(), size + 128) << "one tag";
  TOpenFile f(path);
  TId3v1Tags back;
  ASSERT_TRUE(back.ReadFromFile(f.Handle));
  EXPECT_EQ(back.Title(), "Second");
  EXPECT_EQ(back.Track(), 0);
  EXPECT_EQ(back.Comment(), "Comment");
  EXPECT_EQ(back.Genre(), "Jazz");
  EXPECT_EQ(ProbedTags(path)["title"], "Second");
}

}  // namespace
