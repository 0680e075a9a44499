#pragma once
// The form behind TOpenDialog and TSaveDialog: the current folder in an
// editable path field with Up beside it, a column of places (home, the
// user folders, the folder last used, mounted volumes), the list of the
// folder with name, size and date columns (folders first, sorted by the
// column whose header was clicked, again for the other way round), the
// file-name field and the filter list. In the list, typing selects the
// first entry that starts with what was typed, Return or a double click
// opens a folder or accepts a file, and Backspace goes up. Its controls
// are named (PathEdit, UpButton, PlacesList, NameHeader, SizeHeader,
// DateHeader, FileList, FileNameEdit, FilterCombo, OkButton, CancelButton)
// so that tests and language files can reach them.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Dialogs.h"
#include "platform/forms/FileFilter.h"
#include "platform/forms/FolderListing.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Places.h"

namespace forms {

class TButton;
class TComboBox;
class TEdit;
class TListBox;

class TFileDialogForm : public TForm {
public:
  struct TSettings {
    std::string Title;
    std::string Folder;        // shown first
    std::string FileName;      // proposed name (no folder)
    std::string RecentFolder;  // the folder last used, among the places
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
    bool Save = false;
    bool FileMustExist = false;
    bool PathMustExist = true;
    // Tells the user why a folder cannot be shown or a name not taken.
    std::function<void(const TDialogProblem& Problem)> ShowError;
  };
  TFileDialogForm(TComponent* owner, const TSettings& settings);

  const std::string& Folder() const { return FFolder; }
  int FilterIndex() const;
  // The accepted path, once ModalResult is mrOk.
  const std::string& ChosenPath() const { return FChosen; }
  // Lists Folder; a missing or unreadable one is refused with a message.
  bool OpenFolder(const std::string& folder);
  const std::vector<TFolderEntry>& Entries() const { return FEntries; }

private:
  void ListFolder();
  void ShowEntries();
  void SortBy(TSortColumn column);
  // Return or OK: open a folder, take a pattern, or accept a file.
  void Accept();
  void AcceptName(const std::string& text);
  void OpenEntry();
  void TypeAhead(char32_t key);
  void Complain(const TDialogProblem& problem);

  TSettings FSettings;
  std::vector<TFileFilter> FFilters;
  std::vector<TPlace> FPlaces;
  std::vector<TFolderEntry> FEntries;  // in the list's order
  TSortColumn FSortColumn = scName;
  bool FDescending = false;
  std::string FFolder;
  std::string FMask;  // a pattern typed by the user, in place of the chosen filter
  std::string FChosen;
  std::string FTyped;  // type-ahead so far
  std::chrono::steady_clock::time_point FTypedAt;
  TEdit* FPathEdit;
  TButton* FUpButton;
  TListBox* FPlacesList;
  TListBox* FFileList;
  TEdit* FFileNameEdit;
  TComboBox* FFilterCombo;
  TButton* FOkButton;
  TButton* FCancelButton;
};

}  // namespace forms
