// Damaged and hostile language files: every lookup stays inside the data
// block (the AddressSanitizer build checks the reads), a damaged part is
// "not found", entries before the damage stay applied, and only a header
// that ends early raises the stream's read error.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FakePublished.h"
#include "LanguageTestSupport.h"
#include "base/LittleEndian.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"
#include "ui/ProgramResources.h"

namespace {

// Five entries of every kind and three messages.
std::vector<uint8_t> SampleFile() {
  return LanguageFile(
      {{"FTest",
        {TextEntry("Caption", "Title"), TextEntry("ALabel.Caption", "Label"), ListEntry("CBList.Items", {"one", "two"}),
         FontEntry("ALabel.Font", "Arial", 204, 12), TextEntry("BLabel.Caption", "Second")},
        {"zero", "one", "two"}}});
}

const std::vector<std::string> kAllWrites = {"FTest.Caption", "ALabel.Caption", "CBList.Items", "ALabel.Font",
                                             "BLabel.Caption"};
const std::vector<std::string> kAllMessages = {"zero", "one", "two"};

std::unique_ptr<TFakeObject> TestWindow() {
  auto form = std::make_unique<TFakeObject>("FTest");
  form->String("Caption");
  form->Add("ALabel").String("Caption").Font("Font");
  form->Add("BLabel").String("Caption");
  form->Add("CBList").Strings("Items");
  return form;
}

// Offsets inside the sample file.
size_t HeaderSize(const std::vector<uint8_t>& file) {
  size_t l1 = le::load16(file.data());
  return 2 + l1 + 1 + 2 + le::load16(file.data() + 3 + l1);
}
size_t Find(const std::vector<uint8_t>& file, const std::string& text) {
  auto it = std::search(file.begin(), file.end(), text.begin(), text.end());
  EXPECT_NE(it, file.end()) << text;
  return size_t(it - file.begin());
}
size_t SectionAt(const std::vector<uint8_t>& file) {
  // The tree of one five-letter name is a chain of five nodes.
  return HeaderSize(file) + 5 * lrf::kNodeSize;
}
size_t TableAt(const std::vector<uint8_t>& file) {
  size_t section = SectionAt(file);
  return section + 4 + le::load32(file.data() + section);
}
void Put16(std::vector<uint8_t>& file, size_t at, uint16_t v) { le::store16(file.data() + at, v); }
void Put32(std::vector<uint8_t>& file, size_t at, uint32_t v) { le::store32(file.data() + at, v); }

// Loads Bytes as the language "TST" of a fresh language object and applies
// it to the test window; returns what was written and the messages 0 to 3.
struct TOutcome {
  std::vector<std::string> Writes;
  std::vector<std::string> Messages;
};

TOutcome Apply(const std::vector<uint8_t>& bytes) {
  RegisterResource("LANGUAGETST", bytes);
  auto window = TestWindow();
  TECLanguage language(window.get());
  language.SetInner(true);
  TECFormLanguage formLanguage(window.get());
  formLanguage.SetLanguage("ENU");
  TOutcome outcome;
  try {
    language.LoadLanguage("TST");
  } catch (const EReadError&) {
    outcome.Writes.push_back("read error");
  }
  for (const std::string& write : window->Journal()) outcome.Writes.push_back(write);
  for (int i = 0; i < 4; ++i) outcome.Messages.push_back(formLanguage.GetString(i));
  outcome.Messages.push_back(formLanguage.GetString(60000));
  UnregisterResource("LANGUAGETST");
  return outcome;
}

std::vector<std::string> Writes(size_t count) { return {kAllWrites.begin(), kAllWrites.begin() + long(count)}; }

struct TMutation {
  const char* Name;
  std::function<void(std::vector<uint8_t>&)> Mutate;
  std::vector<std::string> Writes;
  std::vector<std::string> Messages;  // 0 to 3 and 60000
};

class DamagedBlockTest : public testing::TestWithParam<TMutation> {};

TEST_P(DamagedBlockTest, ReadsOnlyInsideTheBlockAndFailsAsNotFound) {
  std::vector<uint8_t> file = SampleFile();
  GetParam().Mutate(file);
  TOutcome outcome = Apply(file);
  EXPECT_EQ(outcome.Writes, GetParam().Writes);
  EXPECT_EQ(outcome.Messages, GetParam().Messages);
}

const std::vector<std::string> kMessages = {"zero", "one", "two", "", ""};
const std::vector<std::string> kNoMessages = {"", "", "", "", ""};

INSTANTIATE_TEST_SUITE_P(
    Mutations, DamagedBlockTest,
    testing::Values(
        TMutation{"Intact", [](auto&) {}, Writes(5), kMessages},
        TMutation{"SectionOffsetBeyondTheBlock",
                  [](auto& f) { Put32(f, SectionAt(f) - lrf::kNodeSize + 1, uint32_t(f.size())); },
                  {},
                  kNoMessages},
        TMutation{"SectionOffsetAtTheLastByte",
                  [](auto& f) { Put32(f, SectionAt(f) - lrf::kNodeSize + 1, uint32_t(f.size() - HeaderSize(f) - 1)); },
                  {},
                  kNoMessages},
        TMutation{"TreeDistanceBeyondTheBlock", [](auto& f) { Put16(f, HeaderSize(f) + 7, 0xFFFF); }, {}, kNoMessages},
        TMutation{"StringTableBeyondTheBlock", [](auto& f) { Put32(f, SectionAt(f), 0xFFFFFFF0); }, Writes(5),
                  kNoMessages},
        // the string table is then read as entries, whose paths lead nowhere
        TMutation{"EntryCountBeyondTheEntries", [](auto& f) { Put16(f, SectionAt(f) + 4, 1024); }, Writes(5),
                  kMessages},
        TMutation{"PathLengthBeyondTheBlock", [](auto& f) { Put16(f, Find(f, "BLabel.Caption") - 2, 0xFFFF); },
                  Writes(4), kMessages},
        TMutation{"ValueLongerThan1024", [](auto& f) { Put16(f, Find(f, "ALabel.Caption") + 14 + 1, 1025); }, Writes(1),
                  kMessages},
        TMutation{"ValueLengthBeyondTheBlock", [](auto& f) { Put16(f, Find(f, "Second") - 2, 1024); }, Writes(4),
                  kMessages},
        TMutation{"ListCountBeyondTheBlock", [](auto& f) { Put16(f, Find(f, "one") - 4, 0xFFFF); }, Writes(2),
                  kMessages},
        TMutation{"ListItemLongerThan1024", [](auto& f) { Put16(f, Find(f, "two") - 2, 1025); }, Writes(2), kMessages},
        TMutation{"FontNameLongerThan1024", [](auto& f) { Put16(f, Find(f, "Arial") - 2, 1025); }, Writes(3),
                  kMessages},
        TMutation{"MessageOffsetBeyondTheBlock", [](auto& f) { Put32(f, TableAt(f) + 2 + 4, 0xFFFFFF00); }, Writes(5),
                  std::vector<std::string>{"zero", "", "two", "", ""}},
        TMutation{"MessageLongerThan1024", [](auto& f) { Put16(f, f.size() - 5, 1025); },  // the last message, "two"
                  Writes(5), std::vector<std::string>{"zero", "one", "", "", ""}},
        TMutation{"MessageLengthBeyondTheBlock", [](auto& f) { Put16(f, f.size() - 5, 6); }, Writes(5),
                  std::vector<std::string>{"zero", "one", "", "", ""}},
        TMutation{"MessageCountBeyondTheTable", [](auto& f) { Put16(f, TableAt(f), 0xFFFF); }, Writes(5),
                  std::vector<std::string>{"zero", "one", "two", "", ""}}),
    [](const testing::TestParamInfo<TMutation>& info) { return info.param.Name; });

// The header decides whether the file is taken at all; a file that is not
// taken leaves the previous language in place.
struct THeaderCase {
  const char* Name;
  std::function<void(std::vector<uint8_t>&)> Mutate;
  bool ReadError;
};

class DamagedHeaderTest : public testing::TestWithParam<THeaderCase> {};

TEST_P(DamagedHeaderTest, KeepsThePreviousLanguage) {
  auto window = TestWindow();
  TECLanguage language(window.get());
  language.SetInner(true);
  TECFormLanguage formLanguage(window.get());
  formLanguage.SetLanguage("ENU");
  RegisterResource("LANGUAGEOLD", SampleFile());
  language.LoadLanguage("OLD");
  std::vector<uint8_t> bad = SampleFile();
  GetParam().Mutate(bad);
  RegisterResource("LANGUAGEBAD", bad);
  window->ClearJournal();

  if (GetParam().ReadError) {
    EXPECT_THROW(language.LoadLanguage("BAD"), EReadError);
    EXPECT_TRUE(window->Journal().empty());
  } else {
    language.LoadLanguage("BAD");
    EXPECT_EQ(window->Journal(), kAllWrites);  // the old texts, applied again
  }
  EXPECT_EQ(formLanguage.GetString(2), "two");
  UnregisterResource("LANGUAGEOLD");
  UnregisterResource("LANGUAGEBAD");
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DamagedHeaderTest,
    testing::Values(THeaderCase{"Empty", [](auto& f) { f.clear(); }, true},
                    THeaderCase{"FirstTextBeyondTheFile", [](auto& f) { Put16(f, 0, 0xFFFF); }, true},
                    THeaderCase{"CutBeforeTheMark", [](auto& f) { f.resize(2 + le::load16(f.data())); }, true},
                    THeaderCase{"WrongMark", [](auto& f) { f[2 + le::load16(f.data())] = 17; }, false},
                    THeaderCase{"SecondTextBeyondTheFile", [](auto& f) { Put16(f, 3 + le::load16(f.data()), 0xFFFF); },
                                true}),
    [](const testing::TestParamInfo<THeaderCase>& info) { return info.param.Name; });

TEST(DamagedFile, EveryTruncationAppliesAPrefixOfTheEntries) {
  std::vector<uint8_t> full = SampleFile();
  for (size_t size = 0; size < full.size(); ++size) {
    TOutcome outcome = Apply(std::vector<uint8_t>(full.begin(), full.begin() + long(size)));
    if (size < HeaderSize(full)) {
      EXPECT_EQ(outcome.Writes, std::vector<std::string>{"read error"}) << size;
      continue;
    }
    ASSERT_LE(outcome.Writes.size(), kAllWrites.size()) << size;
    EXPECT_EQ(outcome.Writes, Writes(outcome.Writes.size())) << size;
    for (size_t i = 0; i < kAllMessages.size(); ++i)
      EXPECT_TRUE(outcome.Messages[i].empty() || outcome.Messages[i] == kAllMessages[i]) << size;
  }
}

}  // namespace
