// The project's six language sources: one set of keys, paths the program's
// windows resolve, and texts that survive compiling and loading unchanged.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "LanguageTestSupport.h"
#include "ProgramWindows.h"
#include "base/Streams.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"
#include "ui/PropertyPath.h"

namespace {

TPropertyKind KindOf(lrfc::TSourceKind kind) {
  switch (kind) {
    case lrfc::TSourceKind::skString:
      return TPropertyKind::pkString;
    case lrfc::TSourceKind::skStrings:
      return TPropertyKind::pkStrings;
    case lrfc::TSourceKind::skFont:
      return TPropertyKind::pkFont;
  }
  return TPropertyKind::pkNone;
}

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

// The four windows with their language components, as the program builds them.
struct TWindows {
  std::map<std::string, std::unique_ptr<TFakeObject>> Forms;
  std::map<std::string, std::unique_ptr<TECFormLanguage>> Languages;
  std::unique_ptr<TECLanguage> Main;

  TWindows() {
    for (const std::string& section : ProgramWindowSections()) Forms[section] = MakeProgramWindow(section);
    Main = std::make_unique<TECLanguage>(Forms["FProgramModule"].get());
    for (const std::string& section : ProgramWindowSections()) {
      auto language = std::make_unique<TECFormLanguage>(Forms[section].get());
      language->SetFormName(section);
      language->SetLanguage("ENU");
      Languages[section] = std::move(language);
    }
  }
  TFakeObject& operator[](const std::string& section) { return *Forms.at(section); }
};

TEST(LanguageSources, AllSixHaveTheSameSectionsPathsAndMessages) {
  auto english = KeysOf(LanguageSource("ENU"));
  std::set<std::string> sections;
  for (const auto& [name, keys] : english) sections.insert(name);
  EXPECT_EQ(sections, std::set<std::string>(ProgramWindowSections().begin(), ProgramWindowSections().end()));
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
        ASSERT_EQ(m.size(), 17u) << code;
        for (size_t unused : {0, 2, 4}) EXPECT_EQ(m[unused], "") << code << unused;
        for (size_t used : {1, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) EXPECT_NE(m[used], "") << code << used;
        // Messages 7, 12 and 16 take the path at their one "%s" and hold no other "%".
        for (size_t withPath : {7, 12, 16}) {
          EXPECT_EQ(m[withPath].find('%'), m[withPath].find("%s")) << code << withPath;
          EXPECT_EQ(m[withPath].find('%', m[withPath].find("%s") + 1), std::string::npos) << code << withPath;
        }
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

TEST(LanguageSources, EveryPathResolvesInTheProgramsWindows) {
  for (const std::string& code : LanguageCodes())
    for (const auto& section : LanguageSource(code).Sections) {
      auto window = MakeProgramWindow(section.Name);
      ASSERT_TRUE(window) << section.Name;
      for (const auto& entry : section.Entries) {
        TPropertyTarget target = ResolvePath(*window, entry.Path);
        EXPECT_TRUE(target.Object) << code << " " << section.Name << " " << entry.Path;
        EXPECT_EQ(target.Kind, KindOf(entry.Kind)) << code << " " << entry.Path;
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

TEST_P(CompiledLanguageTest, LoadsBesideTheProgramAndEveryTextRoundTrips) {
  const std::string code = GetParam();
  const lrfc::TLangSource& source = LanguageSource(code);
  std::vector<lrfc::TLrfSection> encoded = lrfc::EncodeLangSource(source);
  TWindows windows;
  EXPECT_EQ(windows.Main->LanguageFileName(code),
            std::string(SONARID_BINARY_DIR) + "/tests/ui/ui_tests." + code + ".lrf");
  windows.Main->LoadLanguage(code);
  ASSERT_TRUE(windows.Main->IsDataLoaded());

  for (size_t s = 0; s < source.Sections.size(); ++s) {
    const auto& section = source.Sections[s];
    TFakeObject& form = windows[section.Name];
    EXPECT_EQ(form.Journal().size(), section.Entries.size()) << section.Name;
    for (size_t e = 0; e < section.Entries.size(); ++e) {
      const auto& entry = section.Entries[e];
      const lrf::TEntry& bytes = encoded[s].Entries[e];
      TPropertyTarget target = ResolvePath(form, entry.Path);
      ASSERT_TRUE(target.Object) << entry.Path;
      auto& object = dynamic_cast<TFakeObject&>(*target.Object);
      switch (entry.Kind) {
        case lrfc::TSourceKind::skString:
          EXPECT_EQ(object.Str(target.Name), bytes.Text) << entry.Path;
          EXPECT_EQ(BytesToUtf8(object.Str(target.Name), CharsetOf(source)), entry.Text) << entry.Path;
          break;
        case lrfc::TSourceKind::skStrings:
          EXPECT_EQ(object.List(target.Name), bytes.Items) << entry.Path;
          for (size_t i = 0; i < entry.Items.size(); ++i)
            EXPECT_EQ(BytesToUtf8(object.List(target.Name)[i], CharsetOf(source)), entry.Items[i]);
          break;
        case lrfc::TSourceKind::skFont:
          EXPECT_EQ(object.FontOf(target.Name).Name, entry.Text) << entry.Path;
          EXPECT_EQ(object.FontOf(target.Name).Charset, entry.Charset) << entry.Path;
          EXPECT_EQ(object.FontOf(target.Name).Size(), entry.Size) << entry.Path;
          break;
      }
    }
    const TECFormLanguage& language = *windows.Languages[section.Name];
    for (size_t m = 0; m < section.Messages.size(); ++m) {
      EXPECT_EQ(language.GetString(int(m)), encoded[s].Strings[m]) << section.Name << m;
      EXPECT_EQ(BytesToUtf8(language.GetString(int(m)), CharsetOf(source)), section.Messages[m]) << m;
    }
    EXPECT_EQ(language.GetString(int(section.Messages.size())), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, CompiledLanguageTest, testing::ValuesIn(LanguageCodes()));

}  // namespace
