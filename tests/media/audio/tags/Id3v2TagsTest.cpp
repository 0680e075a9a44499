// The ID3v2 tag on MP3 files ffmpeg makes (versions 2.3 and 2.4), on tags
// built byte by byte after the published format (2.2 to 2.4, damaged
// ones), and on tags we write, read back by ffprobe and by our reader.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TagTestFiles.h"
#include "base/Utf8.h"
#include "media/audio/tags/Id3v2Tags.h"

using namespace tagtest;

namespace {

using TBytes = std::vector<uint8_t>;

TBytes Text(const std::string& s) { return TBytes(s.begin(), s.end()); }
TBytes Text(const char* s, size_t n) { return TBytes(s, s + n); }
TBytes operator+(TBytes a, const TBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TBytes SyncSafe(uint32_t v) { return {uint8_t(v >> 21 & 0x7F), uint8_t(v >> 14 & 0x7F), uint8_t(v >> 7 & 0x7F), uint8_t(v & 0x7F)}; }
TBytes BigEndian(uint32_t v, int bytes) {
  TBytes b;
  for (int i = bytes - 1; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
  return b;
}

// A frame of Version with Body, its size as the version writes it (or Size).
TBytes Frame(int version, const std::string& id, const TBytes& body, int64_t size = -1) {
  const uint32_t n = size < 0 ? uint32_t(body.size()) : uint32_t(size);
  if (version == 2) return Text(id) + BigEndian(n, 3) + body;
  return Text(id) + (version == 3 ? BigEndian(n, 4) : SyncSafe(n)) + TBytes{0, 0} + body;
}

TBytes Tag(int version, uint8_t flags, const TBytes& body) {
  return Text("ID3") + TBytes{uint8_t(version), 0, flags} + SyncSafe(uint32_t(body.size())) + body;
}

// The tag at the start of a file with some audio bytes after it.
std::string TagFile(const codectest::TScratchDir& dir, const TBytes& tag, const TBytes& after = TBytes(64, 0xFF)) {
  const std::string path = dir.Path("tag.mp3");
  codectest::WriteBytes(path, tag + after);
  return path;
}

struct TReadCase {
  const char* Name;
  TBytes Tag;
  std::u16string Title, Artist;
  uint8_t FrameIdSet;
};

class Id3v2Read : public testing::TestWithParam<TReadCase> {};

TEST_P(Id3v2Read, ReadsTheTextFrames) {
  codectest::TScratchDir dir;
  TOpenFile f(TagFile(dir, GetParam().Tag));
  TId3v2Tags tags;
  EXPECT_TRUE(tags.TagPresent(f.Handle));
  EXPECT_EQ(f.Position(), 0);
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(f.Position(), off_t(GetParam().Tag.size())) << "at the tag's end";
  EXPECT_EQ(tags.FrameIdSet(), GetParam().FrameIdSet);
  EXPECT_EQ(tags.Title(), GetParam().Title);
  EXPECT_EQ(tags.Artist(), GetParam().Artist);
}

const TBytes kHi16LE = {0xFF, 0xFE, 'H', 0, 'i', 0, 0, 0};
const TBytes kHi16BE = {0xFE, 0xFF, 0, 'H', 0, 'i', 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Tags, Id3v2Read,
    testing::Values(
        TReadCase{"Utf16LittleEndianMark", Tag(3, 0, Frame(3, "TIT2", TBytes{1} + kHi16LE)), u"Hi", u"", 1},
        TReadCase{"Utf16BigEndianMark", Tag(3, 0, Frame(3, "TIT2", TBytes{1} + kHi16BE)), u"Hi", u"", 1},
        TReadCase{"Utf16WithoutMark", Tag(3, 0, Frame(3, "TIT2", TBytes{1, 'H', 0, 'i', 0})), u"Hi", u"", 1},
        TReadCase{"Latin1", Tag(3, 0, Frame(3, "TIT2", TBytes{0} + Text("Caf\xE9") + TBytes{0, 'x'})), u"Caf\u00E9",
                  u"", 1},
        TReadCase{"Utf8", Tag(4, 0, Frame(4, "TPE1", TBytes{3} + Text("\xD0\x9C\xD0\xB8\xD1\x80"))), u"",
                  u"\u041C\u0438\u0440", 1},
        TReadCase{"Utf16BigEndianWithoutMarkIsNotRead", Tag(4, 0, Frame(4, "TIT2", TBytes{2, 0, 'H'})), u"", u"", 1},
        TReadCase{"Version22", Tag(2, 0, Frame(2, "TT2", Text("\0Old", 4)) + Frame(2, "TP1", Text("\0Band", 5))),
                  u"Old", u"Band", 0},
        TReadCase{"CommentAndOtherFramesSkipped",
                  Tag(3, 0, Frame(3, "COMM", Text("\0engxyz", 7)) + Frame(3, "TXXX", Text("\0a\0b", 4)) +
                                Frame(3, "TIT2", Text("\0T", 2))),
                  u"T", u"", 1},
        TReadCase{"ZeroSizeFrameSkipped", Tag(3, 0, Frame(3, "TALB", {}) + Frame(3, "TIT2", Text("\0T", 2))), u"T",
                  u"", 1},
        TReadCase{"PaddingEndsTheFrames",
                  Tag(3, 0, Frame(3, "TIT2", Text("\0T", 2)) + TBytes(20, 0) + Frame(3, "TPE1", Text("\0A", 2))),
                  u"T", u"", 1},
        TReadCase{"ExtendedHeader23",
                  Tag(3, 0x40, BigEndian(6, 4) + TBytes(6, 0) + Frame(3, "TIT2", Text("\0Ext", 4))), u"Ext", u"", 1},
        TReadCase{"ExtendedHeader24",
                  Tag(4, 0x40, SyncSafe(6) + TBytes{1, 0} + Frame(4, "TIT2", Text("\0Ext", 4))), u"Ext", u"", 1},
        TReadCase{"FramePastTheTagsEnd",
                  Tag(3, 0, Frame(3, "TIT2", Text("\0T", 2)) + Frame(3, "TPE1", Text("\0Artist", 7), 200)), u"T",
                  u"", 1},
        TReadCase{"FrameSizeSyncSafeIn24", Tag(4, 0, Frame(4, "TIT2", TBytes{0} + TBytes(200, 'a'))),
                  std::u16string(200, u'a'), u"", 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Id3v2, AFramePastTheTagsEndReadsNothingBeyondIt) {
  codectest::TScratchDir dir;
  // The artist frame claims the tag's rest and the bytes after it, which
  // look like its text.
  const TBytes tag = Tag(3, 0, Frame(3, "TPE1", Text("\0Art", 4), 30));
  TOpenFile f(TagFile(dir, tag, Text("ist of the audio") + TBytes(30, 'x')));
  TId3v2Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(tags.Artist(), u"");
}

struct THeaderCase {
  uint8_t Version, Revision, Flags, SizeByte;
  bool Valid;
};

class Id3v2Header : public testing::TestWithParam<THeaderCase> {};

TEST_P(Id3v2Header, AcceptsTheFlagsItsVersionDefines) {
  codectest::TScratchDir dir;
  const THeaderCase& c = GetParam();
  TBytes tag = Text("ID3") + TBytes{c.Version, c.Revision, c.Flags, 0, 0, 0, c.SizeByte};
  tag.resize(10 + 32, 0);
  TOpenFile f(TagFile(dir, tag));
  TId3v2Tags tags;
  EXPECT_EQ(tags.TagPresent(f.Handle), c.Valid);
  EXPECT_EQ(tags.ReadFromFile(f.Handle), c.Valid);
  if (!c.Valid) {
    EXPECT_EQ(f.Position(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Headers, Id3v2Header,
                         testing::Values(THeaderCase{2, 0, 0x40, 32, true}, THeaderCase{2, 0, 0x20, 32, false},
                                         THeaderCase{3, 0, 0xE0, 32, true}, THeaderCase{3, 0, 0x10, 32, false},
                                         THeaderCase{4, 0, 0xF0, 22, true}, THeaderCase{4, 0, 0x08, 32, false},
                                         THeaderCase{4, 254, 0, 32, true}, THeaderCase{4, 255, 0, 32, false},
                                         THeaderCase{3, 0, 0, 0x80, false}, THeaderCase{5, 0, 0, 32, false},
                                         THeaderCase{1, 0, 0, 32, false}));

TEST(Id3v2, ATagTheFileCutsShortIsNotRead) {
  codectest::TScratchDir dir;
  TBytes tag = Tag(3, 0, Frame(3, "TIT2", Text("\0Title", 6)) + TBytes(100, 0));
  tag.resize(tag.size() - 50);
  TOpenFile f(TagFile(dir, tag, {}));
  TId3v2Tags tags;
  tags.SetTitle(u"old");
  EXPECT_FALSE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(tags.Title(), u"");
  EXPECT_EQ(f.Position(), 0);
}

TEST(Id3v2, ReadsATagAtTheFilesPosition) {
  codectest::TScratchDir dir;
  const TBytes tag = Tag(3, 0, Frame(3, "TIT2", Text("\0Later", 6)));
  TOpenFile f(TagFile(dir, TBytes(5, 'x') + tag));
  ::lseek(f.Handle, 5, SEEK_SET);
  TId3v2Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(tags.Title(), u"Later");
  EXPECT_EQ(f.Position(), off_t(5 + tag.size()));
}

struct TFfmpegCase {
  const char* Name;
  int Version;
  std::string Title, Artist;
};

class Id3v2Ffmpeg : public testing::TestWithParam<TFfmpegCase> {};

TEST_P(Id3v2Ffmpeg, ReadsTheTextsFfprobeShows) {
  codectest::TScratchDir dir;
  const TFfmpegCase& c = GetParam();
  const std::string path = Mp3(dir, "tagged.mp3",
                               "-id3v2_version " + std::to_string(c.Version) + " -metadata title='" + c.Title +
                                   "' -metadata artist='" + c.Artist + "' -metadata album=Plain -metadata date=2004");
  auto probed = ProbedTags(path);
  ASSERT_EQ(probed["title"], c.Title);
  TOpenFile f(path);
  TId3v2Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(Utf16ToUtf8(tags.Title()), probed["title"]);
  EXPECT_EQ(Utf16ToUtf8(tags.Artist()), probed["artist"]);
  EXPECT_EQ(Utf16ToUtf8(tags.Album()), probed["album"]);
  if (c.Version == 3) {
    EXPECT_EQ(tags.Year(), "2004");
  }
}

INSTANTIATE_TEST_SUITE_P(Mp3, Id3v2Ffmpeg,
                         testing::Values(TFfmpegCase{"Ascii23", 3, "Plain Title", "Band"},
                                         TFfmpegCase{"Latin23", 3, "Café Crème", "Ångström"},
                                         TFfmpegCase{"Cyrillic23", 3, "Привет мир", "Артист"},
                                         TFfmpegCase{"Ascii24", 4, "Plain Title", "Band"},
                                         TFfmpegCase{"Latin24", 4, "Café Crème", "Ångström"},
                                         TFfmpegCase{"Cyrillic24", 4, "Привет мир", "Артист"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The padding a written tag ends with: what its header's size counts past
// the last frame.
size_t Padding(const TBytes& file) {
  const size_t size = size_t(file[6]) << 21 | size_t(file[7]) << 14 | size_t(file[8]) << 7 | file[9];
  size_t at = 10;
  while (at + 10 <= 10 + size && file[at] >= 'A' && file[at] <= 'Z')
    at += 10 + (size_t(file[at + 4]) << 21 | size_t(file[at + 5]) << 14 | size_t(file[at + 6]) << 7 | file[at + 7]);
  for (size_t i = at; i < 10 + size; ++i) EXPECT_EQ(file[i], 0);
  return 10 + size - at;
}

TEST(Id3v2, WritesPaddingOfOneToSixteenBytes) {
  codectest::TScratchDir dir;
  // One frame of 10 + 1 + n bytes: 22 bytes of frames (6 past a multiple of
  // 16) leave 16 bytes of padding, 23 leave 15, 21 leave 1.
  for (auto [n, padding] : {std::pair{11, 16}, {12, 15}, {10, 1}}) {
    const std::string path = dir.Path("p" + std::to_string(n));
    codectest::WriteBytes(path, TBytes(10, 0xFF));
    TId3v2Tags tags;
    tags.SetTrack(std::string(size_t(n), '1'));
    ASSERT_TRUE(tags.WriteToFile(path));
    EXPECT_EQ(Padding(codectest::ReadBytes(path)), size_t(padding)) << n;
  }
}

TEST(Id3v2, ALongTitleIsWrittenForEveryReaderAndWritingTwiceLeavesOneTag) {
  codectest::TScratchDir dir;
  const std::string path = Mp3(dir, "plain.mp3");
  const TBytes audio = codectest::ReadBytes(path);
  std::u16string title;
  for (int i = 0; i < 300; ++i) title += char16_t(i % 2 ? u'a' + i % 26 : u'\u0416');  // Ж between letters
  TId3v2Tags tags;
  tags.SetTitle(title);
  tags.SetArtist(u"Artist");
  tags.SetYear("2020");
  ASSERT_TRUE(tags.WriteToFile(path));
  EXPECT_EQ(ProbedTags(path)["title"], Utf16ToUtf8(title));

  tags.SetArtist(u"Second");
  ASSERT_TRUE(tags.WriteToFile(path));
  const TBytes file = codectest::ReadBytes(path);
  const size_t tagSize = 10 + (size_t(file[6]) << 21 | size_t(file[7]) << 14 | size_t(file[8]) << 7 | file[9]);
  ASSERT_EQ(file.size(), tagSize + audio.size()) << "one tag";
  EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + long(tagSize)));
  EXPECT_EQ(ProbedTags(path)["artist"], "Second");
  TOpenFile f(path);
  TId3v2Tags back;
  ASSERT_TRUE(back.ReadFromFile(f.Handle));
  EXPECT_EQ(back.Title(), title);
  EXPECT_EQ(back.Artist(), u"Second");
  EXPECT_EQ(back.Year(), "2020");
}

TEST(Id3v2, WithoutUnicodeTextsGoOutInSingleBytes) {
  codectest::TScratchDir dir;
  const std::string path = TagFile(dir, {});
  TId3v2Tags tags;
  tags.SetTitle(u"Caf\u00E9 \u041C");
  ASSERT_TRUE(tags.WriteToFile(path, false));
  const TBytes file = codectest::ReadBytes(path);
  const TBytes frame = Text("TIT2") + SyncSafe(7) + TBytes{0, 0, 0} + Text("Caf\xE9 ?");
  EXPECT_EQ(TBytes(file.begin() + 10, file.begin() + 27), frame);
}

TEST(Id3v2, AVersion22TagIsWrittenUnderTheFourLetterIds) {
  codectest::TScratchDir dir;
  const std::string path = TagFile(dir, Tag(2, 0, Frame(2, "TT2", Text("\0Old", 4))));
  TId3v2Tags tags;
  {
    TOpenFile f(path);
    ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  }
  ASSERT_TRUE(tags.WriteToFile(path));
  TOpenFile f(path);
  TId3v2Tags back;
  ASSERT_TRUE(back.ReadFromFile(f.Handle));
  EXPECT_EQ(back.FrameIdSet(), 1);
  EXPECT_EQ(back.Title(), u"Old");
}

TEST(Id3v2, AWriteThatCannotBeDoneLeavesTheFileAsItWas) {
  codectest::TScratchDir dir;
  const std::string folder = dir.Path("locked");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string path = folder + "/song.mp3";
  const TBytes before = TBytes(100, 0xFF);
  codectest::WriteBytes(path, before);
  ::chmod(folder.c_str(), 0555);
  bool written = true;
  TId3v2Tags tags;
  tags.SetTitle(u"Title");
  WithoutFilePrivileges([&] { written = tags.WriteToFile(path); });
  ::chmod(folder.c_str(), 0755);
  EXPECT_FALSE(written);
  EXPECT_EQ(codectest::ReadBytes(path), before);
  EXPECT_EQ(dir.FileCount(), 1u);
}

}  // namespace
