// The ID3v2 tag on MP3 files ffmpeg makes (versions 2.3 and 2.4), on tags
// built byte by byte after the published format, and on tags we write,
// read back by ffprobe and by our reader.

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <thread>

#include "TagTestFiles.h"
#include "base/Utf8.h"
#include "media/audio/tags/Id3v2Tags.h"

using namespace tagtest;

namespace {

using TBytes = std::vector<uint8_t>;

TBytes Text(const std::string& s) { return TBytes(s.begin(), s.end()); }
TBytes operator+(TBytes a, const TBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
TBytes SyncSafe(uint32_t v) {
  return {uint8_t(v >> 21 & 127), uint8_t(v >> 14 & 127), uint8_t(v >> 7 & 127), uint8_t(v & 127)};
}

// A frame of Version with Body, its size (Body's unless given) as the version writes it.
TBytes Frame(int version, const std::string& id, const TBytes& body, int64_t size = -1) {
  const uint32_t n = size < 0 ? uint32_t(body.size()) : uint32_t(size);
  const TBytes bigEndian = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
  if (version == 2) return Text(id) + TBytes(bigEndian.begin() + 1, bigEndian.end()) + body;
  return Text(id) + (version == 3 ? bigEndian : SyncSafe(n)) + TBytes{0, 0} + body;
}
TBytes Tag(int version, uint8_t flags, const TBytes& body) {
  return Text("ID3") + TBytes{uint8_t(version), 0, flags} + SyncSafe(uint32_t(body.size())) + body;
}
// The tag's size as its header says, header included.
size_t TagSize(const TBytes& file) {
  return 10 + (size_t(file[6]) << 21 | size_t(file[7]) << 14 | size_t(file[8]) << 7 | file[9]);
}

struct TReadCase {
  const char* Name;
  TBytes Tag;
  std::u16string Title, Artist;
};

class Id3v2Read : public testing::TestWithParam<TReadCase> {};

TEST_P(Id3v2Read, ReadsTheTextFramesAndEndsAtTheTagsEnd) {
  codectest::TScratchDir dir;
  // Bytes after the tag that a frame running past its end would read as text.
  TOpenFile f(WriteFile(dir, GetParam().Tag + Text("ist of the audio") + TBytes(300, 'x')));
  TId3v2Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(f.Position(), off_t(GetParam().Tag.size()));
  EXPECT_EQ(tags.Title(), GetParam().Title);
  EXPECT_EQ(tags.Artist(), GetParam().Artist);
}

const TBytes kHi = {'H', 0, 'i', 0};

INSTANTIATE_TEST_SUITE_P(
    Tags, Id3v2Read,
    testing::Values(
        TReadCase{"Utf16LittleEndianMark",
                  Tag(3, 0, Frame(3, "TIT2", TBytes{1, 0xFF, 0xFE} + kHi + TBytes{0, 0, 'x', 0})), u"Hi", u""},
        TReadCase{"Utf16BigEndianMark", Tag(3, 0, Frame(3, "TIT2", TBytes{1, 0xFE, 0xFF, 0, 'H', 0, 'i'})), u"Hi", u""},
        TReadCase{"Latin1AndUtf8",
                  Tag(4, 0, Frame(4, "TIT2", Text(std::string("\0Caf\xE9", 5))) + Frame(4, "TPE1", Text("\3\xD0\x9C"))),
                  u"Caf\u00E9", u"\u041C"},
        TReadCase{
            "Version22",
            Tag(2, 0, Frame(2, "TT2", Text(std::string("\0Old", 4))) + Frame(2, "TP1", Text(std::string("\0Band", 5)))),
            u"Old", u"Band"},
        TReadCase{"ExtendedHeader23",
                  Tag(3, 0x40, TBytes{0, 0, 0, 6} + TBytes(6, 0) + Frame(3, "TIT2", Text(std::string("\0Ext", 4)))),
                  u"Ext", u""},
        TReadCase{"ExtendedHeader24",
                  Tag(4, 0x40, SyncSafe(6) + TBytes{1, 0} + Frame(4, "TIT2", Text(std::string("\0Ext", 4)))), u"Ext",
                  u""},
        TReadCase{
            "FramePastTheTagsEnd",
            Tag(3, 0,
                Frame(3, "TIT2", Text(std::string("\0T", 2))) + Frame(3, "TPE1", Text(std::string("\0Art", 4)), 30)),
            u"T", u""},
        TReadCase{"SyncSafeSizeIn24", Tag(4, 0, Frame(4, "TIT2", TBytes{0} + TBytes(200, 'a'))),
                  std::u16string(200, u'a'), u""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Id3v2, HeadersOfOtherVersionsFlagsOrSizesAndTagsCutShortAreNotRead) {
  codectest::TScratchDir dir;
  const TBytes body(20, 0), whole = Tag(3, 0, body);
  for (const TBytes& tag :
       {Tag(2, 0x20, body), Tag(3, 0x10, body), Tag(4, 0x08, body), Tag(5, 0, body),
        Text("ID3") + TBytes{4, 255, 0, 0, 0, 0, 20} + body, Text("ID3") + TBytes{4, 0, 0, 0, 0, 0x80, 20} + body,
        TBytes(whole.begin(), whole.end() - 5)}) {
    TOpenFile f(WriteFile(dir, TBytes(5, 'x') + tag));
    ::lseek(f.Handle, 5, SEEK_SET);
    TId3v2Tags tags;
    tags.SetTitle(u"old");
    EXPECT_FALSE(tags.ReadFromFile(f.Handle));
    EXPECT_EQ(tags.Title(), u"");
    EXPECT_EQ(f.Position(), 5);
  }
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
                                   "' -metadata artist='" + c.Artist + "' -metadata album=Plain");
  auto probed = ProbedTags(path);
  ASSERT_EQ(probed["title"], c.Title);
  TOpenFile f(path);
  TId3v2Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(f.Handle));
  EXPECT_EQ(Utf16ToUtf8(tags.Title()), probed["title"]);
  EXPECT_EQ(Utf16ToUtf8(tags.Artist()), probed["artist"]);
  EXPECT_EQ(Utf16ToUtf8(tags.Album()), probed["album"]);
}

INSTANTIATE_TEST_SUITE_P(Mp3, Id3v2Ffmpeg,
                         testing::Values(TFfmpegCase{"Ascii23", 3, "Plain Title", "Band"},
                                         TFfmpegCase{"Latin23", 3, "Café Crème", "Ångström"},
                                         TFfmpegCase{"Cyrillic23", 3, "Привет мир", "Артист"},
                                         TFfmpegCase{"Ascii24", 4, "Plain Title", "Band"},
                                         TFfmpegCase{"Latin24", 4, "Café Crème", "Ångström"},
                                         TFfmpegCase{"Cyrillic24", 4, "Привет мир", "Артист"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Id3v2, WritesPaddingOfOneToSixteenBytes) {
  codectest::TScratchDir dir;
  // One frame of 10 + 1 + n bytes: 22 bytes of frames (6 past a multiple of
  // 16) leave 16 bytes of padding, 23 leave 15, 21 leave 1.
  for (auto [n, padding] : {std::pair{11, 16}, {12, 15}, {10, 1}}) {
    const std::string path = WriteFile(dir, TBytes(10, 0xFF));
    TId3v2Tags tags;
    tags.SetTrack(std::string(size_t(n), '1'));
    ASSERT_TRUE(tags.WriteToFile(path));
    const TBytes file = codectest::ReadBytes(path);
    EXPECT_EQ(TagSize(file), size_t(10 + 11 + n + padding)) << n;
    EXPECT_EQ(TBytes(file.begin() + 21 + n, file.begin() + long(TagSize(file))), TBytes(size_t(padding), 0));
  }
}

TEST(Id3v2, ALongTitleIsWrittenForEveryReaderAndWritingTwiceLeavesOneTag) {
  codectest::TScratchDir dir;
  const std::string path = Mp3(dir, "plain.mp3");
  const TBytes audio = codectest::ReadBytes(path);
  std::u16string title;
  for (int i = 0; i < 300; ++i) title += i % 2 ? char16_t(u'a' + i % 26) : u'\u0416';
  TId3v2Tags tags;
  tags.SetTitle(title);
  tags.SetArtist(u"Artist");
  ASSERT_TRUE(tags.WriteToFile(path));
  EXPECT_EQ(ProbedTags(path)["title"], Utf16ToUtf8(title));
  tags.SetArtist(u"Second");
  ASSERT_TRUE(tags.WriteToFile(path));
  const TBytes file = codectest::ReadBytes(path);
  ASSERT_EQ(file.size(), TagSize(file) + audio.size()) << "one tag";
  EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + long(TagSize(file))));
  EXPECT_EQ(ProbedTags(path)["artist"], "Second");
  TOpenFile f(path);
  TId3v2Tags back;
  ASSERT_TRUE(back.ReadFromFile(f.Handle));
  EXPECT_EQ(back.Title(), title);
}

TEST(Id3v2, AVersion22TagIsWrittenUnderTheFourLetterIds) {
  codectest::TScratchDir dir;
  const std::string path = WriteFile(dir, Tag(2, 0, Frame(2, "TT2", Text(std::string("\0Old", 4)))));
  TId3v2Tags tags;
  ASSERT_TRUE(tags.ReadFromFile(TOpenFile(path).Handle));
  ASSERT_TRUE(tags.WriteToFile(path));
  TId3v2Tags back;
  ASSERT_TRUE(back.ReadFromFile(TOpenFile(path).Handle));
  EXPECT_EQ(back.FrameIdSet(), 1);
  EXPECT_EQ(back.Title(), u"Old");
}

TEST(Id3v2, AWriteIntoAReadOnlyFolderLeavesTheFileAsItWas) {
  codectest::TScratchDir dir;
  const std::string path = WriteFile(dir, TBytes(100, 0xFF));
  ::chmod(dir.Path().c_str(), 0555);
  bool written = true;
  // Without the capabilities that let root write past permissions (they are
  // held per thread).
  std::thread([&] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    ::syscall(SYS_capget, &header, caps);
    caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_FOWNER));
    ::syscall(SYS_capset, &header, caps);
    TId3v2Tags tags;
    tags.SetTitle(u"Title");
    written = tags.WriteToFile(path);
  }).join();
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_FALSE(written);
  EXPECT_EQ(codectest::ReadBytes(path), TBytes(100, 0xFF));
  EXPECT_EQ(dir.FileCount(), 1u);
}

}  // namespace
