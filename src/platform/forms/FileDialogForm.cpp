#include "platform/forms/FileDialogForm.h"

#include <algorithm>
#include <filesystem>

#include "base/Strings.h"
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

bool IsFolderEntry(const std::string& item) { return !item.empty() && item.back() == '/'; }

}  // namespace

TFileDialogForm::TFileDialogForm(TComponent* owner, const TSettings& settings)
    : TForm(owner), FSettings(settings), FFilters(ParseFilter(settings.Filter)) {
  SetCaption(settings.Title);
  Position = poScreenCenter;
  SetBounds(0, 0, 460, 300);
  FFolderLabel = Place<TLabel>(this, "FolderLabel", 8, 10, 360, 13);
  FFolderLabel->SetAutoSize(false);
  FUpButton = Place<TButton>(this, "UpButton", 376, 4, 76, 25);
  FUpButton->SetCaption("&Up");
  FUpButton->OnClick = [this](TObject*) { OpenFolder(fs::path(FFolder).parent_path().string()); };
  FFileList = Place<TListBox>(this, "FileList", 8, 34, 444, 186);
  FFileList->OnClick = [this](TObject*) {
    const int i = FFileList->ItemIndex();
    if (i >= 0 && !IsFolderEntry(FFileList->Items().Strings(i))) FFileNameEdit->SetText(FFileList->Items().Strings(i));
  };
  FFileList->OnDblClick = [this](TObject*) { ListDoubleClick(); };
  auto* nameLabel = Place<TLabel>(this, "FileNameLabel", 8, 234, 90, 13);
  nameLabel->SetCaption("File &name:");
  FFileNameEdit = Place<TEdit>(this, "FileNameEdit", 100, 230, 260, 21);
  FFileNameEdit->SetText(settings.FileName);
  auto* typeLabel = Place<TLabel>(this, "FilterLabel", 8, 264, 90, 13);
  typeLabel->SetCaption("Files of &type:");
  FFilterCombo = Place<TComboBox>(this, "FilterCombo", 100, 260, 260, 21);
  for (const TFileFilter& f : FFilters) FFilterCombo->Items().Add(f.Description);
  FFilterCombo->SetItemIndex(std::clamp(settings.FilterIndex, 1, std::max(1, int(FFilters.size()))) - 1);
  FFilterCombo->OnChange = [this](TObject*) {
    FMask.clear();
    ListFolder();
  };
  FOkButton = Place<TButton>(this, "OkButton", 372, 228, 80, 25);
  FOkButton->SetCaption(settings.Save ? "&Save" : "&Open");
  FOkButton->Default = true;
  FOkButton->OnClick = [this](TObject*) { Accept(); };
  FCancelButton = Place<TButton>(this, "CancelButton", 372, 258, 80, 25);
  FCancelButton->SetCaption("Cancel");
  FCancelButton->Cancel = true;
  FCancelButton->ModalResult = mrCancel;
  SetActiveControl(FFileNameEdit);
  OpenFolder(settings.Folder);
}

int TFileDialogForm::FilterIndex() const { return FFilterCombo->ItemIndex() + 1; }

void TFileDialogForm::OpenFolder(const std::string& folder) {
  std::error_code ec;
  const fs::path path = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec || !fs::is_directory(path, ec)) return;
  FFolder = path.string();
  ListFolder();
}

void TFileDialogForm::ListFolder() {
  std::vector<std::string> folders, files;
  std::vector<std::string> masks{"*"};
  if (!FMask.empty())
    masks = {FMask};
  else if (FFilterCombo->ItemIndex() >= 0)
    masks = FFilters[size_t(FFilterCombo->ItemIndex())].Patterns;
  std::error_code ec;
  // An unreadable folder lists as empty.
  for (fs::directory_iterator it(FFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    if (it->is_directory(typeError))
      folders.push_back(name + "/");
    else if (MatchesAnyMask(name, masks))
      files.push_back(name);
  }
  auto byName = [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  TStringList items;
  for (const std::string& f : folders) items.Add(f);
  for (const std::string& f : files) items.Add(f);
  FFileList->Items().Assign(items);
  FFileList->SetItemIndex(-1);
  FFileList->SetTopIndex(0);
  FFolderLabel->SetCaption(FFolder);
}

void TFileDialogForm::ListDoubleClick() {
  const int i = FFileList->ItemIndex();
  if (i < 0) return;
  const std::string item = FFileList->Items().Strings(i);
  if (IsFolderEntry(item)) {
    OpenFolder((fs::path(FFolder) / item.substr(0, item.size() - 1)).string());
    return;
  }
  FFileNameEdit->SetText(item);
  AcceptName(item);
}

void TFileDialogForm::Accept() {
  // Return in the list acts on its selected entry.
  if (ActiveControl() == FFileList && FFileList->ItemIndex() >= 0)
    ListDoubleClick();
  else
    AcceptName(Trim(FFileNameEdit->Text()));
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
    OpenFolder(path.string());
    FFileNameEdit->SetText("");
    return;
  }
  if (!path.has_extension() && !FSettings.DefaultExt.empty()) path += "." + FSettings.DefaultExt;
  if (FSettings.PathMustExist && !fs::is_directory(path.parent_path(), ec)) return;
  if (FSettings.FileMustExist && !fs::exists(path, ec)) return;
  FChosen = path.string();
  SetModalResult(mrOk);
}

}  // namespace forms
