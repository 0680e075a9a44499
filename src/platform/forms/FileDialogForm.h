#pragma once
// The form behind TOpenDialog and TSaveDialog. Its controls are named
// (FolderLabel, UpButton, FileList, FileNameEdit, FilterCombo, OkButton,
// CancelButton) so that tests and language files can reach them.

#include <string>
#include <vector>

#include "platform/forms/FileFilter.h"
#include "platform/forms/Forms.h"

namespace forms {

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TListBox;

class TFileDialogForm : public TForm {
public:
  struct TSettings {
    std::string Title;
    std::string Folder;    // shown first
    std::string FileName;  // proposed name (no folder)
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
    bool Save = false;
    bool FileMustExist = false;
    bool PathMustExist = true;
  };
  TFileDialogForm(TComponent* owner, const TSettings& settings);

  const std::string& Folder() const { return FFolder; }
  int FilterIndex() const;
  // The accepted path, once ModalResult is mrOk.
  const std::string& ChosenPath() const { return FChosen; }
  void OpenFolder(const std::string& folder);

private:
  void ListFolder();
  // Return or OK: open a folder, take a pattern, or accept a file.
  void Accept();
  void AcceptName(const std::string& text);
  void ListDoubleClick();

  TSettings FSettings;
  std::vector<TFileFilter> FFilters;
  std::string FFolder;
  std::string FMask;  // a pattern typed by the user, in place of the chosen filter
  std::string FChosen;
  TLabel* FFolderLabel;
  TButton* FUpButton;
  TListBox* FFileList;
  TEdit* FFileNameEdit;
  TComboBox* FFilterCombo;
  TButton* FOkButton;
  TButton* FCancelButton;
};

}  // namespace forms
