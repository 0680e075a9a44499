// The project's six language sources: one set of keys, the character sets
// of their code pages, and texts that survive compiling and loading unchanged.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "FakePublished.h"
#include "LanguageTestSupport.h"
#include "base/Streams.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"

namespace {

int CharsetOf(const lrfc::TLangSource& source) { return source.CodePage == 1251 ? 204 : 0; }

// What must agree between languages: sections, paths with their kinds and
// list lengths, and message counts.
std::map<std::string, std::set<std::string>> KeysOf(const lrfc::TLangSource& source) {
  std::map<std::string, std::set<std::string>> keys;
  for (const auto& section : source.Sections) {
    auto& set = keys[section.Name];
    for (const auto& entry : section.Entries)
      set.insert(entry.Path + " kind " + std::to_string(int(entry.Kind)) + " items " +
                 std::to_string(entry.Items.size()));
    set.insert("messages " + std::to_string(section.Messages.size()));
  }
  return keys;
}

TEST(LanguageSources, AllSixHaveTheSameSectionsPathsAndMessages) {
  auto english = KeysOf(LanguageSource("ENU"));
  std::set<std::string> sections;
  for (const auto& [name, keys] : english) sections.insert(name);
  EXPECT_EQ(sections, (std::set<std::string>{"FProgramModule", "FHelperModule", "FMessageBlock", "FAboutModule"}));
  for (const std::string& code : LanguageCodes()) EXPECT_EQ(KeysOf(LanguageSource(code)), english) << code;
}

TEST(LanguageSources, FontsCarryTheCharacterSetOfTheCodePage) {
  for (const std::string& code : LanguageCodes()) {
    const lrfc::TLangSource& source = LanguageSource(code);
    for (const auto& section : source.Sections)
      for (const auto& entry : section.Entries) {
        if (entry.Kind != lrfc::TSourceKind::skFont) continue;
        EXPECT_EQ(entry.Charset, CharsetOf(source)) << code << entry.Path;
      }
  }
}

TEST(LanguageSources, MessagesKeepTheirNumbers) {
  for (const std::string& code : LanguageCodes()) {
    const lrfc::TLangSource& source = LanguageSource(code);
    for (const auto& section : source.Sections) {
      const auto& m = section.Messages;
      if (section.Name == "FProgramModule") {
        ASSERT_EQ(m.size(), 34u) << code;
        for (size_t unused : {0, 2, 4}) EXPECT_EQ(m[unused], "") << code << unused;
        for (size_t used = 1; used < m.size(); ++used) {
          if (used == 2 || used == 4) continue;
          EXPECT_NE(m[used], "") << code << used;
        }
        // The messages that take a path (and a cause after it) have as many
        // "%s" and no other "%"; the causes themselves have none.
        auto places = [](const std::string& text) {
          size_t count = 0;
          for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
            count += text.compare(at, 2, "%s") == 0 ? 1 : 100;
          return count;
        };
        for (size_t withPath : {7, 12, 16, 17, 25}) EXPECT_EQ(places(m[withPath]), 1u) << code << withPath;
        for (size_t withCause : {24, 26, 27}) EXPECT_EQ(places(m[withCause]), 2u) << code << withCause;
        for (size_t plain = 28; plain <= 33; ++plain) EXPECT_EQ(places(m[plain]), 0u) << code << plain;
        for (size_t filter : {1, 5}) EXPECT_NE(m[filter].find('|'), std::string::npos) << code << filter;
      } else if (section.Name == "FMessageBlock") {
        ASSERT_EQ(m.size(), 4u) << code;
        for (const auto& text : m) EXPECT_NE(text, "") << code;
      } else {
        EXPECT_TRUE(m.empty()) << code << section.Name;
      }
    }
  }
}

TEST(LanguageSources, TheProgramsCopiesAreTheCompiledSources) {
  for (const std::string& code : LanguageCodes()) {
    TMemoryStream program, test;
    program.LoadFromFile(std::string(SONARID_BINARY_DIR) + "/src/app/sonarid." + code + ".lrf");
    test.LoadFromFile(std::string(SONARID_BINARY_DIR) + "/tests/ui/ui_tests." + code + ".lrf");
    EXPECT_EQ(program.Bytes(), test.Bytes()) << code;
    EXPECT_EQ(program.Bytes(), lrfc::CompileLangSource(LanguageSource(code))) << code;
  }
}

class CompiledLanguageTest : public testing::TestWithParam<std::string> {};

// Each compiled language loads from beside the program and gives every
// section its messages as the source wrote them. (The entries reach the
// program's own windows in the app's tests.)
TEST_P(CompiledLanguageTest, LoadsBesideTheProgramAndEveryMessageRoundTrips) {
  const std::string code = GetParam();
  const lrfc::TLangSource& source = LanguageSource(code);
  std::vector<std::unique_ptr<TFakeObject>> windows;
  std::vector<std::unique_ptr<TECFormLanguage>> texts;
  for (const auto& section : source.Sections) {
    windows.push_back(std::make_unique<TFakeObject>(section.Name));
    texts.push_back(std::make_unique<TECFormLanguage>(windows.back().get()));
    texts.back()->SetFormName(section.Name);
    texts.back()->SetLanguage("ENU");
  }
  TECLanguage language(windows.front().get());
  EXPECT_EQ(language.LanguageFileName(code), std::string(SONARID_BINARY_DIR) + "/tests/ui/ui_tests." + code + ".lrf");
  language.LoadLanguage(code);
  ASSERT_TRUE(language.IsDataLoaded());
  for (size_t s = 0; s < source.Sections.size(); ++s) {
    const auto& messages = source.Sections[s].Messages;
    for (size_t m = 0; m < messages.size(); ++m)
      EXPECT_EQ(BytesToUtf8(texts[s]->GetString(int(m)), CharsetOf(source)), messages[m]) << code << " " << m;
    EXPECT_EQ(texts[s]->GetString(int(messages.size())), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, CompiledLanguageTest, testing::ValuesIn(LanguageCodes()));

}  // namespace
