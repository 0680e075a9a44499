// The open and save dialogs on the headless host, driven from inside their
// modal loop by posted steps.
#include <filesystem>
#include <fstream>

#include "support/forms/FormsTestSupport.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Edit.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/forms/FileFilter.h"
#include "platform/forms/FolderListing.h"
#include "platform/forms/ListBox.h"
#include "platform/threads/MainQueue.h"
#include "support/ScratchDir.h"

namespace forms::test {
namespace {

namespace fs = std::filesystem;

class FileDialogTest : public FormsTest {
protected:
  FileDialogTest() {
    fs::create_directories(Dir / "Scores" / "Old");
    for (const char* f : {"song.MID", "b.sfd", "notes.txt", ".hidden.mid", "Scores/c.xml", "Scores/d.mid"})
      std::ofstream(Dir / f) << "x";
  }

  // The dialog's form and its named controls, while it is up.
  TCustomForm* Dialog() const { return Screen->ActiveForm(); }
  template <class T>
  T* Part(const char* name) const {
    return dynamic_cast<T*>(Dialog()->FindComponent(name));
  }
  std::vector<std::string> Listed() const {
    std::vector<std::string> items;
    const TStrings& list = Part<TListBox>("FileList")->Items();
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.Strings(i).substr(0, list.Strings(i).find('\t')));
    return items;
  }
  void DoubleClickItem(int index) {
    TListBox* list = Part<TListBox>("FileList");
    const TPoint p = list->ClientToScreen({20, 2 + index * list->ItemHeight() + 3});
    Host->Click({p.X, p.Y});
    Host->Click({p.X, p.Y});
    Pump();
  }
  // Runs Steps once the dialog is up.
  void WhenUp(std::function<void()> steps) { TMainQueue::Instance().Post(std::move(steps)); }

  test_support::TScratchDir Scratch;
  const fs::path& Dir = Scratch.Dir();
};

TEST(FileFilterTest, FilterStringsGivePatternsThatMatchWithoutRegardToCase) {
  const auto filters = ParseFilter("Scores|*.sfd;*.MID; *.xml|All files|*.*|Broken");
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[0].Patterns, (std::vector<std::string>{"*.sfd", "*.MID", "*.xml"}));
  EXPECT_EQ(filters[2].Patterns, (std::vector<std::string>{"*"}));
  EXPECT_TRUE(MatchesAnyMask("Song.mid", filters[0].Patterns));
  EXPECT_FALSE(MatchesAnyMask("song.midi", filters[0].Patterns));
  EXPECT_TRUE(MatchesMask("README", "*.*"));
  EXPECT_TRUE(MatchesMask("take01.wav", "take??.w*"));
  EXPECT_FALSE(MatchesMask("take1.wav", "take??.w*"));
}

TEST_F(FileDialogTest, TheOpenDialogListsTheFolderByTheFilterAndReturnsTheChosenPath) {
  TOpenDialog dialog(nullptr);
  dialog.Filter = "Scores|*.sfd;*.mid|Texts|*.txt";
  dialog.InitialDir = Dir.string();
  dialog.Options |= ofFileMustExist;
  std::vector<std::vector<std::string>> seen;
  WhenUp([&] {
    seen.push_back(Listed());
    DoubleClickItem(0);  // into "Scores/"
    seen.push_back(Listed());
    Click(Part<TControl>("UpButton"));
    TComboBox* types = Part<TComboBox>("FilterCombo");
    types->SetFocus();
    Key(window::VK_DOWN);
    seen.push_back(Listed());
    Part<TEdit>("FileNameEdit")->SetFocus();
    Type("*.MID");
    Key(window::VK_RETURN);  // a pattern: it lists, it does not choose
    seen.push_back(Listed());
    Key('A', window::ssCtrl);
    Type("missing.mid");
    Key(window::VK_RETURN);  // must exist: nothing happens
    Key('A', window::ssCtrl);
    Type("Scores/d.mid");
    Key(window::VK_RETURN);
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, (Dir / "Scores" / "d.mid").string());
  EXPECT_EQ(dialog.FilterIndex, 2);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], (std::vector<std::string>{"Scores/", "b.sfd", "song.MID"}));
  EXPECT_EQ(seen[1], (std::vector<std::string>{"Old/", "d.mid"}));
  EXPECT_EQ(seen[2], (std::vector<std::string>{"Scores/", "notes.txt"}));
  EXPECT_EQ(seen[3], (std::vector<std::string>{"Scores/", "song.MID"}));
}

// An entry removed after the folder was listed goes from the list once the
// dialog has said so, whichever way it was chosen: a double click, the
// keyboard in the list, a folder.
TEST_F(FileDialogTest, AnEntryRemovedBehindTheDialogsBackGoesFromTheList) {
  TOpenDialog dialog(nullptr);
  dialog.InitialDir = Dir.string();
  dialog.Options |= ofFileMustExist;
  int said = 0;
  dialog.OnError = [&](const TDialogProblem&) { ++said; };
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"song.MID", [this] { DoubleClickItem(3); }},
      {"b.sfd", [this] { Type("b"), Key(window::VK_RETURN); }},
      {"Scores", [this] { DoubleClickItem(0); }}};
  std::vector<std::vector<std::string>> listed;
  WhenUp([&] {
    for (const auto& [removed, choose] : ways) fs::remove_all(Dir / removed), choose(), listed.push_back(Listed());
    Key(window::VK_ESCAPE);
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(said, 3);
  EXPECT_EQ(listed, (std::vector<std::vector<std::string>>{
                        {"Scores/", "b.sfd", "notes.txt"}, {"Scores/", "notes.txt"}, {"notes.txt"}}));
}

TEST_F(FileDialogTest, TheSaveDialogProposesANameAddsTheDefaultExtensionAndCanBeCancelled) {
  TSaveDialog dialog(nullptr);
  dialog.Filter = "Wave files|*.wav";
  dialog.FileName = (Dir / "song.wav").string();
  dialog.DefaultExt = "wav";
  std::string proposed;
  WhenUp([&] {
    proposed = Part<TEdit>("FileNameEdit")->Text();
    Type("take");  // replaces the proposed name, which starts selected
    Key(window::VK_RETURN);
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(proposed, "song.wav");
  EXPECT_EQ(dialog.FileName, (Dir / "take.wav").string());
  // A folder typed as the name opens it; a file in a missing folder is refused.
  WhenUp([&] {
    Key('A', window::ssCtrl);
    Type("Scores");
    Key(window::VK_RETURN);
    proposed = static_cast<TFileDialogForm*>(Dialog())->Folder();
    Type("../missing/take");
    Key(window::VK_RETURN);
    proposed += " " + std::to_string(Dialog()->Visible());
    Key(window::VK_ESCAPE);
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(proposed, (Dir / "Scores").string() + " 1");
  EXPECT_EQ(dialog.FileName, (Dir / "take.wav").string());
}

// Two sub-folders and five files of known sizes and dates, one named with
// a byte that is no UTF-8; each row: column, descending, the order shown.
using TListingCase = std::tuple<TSortColumn, bool, std::vector<std::string>>;
class FolderListingTest : public ::testing::TestWithParam<TListingCase> {};

const std::string Bad = "bad\xEF\xBF\xBD.mid", Un = "\xC3\x9Cn.mid";
INSTANTIATE_TEST_SUITE_P(
    Columns, FolderListingTest,
    ::testing::Values(TListingCase{scName, false, {"alpha", "Zeta", "A.mid", "b.mid", Bad, "c.MID", Un}},
                      TListingCase{scSize, false, {"alpha", "Zeta", Bad, Un, "A.mid", "b.mid", "c.MID"}},
                      TListingCase{scDate, true, {"Zeta", "alpha", "A.mid", "c.MID", "b.mid", Un, Bad}}));

TEST_P(FolderListingTest, FoldersComeFirstThenFilesByTheColumn) {
  test_support::TScratchDir scratch;
  const auto t0 = fs::file_time_type::clock::now() - std::chrono::hours(24);
  for (auto [name, size, seconds] : {std::tuple{"b.mid", 300, 100}, {"A.mid", 20, 300}, {"c.MID", 5000, 200},
                                     {"bad\xFF.mid", 1, 0}, {"\xC3\x9Cn.mid", 2, 50}, {"notes.txt", 7, 70},
                                     {"Zeta", 0, 20}, {"alpha", 0, 10}}) {
    size ? void(std::ofstream(scratch.Dir() / name) << std::string(size_t(size), 'x'))
         : void(fs::create_directory(scratch.Dir() / name));
    fs::last_write_time(scratch.Dir() / name, t0 + std::chrono::seconds(seconds));
  }
  const auto& [column, descending, expected] = GetParam();
  std::string error;
  std::vector<TFolderEntry> entries = ReadFolder(scratch.Dir().string(), {"*.mid"}, error);
  SortEntries(entries, column, descending);
  std::vector<std::string> shown;
  for (const TFolderEntry& e : entries) shown.push_back(e.Shown);
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(SizeText(entries[column == scSize ? 6 : 0]), column == scSize ? "4.9 KB" : "");
  ReadFolder("/nonexistent-folder", {"*"}, error);
  EXPECT_NE(error, "");  // why a folder cannot be read
}

TEST_F(FileDialogTest, TheKeyboardFindsOpensAndLeavesFoldersAndAMissingFolderIsSaid) {
  TOpenDialog dialog(nullptr);
  dialog.Filter = "All|*.*";
  dialog.InitialDir = Dir.string();
  std::vector<std::string> said;
  dialog.OnError = [&](const TDialogProblem& problem) {
    said.push_back((problem.Kind == TDialogProblem::dpNoFolder ? "no folder " : "other ") + problem.Path);
  };
  std::vector<std::string> seen;
  auto folder = [&] { return static_cast<TFileDialogForm*>(Dialog())->Folder(); };
  WhenUp([&] {
    Part<TListBox>("FileList")->SetFocus();
    Type("sc");  // type-ahead: "Scores/"
    Key(window::VK_RETURN);
    seen.push_back(folder());
    Key(window::VK_BACK);  // up again
    seen.push_back(folder());
    Part<TEdit>("PathEdit")->SetFocus();
    Key('A', window::ssCtrl);
    Type("nowhere");
    Key(window::VK_RETURN);
    seen.push_back(folder());
    Part<TListBox>("FileList")->SetFocus();
    Type("so");
    Key(window::VK_RETURN);
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, (Dir / "song.MID").string());
  EXPECT_EQ(seen, (std::vector<std::string>{(Dir / "Scores").string(), Dir.string(), Dir.string()}));
  EXPECT_EQ(said, (std::vector<std::string>{"no folder " + (Dir / "nowhere").string()}));
}

}  // namespace
}  // namespace forms::test
