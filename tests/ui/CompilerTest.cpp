// The language compiler: code pages, and sources it must refuse with the
// line at fault rather than write a wrong file.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>

#include "LanguageTestSupport.h"
#include "base/Streams.h"
#include "support/Raised.h"

namespace {

const std::string kHead = "language ENU\ncodepage 1252\ntitle Test\n[F]\n";  // entries start at line 5
const std::string kCyrillicHead = "language RUS\ncodepage 1251\ntitle Test\n[F]\n";

std::vector<uint8_t> Compile(const std::string& text) {
  return lrfc::CompileLangSource(lrfc::ParseLangSource(text, "t.lang"));
}

std::string ErrorOf(const std::string& text) {
  return RaisedBy<lrfc::ELangSourceError>([&] { Compile(text); });
}

struct TBadSource {
  const char* Name;
  std::string Text;
  const char* Error;
};

class BadSourceTest : public testing::TestWithParam<TBadSource> {};

TEST_P(BadSourceTest, IsRefusedWithTheLineAtFault) {
  std::string error = ErrorOf(GetParam().Text);
  EXPECT_NE(error.find(GetParam().Error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, BadSourceTest,
    testing::Values(
        // characters the code page lacks are errors, never replaced
        TBadSource{"CyrillicInWestern", kHead + "Caption = Жук\n",
                   "t.lang:5: character U+0416 'Ж' is not in code page 1252"},
        TBadSource{"LatinInCyrillic", kCyrillicHead + "Caption = café\n",
                   "t.lang:5: character U+00E9 'é' is not in code page 1251"},
        TBadSource{"InListItem", kHead + "list L.Items\n  - a\n  - ж\n", "t.lang:7: character U+0436"},
        TBadSource{"MalformedUtf8", kHead + "Caption = a\xC3(\n", "t.lang:5: malformed UTF-8"},
        TBadSource{"ControlCharacter", kHead + "Caption = a\tb\n", "t.lang:5: control character U+0009"},
        // limits of the reader
        TBadSource{"TextOver1024Bytes", kHead + "Caption = " + std::string(1025, 'a') + "\n",
                   "t.lang:5: text longer than 1024 bytes"},
        TBadSource{
            "EncodedOver1024Bytes",
            kHead + "Caption = " + std::string(513, 'a') + std::string(256, 'e') + "é" + std::string(256, 'e') + "\n",
            "t.lang:5: text longer than 1024 bytes"},
        // structure
        TBadSource{"NoLanguage", "codepage 1252\n", "t.lang:0: no \"language\" line"},
        TBadSource{"BadCodePage", "language ENU\ncodepage 866\n", "t.lang:2: code page must be 1252 or 1251"},
        TBadSource{"SectionTwice", kHead + "[F]\n", "t.lang:5: section [F] appears twice"},
        TBadSource{"PathTwice", kHead + "Caption = a\ncaption = b\n",
                   "t.lang:6: property path \"caption\" appears twice"},
        TBadSource{"EmptySegment", kHead + "A..B = x\n", "t.lang:5: bad property path \"A..B\""},
        TBadSource{"ItemOutsideList", kHead + "Caption = a\n- b\n", "t.lang:6: list item outside a list"},
        TBadSource{"FontWithoutSize", kHead + "font L.Font = Arial, 0\n", "t.lang:5: a font is"},
        TBadSource{"MessageGap", kHead + "message 0 = a\nmessage 2 = b\n",
                   "t.lang:6: message 2 out of order: expected message 1"}),
    [](const testing::TestParamInfo<TBadSource>& info) { return info.param.Name; });

TEST(LanguageCompiler, RefusesASectionOfMoreThan1024Entries) {
  std::string text = kHead;
  for (int i = 0; i < 1025; ++i) text += "L" + std::to_string(i) + ".Caption = x\n";
  EXPECT_EQ(ErrorOf(text), "t.lang:4: more than 1024 entries in the section");
}

TEST(LanguageCompiler, EncodesIntoTheSourcesCodePage) {
  auto text = [](const std::string& source) {
    std::vector<lrfc::TLrfSection> sections = lrfc::EncodeLangSource(lrfc::ParseLangSource(source, "t.lang"));
    return sections.at(0).Entries.at(0).Text;
  };
  EXPECT_EQ(text(kHead + "Caption = €ŒœŸ é" + std::string(1022 - 7, 'a') + "\n").substr(0, 7),
            "\x80\x8C\x9C\x9F \xE9"
            "a");
  EXPECT_EQ(text(kCyrillicHead + "Caption = ЖжЁёЇїЄєІіҐґ’№\n"),
            "\xC6\xE6\xA8\xB8\xAF\xBF\xAA\xBA\xB2\xB3\xA5\xB4\x92\xB9");
}

TEST(LanguageCompiler, KeepsValuesListsFontsAndMessagesAsWritten) {
  std::vector<lrfc::TLrfSection> sections = lrfc::EncodeLangSource(
      lrfc::ParseLangSource("\xEF\xBB\xBF# comment\nlanguage DEU\ncodepage 1252\n\n[FMain]\n  Caption =   Über uns  \n"
                            "Empty =\nlist CB.Items\n  -  one \n  -\n  # a comment inside the list ends it\n"
                            "font MI.Font = Times New Roman, 204, 11\nmessage 0 =\nmessage 1 = a = b # c\n[Other]\n",
                            "t.lang"));
  ASSERT_EQ(sections.size(), 2u);
  const auto& entries = sections[0].Entries;
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].Text,
            "\xDC"
            "ber uns");
  EXPECT_EQ(entries[1].Text, "");
  EXPECT_EQ(entries[2].Type, lrf::vtStrings);
  EXPECT_EQ(entries[2].Items, (std::vector<std::string>{"one", ""}));
  EXPECT_EQ(entries[3].Type, lrf::vtFont);
  EXPECT_EQ(entries[3].Text, "Times New Roman");
  EXPECT_EQ(entries[3].Charset, 204);
  EXPECT_EQ(entries[3].Size, 11);
  EXPECT_EQ(sections[0].Strings, (std::vector<std::string>{"", "a = b # c"}));
  EXPECT_EQ(sections[1].Name, "Other");
}

int RunCompiler(const std::string& arguments, const std::string& errors) {
  std::string command = std::string(SONARID_BINARY_DIR) + "/tools/lrfc/lrfc " + arguments + " 2>" + errors;
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LanguageCompiler, ToolWritesEveryOutputOrNone) {
  TScratchDir folder;
  const std::string good = kHead + "Caption = fine\nmessage 0 = m\n";
  WriteBytes(folder.Path("good.lang"), std::vector<uint8_t>(good.begin(), good.end()));
  const std::string bad = kHead + "Caption = Жук\n";
  WriteBytes(folder.Path("bad.lang"), std::vector<uint8_t>(bad.begin(), bad.end()));
  const std::string dir = folder.Path();

  EXPECT_EQ(RunCompiler(dir + "/good.lang " + dir + "/a.lrf " + dir + "/sub/b.lrf", dir + "/err"), 0);
  EXPECT_EQ(test_support::ReadBytes(dir + "/a.lrf"), Compile(good));
  EXPECT_EQ(test_support::ReadBytes(dir + "/sub/b.lrf"), Compile(good));

  EXPECT_EQ(RunCompiler(dir + "/bad.lang " + dir + "/c.lrf", dir + "/err"), 1);
  EXPECT_FALSE(FileExists(dir + "/c.lrf"));
  std::vector<uint8_t> message = test_support::ReadBytes(dir + "/err");
  EXPECT_NE(std::string(message.begin(), message.end()).find("bad.lang:5: character U+0416"), std::string::npos);
}

}  // namespace
