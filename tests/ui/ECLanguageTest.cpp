// The language components' life: registration, loading, switching, applying.

#include <gtest/gtest.h>

#include "FakePublished.h"
#include "LanguageTestSupport.h"
#include "base/Exceptions.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"
#include "ui/ProgramResources.h"
#include "support/Raised.h"

namespace {

// A window "FMain" with a caption, a label and a list; its section in each
// language says which language it is.
std::unique_ptr<TFakeObject> MainWindow() {
  auto form = std::make_unique<TFakeObject>("FMain");
  form->String("Caption", "designed");
  form->Add("LInfo").String("Caption").Strings("Items").Font("Font");
  return form;
}

lrfc::TLrfSection MainSection(const std::string& word) {
  return {
      "FMain", {TextEntry("Caption", word), TextEntry("LInfo.Caption", word + " label")}, {word + " 0", word + " 1"}};
}

class LanguageTest : public testing::Test {
protected:
  void WriteLanguage(const std::string& code, const std::vector<lrfc::TLrfSection>& sections) {
    WriteBytes(FFolder.Path("prog." + code + ".lrf"), LanguageFile(sections));
  }
  std::unique_ptr<TECLanguage> NewLanguage(TPublishedForm* owner) {
    auto language = std::make_unique<TECLanguage>(owner);
    language->SetBasePath(FFolder.Path("prog"));
    return language;
  }

  TScratchDir FFolder;
  std::unique_ptr<TFakeObject> FMain = MainWindow();
};

TEST_F(LanguageTest, ConstructorsRefuseAMissingOwnerAndASecondLanguageOnOneForm) {
  EXPECT_EQ(RaisedBy<ECLanguageException>([] { TECFormLanguage orphan(nullptr); }), "Owner is not defined or wrong");
  TECLanguage first(FMain.get());
  EXPECT_EQ(RaisedBy<ECLanguageException>([&] { TECLanguage second(FMain.get()); }),
            "Component TECLanguage already exists on that form");
  EXPECT_EQ(TECLanguage::Current(), &first);
  {
    TFakeObject other("FOther");
    TECLanguage elsewhere(&other);  // another form may hold one
    EXPECT_EQ(TECLanguage::Current(), &first);
  }
  EXPECT_EQ(TECLanguage::Current(), &first);  // destroying the other one keeps the first
}

TEST_F(LanguageTest, WindowsCreatedBeforeTheLanguageObjectAreAppliedInOrder) {
  WriteLanguage("DEU", {MainSection("Deutsch"), {"FSecond", {TextEntry("Caption", "zwei")}, {}}});
  TFakeObject second("FSecond", FMain->JournalHandle());
  second.String("Caption");
  TECFormLanguage secondLanguage(&second);
  TECFormLanguage mainLanguage(FMain.get());
  secondLanguage.SetLanguage("ENU");
  mainLanguage.SetLanguage("ENU");
  EXPECT_TRUE(FMain->Journal().empty());

  auto language = NewLanguage(FMain.get());
  language->LoadLanguage("DEU");
  EXPECT_EQ(FMain->Journal(), (std::vector<std::string>{"FSecond.Caption", "FMain.Caption", "LInfo.Caption"}));
  EXPECT_EQ(FMain->Str("Caption"), "Deutsch");
  EXPECT_EQ(second.Str("Caption"), "zwei");
  EXPECT_EQ(mainLanguage.GetString(1), "Deutsch 1");
}

TEST_F(LanguageTest, SwitchingAppliesTheNewLanguageAndFiresTheEvent) {
  WriteLanguage("ENU", {MainSection("English")});
  WriteLanguage("DEU", {MainSection("Deutsch")});
  auto language = NewLanguage(FMain.get());
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  std::vector<std::string> events;
  language->OnLanguageChange = [&](TObject* sender) {
    EXPECT_EQ(sender, language.get());
    events.push_back(language->GetLanguage());
  };

  language->LoadLanguage("ENU");  // the host's start: no event
  EXPECT_EQ((*FMain)["LInfo"].Str("Caption"), "English label");
  EXPECT_TRUE(events.empty());

  language->SetLanguage("DEU");
  EXPECT_EQ(FMain->Str("Caption"), "Deutsch");
  EXPECT_EQ(window.GetString(0), "Deutsch 0");
  EXPECT_EQ(events, std::vector<std::string>{"DEU"});

  FMain->ClearJournal();
  language->SetLanguage("deu");  // the same code in other letter case: nothing at all
  EXPECT_TRUE(FMain->Journal().empty());
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(language->GetLanguage(), "DEU");
}

TEST_F(LanguageTest, ALanguageWithoutAFileKeepsEveryTextButStillFiresTheEvent) {
  WriteLanguage("ENU", {MainSection("English")});
  auto language = NewLanguage(FMain.get());
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  int events = 0;
  language->OnLanguageChange = [&](TObject*) { ++events; };
  language->SetLanguage("ENU");
  ASSERT_EQ(FMain->Str("Caption"), "English");

  language->SetLanguage("ITA");
  EXPECT_EQ(events, 2);
  EXPECT_EQ(language->GetLanguage(), "ITA");
  EXPECT_EQ(FMain->Str("Caption"), "English");
  EXPECT_EQ(window.GetString(0), "English 0");
}

TEST_F(LanguageTest, ReadingTheCodeLoadsTheDataFirstAndReturnsTheCodeHeldBefore) {
  WriteLanguage("ENU", {MainSection("English")});
  auto language = NewLanguage(FMain.get());
  EXPECT_FALSE(language->IsDataLoaded());
  EXPECT_EQ(language->GetLanguage(), "");  // held before the load
  EXPECT_TRUE(language->IsDataLoaded());
  EXPECT_EQ(language->GetLanguage(), "ENU");  // an empty code loads English
}

TEST_F(LanguageTest, CodesInSmallLettersFindTheFilesOfTheirCode) {
  WriteLanguage("RUS", {MainSection("Russian")});
  auto language = NewLanguage(FMain.get());
  EXPECT_EQ(language->LanguageFileName("rus"), FFolder.Path("prog") + ".RUS.lrf");
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  language->LoadLanguage("rus");
  EXPECT_EQ(FMain->Str("Caption"), "Russian");
}

TEST_F(LanguageTest, AWindowWithoutACodeReceivesNoTextsButItsMessages) {
  WriteLanguage("ENU", {MainSection("English")});
  auto language = NewLanguage(FMain.get());
  TECFormLanguage window(FMain.get());
  language->LoadLanguage("ENU");
  EXPECT_EQ(FMain->Str("Caption"), "designed");
  EXPECT_EQ(window.GetString(0), "English 0");

  window.SetExLanguage("ENU");  // stores without applying
  EXPECT_EQ(FMain->Str("Caption"), "designed");
  window.ApplyLanguage();
  EXPECT_EQ(FMain->Str("Caption"), "English");
}

TEST_F(LanguageTest, AWindowBeingBuiltIsAppliedOnceItIsLoaded) {
  WriteLanguage("ENU", {MainSection("English")});
  auto language = NewLanguage(FMain.get());
  language->LoadLanguage("ENU");
  TECFormLanguage window(FMain.get());
  window.BeginLoading();
  window.SetLanguage("ENU");
  EXPECT_EQ(FMain->Str("Caption"), "designed");
  window.Loaded();
  EXPECT_FALSE(window.IsLoading());
  EXPECT_EQ(FMain->Str("Caption"), "English");
}

TEST_F(LanguageTest, AutoLoadLoadsWhileStreamingAndAppliesWindowsAsTheyRegister) {
  WriteLanguage("ENU", {MainSection("English")});
  WriteLanguage("DEU", {MainSection("Deutsch")});
  auto language = NewLanguage(FMain.get());
  language->BeginLoading();
  language->SetLanguage("DEU");  // streamed in without AutoLoad: stored only
  EXPECT_FALSE(language->IsDataLoaded());
  language->ReadState();
  EXPECT_FALSE(language->IsDataLoaded());
  language->SetAutoLoad(true);
  language->ReadState();
  EXPECT_TRUE(language->IsDataLoaded());

  TFakeObject later("FMain");
  later.String("Caption");
  TECFormLanguage window(&later);       // registered with AutoLoad: applied at once...
  EXPECT_EQ(later.Str("Caption"), "");  // ...but its own code is still empty
  window.SetLanguage("ENU");
  EXPECT_EQ(later.Str("Caption"), "Deutsch");

  language->SetLanguage("ENU");  // AutoLoad loads even while streaming
  EXPECT_EQ(later.Str("Caption"), "English");
}

TEST_F(LanguageTest, NothingLoadsAtDesignTime) {
  WriteLanguage("ENU", {MainSection("English")});
  auto language = NewLanguage(FMain.get());
  language->SetDesigning(true);
  language->LoadLanguage("ENU");
  EXPECT_FALSE(language->IsDataLoaded());
}

TEST_F(LanguageTest, InnerReadsTheProgramsResource) {
  RegisterResource("LANGUAGEDEU", LanguageFile({MainSection("inner")}));
  auto language = NewLanguage(FMain.get());
  language->SetInner(true);
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  language->LoadLanguage("deu");
  EXPECT_EQ(FMain->Str("Caption"), "inner");
  language->LoadLanguage("FRA");  // no such resource: the texts stay
  EXPECT_EQ(FMain->Str("Caption"), "inner");
  UnregisterResource("LANGUAGEDEU");
}

TEST_F(LanguageTest, AFontEntrySetsAWholeNewFont) {
  WriteLanguage("ENU", {{"FMain", {FontEntry("LInfo.Font", "Verdana", 0x1CC, 12)}, {}}});
  auto language = NewLanguage(FMain.get());
  canvas::TFont& target = (*FMain)["LInfo"].FontRef("Font");
  target.Color = canvas::clRed;
  target.Style = text::fsBold | text::fsItalic;
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  language->LoadLanguage("ENU");

  canvas::TFont expected;     // a new font...
  expected.Name = "Verdana";  // ...with the entry's name, character set and size
  expected.Charset = 0xCC;
  expected.SetSize(12);
  EXPECT_EQ(target, expected);
  EXPECT_EQ(target.Color, canvas::clBlack);
  EXPECT_EQ(target.Style, 0u);
}

TEST_F(LanguageTest, EntriesOfAnotherKindOrAnUnknownTypeAreSkipped) {
  WriteLanguage("ENU", {{"FMain",
                         {ListEntry("Caption", {"a", "b"}), TextEntry("LInfo.Items", "text"),
                          FontEntry("LInfo.Caption", "Arial", 0, 9), ListEntry("LInfo.Items", {"one", "two"}),
                          TextEntry("Caption", "", 7), TextEntry("LInfo.Caption", "last", lrf::vtText)},
                         {}}});
  auto language = NewLanguage(FMain.get());
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  language->LoadLanguage("ENU");
  EXPECT_EQ(FMain->Journal(), (std::vector<std::string>{"LInfo.Items", "LInfo.Caption"}));
  EXPECT_EQ((*FMain)["LInfo"].List("Items"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(FMain->Str("Caption"), "designed");
}

TEST_F(LanguageTest, ASectionOfMoreThan1024EntriesAppliesNoneButKeepsItsMessages) {
  std::vector<lrf::TEntry> entries(1025, TextEntry("Caption", "too many"));
  WriteLanguage("ENU", {{"FMain", entries, {"kept"}}});
  auto language = NewLanguage(FMain.get());
  TECFormLanguage window(FMain.get());
  window.SetLanguage("ENU");
  language->LoadLanguage("ENU");
  EXPECT_EQ(FMain->Str("Caption"), "designed");
  EXPECT_EQ(window.GetString(0), "kept");

  entries.pop_back();  // exactly 1024 apply
  WriteLanguage("DEU", {{"FMain", entries, {}}});
  language->LoadLanguage("DEU");
  EXPECT_EQ(FMain->Str("Caption"), "too many");
}

TEST_F(LanguageTest, RemovedWindowsAndLanguagesLeaveNothingBehind) {
  WriteLanguage("ENU", {MainSection("English")});
  auto language = NewLanguage(FMain.get());
  auto window = std::make_unique<TECFormLanguage>(FMain.get());
  window->SetLanguage("ENU");
  window.reset();
  language->LoadLanguage("ENU");  // the freed window is no longer registered
  EXPECT_EQ(FMain->Str("Caption"), "designed");

  TECFormLanguage kept(FMain.get());
  kept.SetLanguage("ENU");
  FMain->ClearJournal();
  language.reset();
  EXPECT_EQ(TECLanguage::Current(), nullptr);
  kept.ApplyLanguage();
  EXPECT_TRUE(FMain->Journal().empty());
  EXPECT_EQ(kept.GetString(0), "");
}

}  // namespace
