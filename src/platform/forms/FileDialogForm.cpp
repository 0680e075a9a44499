#include "platform/forms/FileDialogForm.h"

#include <algorithm>
#include <filesystem>

#include "base/Strings.h"
#include "base/Utf8.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Edit.h"
#include "platform/forms/Label.h"
#include "platform/forms/ListBox.h"

namespace fs = std::filesystem;

namespace forms {

namespace {

template <class T>
T* Place(TFileDialogForm* form, const char* name, int left, int top, int width, int height) {
  T* c = new T(form);
  c->SetName(name);
  c->SetParent(form);
  c->SetBounds(left, top, width, height);
  return c;
}

// The list's columns: name from its left, size and date from these.
constexpr int ListLeft = 144, SizeLeft = 290, DateLeft = 376, ListRight = 632;

}  // namespace

TFileDialogForm::TFileDialogForm(TComponent* owner, const TSettings& settings)
    : TForm(owner), FSettings(settings), FFilters(ParseFilter(settings.Filter)), FPlaces(StandardPlaces()) {
  SetCaption(settings.Title);
  Position = poOwnerFormCenter;
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetClientWidth(640);
  SetClientHeight(372);
  FPathEdit = Place<TEdit>(this, "PathEdit", 8, 8, 536, 21);
  FUpButton = Place<TButton>(this, "UpButton", 552, 6, 80, 25);
  FUpButton->SetCaption("&Up");
  FUpButton->OnClick = [this](TObject*) { OpenFolder(fs::path(FFolder).parent_path().string()); };

  if (const fs::path recent = fs::path(settings.RecentFolder).lexically_normal(); !recent.empty()) {
    const fs::path name = recent.has_filename() ? recent.filename() : recent.parent_path().filename();
    FPlaces.insert(FPlaces.begin() + 1, {ShownText(name.empty() ? recent.string() : name.string()), recent.string()});
  }
  FPlacesList = Place<TListBox>(this, "PlacesList", 8, 38, 128, 262);
  for (const TPlace& p : FPlaces) FPlacesList->Items().Add(p.Caption);
  FPlacesList->OnClick = [this](TObject*) {
    const int i = FPlacesList->ItemIndex();
    if (i >= 0 && size_t(i) < FPlaces.size()) OpenFolder(FPlaces[size_t(i)].Folder);
  };

  const struct {
    const char* Name;
    const char* Caption;
    int Left, Right;
    TSortColumn Column;
  } headers[] = {{"NameHeader", "Name", ListLeft, SizeLeft, scName},
                 {"SizeHeader", "Size", SizeLeft, DateLeft, scSize},
                 {"DateHeader", "Modified", DateLeft, ListRight, scDate}};
  for (const auto& h : headers) {
    auto* header = Place<TButton>(this, h.Name, h.Left, 38, h.Right - h.Left, 20);
    header->SetCaption(h.Caption);
    header->SetTabStop(false);
    header->OnClick = [this, column = h.Column](TObject*) { SortBy(column); };
  }
  FFileList = Place<TListBox>(this, "FileList", ListLeft, 58, ListRight - ListLeft, 242);
  FFileList->TabStops = {SizeLeft - ListLeft + 2, DateLeft - ListLeft + 2};
  FFileList->OnClick = [this](TObject*) {
    const int i = FFileList->ItemIndex();
    if (i >= 0 && !FEntries[size_t(i)].Folder) FFileNameEdit->SetText(FEntries[size_t(i)].Shown);
  };
  FFileList->OnDblClick = [this](TObject*) { OpenEntry(); };
  FFileList->OnKeyPress = [this](TObject*, char32_t& key) { TypeAhead(key); };
  FFileList->OnKeyDown = [this](TObject*, int& key, TShiftState shift) {
    if (key != window::VK_BACK || shift) return;
    key = 0;
    FUpButton->Click();
  };

  auto* nameLabel = Place<TLabel>(this, "FileNameLabel", 8, 314, 90, 13);
  nameLabel->SetCaption("File &name:");
  FFileNameEdit = Place<TEdit>(this, "FileNameEdit", 100, 310, 444, 21);
  FFileNameEdit->SetText(settings.FileName);
  auto* typeLabel = Place<TLabel>(this, "FilterLabel", 8, 344, 90, 13);
  typeLabel->SetCaption("Files of &type:");
  FFilterCombo = Place<TComboBox>(this, "FilterCombo", 100, 340, 444, 21);
  for (const TFileFilter& f : FFilters) FFilterCombo->Items().Add(f.Description);
  FFilterCombo->SetItemIndex(std::clamp(settings.FilterIndex, 1, std::max(1, int(FFilters.size()))) - 1);
  // A description longer than the field shows whole as the field's tip.
  auto showWhole = [this] {
    const int i = FFilterCombo->ItemIndex();
    FFilterCombo->SetHint(i >= 0 ? FFilterCombo->Items().Strings(i) : "");
  };
  FFilterCombo->SetShowHint(true);
  showWhole();
  FFilterCombo->OnChange = [this, showWhole](TObject*) {
    FMask.clear();
    showWhole();
    ListFolder();
  };
  FOkButton = Place<TButton>(this, "OkButton", 552, 308, 80, 25);
  FOkButton->SetCaption(settings.Save ? "&Save" : "&Open");
  FOkButton->Default = true;
  FOkButton->OnClick = [this](TObject*) { Accept(); };
  FCancelButton = Place<TButton>(this, "CancelButton", 552, 338, 80, 25);
  FCancelButton->SetCaption("Cancel");
  FCancelButton->Cancel = true;
  FCancelButton->ModalResult = mrCancel;
  SetActiveControl(FFileNameEdit);
  OpenFolder(settings.Folder);
  if (FFolder.empty()) OpenFolder(HomeFolder());
}

int TFileDialogForm::FilterIndex() const { return FFilterCombo->ItemIndex() + 1; }

void TFileDialogForm::Complain(const TDialogProblem& problem) {
  if (FSettings.ShowError) FSettings.ShowError(problem);
}

bool TFileDialogForm::OpenFolder(const std::string& folder) {
  std::error_code ec;
  const fs::path path = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  // A folder the system lets nobody reach (a folder on the way that may
  // not be searched) is no missing folder: the cause is said.
  if (ec || !fs::is_directory(path, ec)) {
    Complain(TDialogProblem::OfFolder(folder, ec));
    return false;
  }
  fs::directory_iterator probe(path, ec);
  if (ec) {
    Complain(TDialogProblem::OfFolder(path.string(), ec));
    return false;
  }
  FFolder = path.string();
  ListFolder();
  return true;
}

void TFileDialogForm::ListFolder() {
  std::vector<std::string> masks{"*"};
  if (!FMask.empty())
    masks = {FMask};
  else if (FFilterCombo->ItemIndex() >= 0)
    masks = FFilters[size_t(FFilterCombo->ItemIndex())].Patterns;
  std::string error;
  FEntries = ReadFolder(FFolder, masks, error);
  FTyped.clear();
  ShowEntries();
  FFileList->SetItemIndex(-1);
  FFileList->SetTopIndex(0);
  FPathEdit->SetText(ShownText(FFolder));
}

void TFileDialogForm::ShowEntries() {
  SortEntries(FEntries, FSortColumn, FDescending);
  TStringList items;
  for (const TFolderEntry& e : FEntries)
    items.Add(e.Shown + (e.Folder ? "/" : "") + "\t" + SizeText(e) + "\t" + DateText(e.Modified));
  FFileList->Items().Assign(items);
}

void TFileDialogForm::SortBy(TSortColumn column) {
  FDescending = column == FSortColumn && !FDescending;
  FSortColumn = column;
  const int i = FFileList->ItemIndex();
  const std::string selected = i >= 0 ? FEntries[size_t(i)].Name : "";
  ShowEntries();
  for (size_t k = 0; k < FEntries.size(); ++k)
    if (!selected.empty() && FEntries[k].Name == selected) FFileList->SetItemIndex(int(k));
}

void TFileDialogForm::TypeAhead(char32_t key) {
  if (key < 32 || key == 127) return;
  // A pause of a second starts a new search.
  const auto now = std::chrono::steady_clock::now();
  if (now - FTypedAt > std::chrono::seconds(1)) FTyped.clear();
  FTypedAt = now;
  AppendUtf8(FTyped, key);
  key = 0;
  const std::string typed = LowerCase(FTyped);
  for (size_t k = 0; k < FEntries.size(); ++k)
    if (LowerCase(FEntries[k].Shown).compare(0, typed.size(), typed) == 0) {
      FFileList->SetItemIndex(int(k));
      if (FFileList->OnClick) FFileList->OnClick(FFileList);
      return;
    }
}

void TFileDialogForm::OpenEntry() {
  const int i = FFileList->ItemIndex();
  if (i < 0) return;
  const TFolderEntry entry = FEntries[size_t(i)];
  if (entry.Folder) {
    // A folder removed since the list was made goes from it.
    if (!OpenFolder((fs::path(FFolder) / entry.Name).string())) ListFolder();
    return;
  }
  FFileNameEdit->SetText(entry.Shown);
  AcceptName(entry.Name);
}

void TFileDialogForm::Accept() {
  // Return acts where the focus is: the path field goes to its folder, the
  // list opens its selected entry.
  if (ActiveControl() == FPathEdit) {
    const std::string typed = Trim(FPathEdit->Text());
    if (!typed.empty() && !OpenFolder((fs::path(FFolder) / typed).string())) FPathEdit->SetText(ShownText(FFolder));
  } else if (ActiveControl() == FFileList && FFileList->ItemIndex() >= 0) {
    OpenEntry();
  } else {
    AcceptName(Trim(FFileNameEdit->Text()));
  }
}

void TFileDialogForm::AcceptName(const std::string& text) {
  if (text.empty()) return;
  if (text.find_first_of("*?") != std::string::npos) {
    FMask = text;
    ListFolder();
    return;
  }
  fs::path path(text);
  if (path.is_relative()) path = fs::path(FFolder) / path;
  path = path.lexically_normal();
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    if (OpenFolder(path.string())) FFileNameEdit->SetText("");
    return;
  }
  if (!path.has_extension() && !FSettings.DefaultExt.empty()) path += "." + FSettings.DefaultExt;
  if (FSettings.PathMustExist && !fs::is_directory(path.parent_path(), ec)) {
    Complain(TDialogProblem::OfFolder(path.parent_path().string(), ec));
    return;
  }
  if (FSettings.FileMustExist && !fs::exists(path, ec)) {
    Complain(TDialogProblem::OfFile(path.string(), ec));
    // The list may still show a file removed since it was made.
    ListFolder();
    return;
  }
  FChosen = path.string();
  SetModalResult(mrOk);
}

}  // namespace forms
