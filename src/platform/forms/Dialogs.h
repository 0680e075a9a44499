#pragma once
// The open and save dialogs, drawn by the program like its other forms: the
// current folder (InitialDir, else FileName's, else home) with a button to
// its parent, a list of its sub-folders
// (shown with a trailing "/") and of the files that match the chosen filter,
// with places to jump to (FileDialogForm.h), a file-name field and the
// filter list made from Filter ("Scores|*.sfd;
// *.mid|All files|*.*"). A double click (or Return) on a folder opens it; a
// name typed in the field may be a folder, a pattern (which becomes the
// filter) or a file. Execute returns true with FileName set to the full
// path when the user accepts. Whether an existing file may be overwritten
// is left to the caller.

#include <functional>
#include <string>
#include <system_error>

#include "platform/forms/Component.h"

namespace forms {

// Options: the chosen file must exist (open), its folder must exist.
constexpr unsigned ofFileMustExist = 1, ofPathMustExist = 2;

// Why a folder or a name the user gave cannot be taken: the folder or file
// is not there, or the system refused to show it (Error, its errno: no
// permission, a name too long ...). The caller words it in its language.
struct TDialogProblem {
  enum TKind { dpNoFolder, dpFolderUnreadable, dpNoFile, dpFileUnreadable };
  TKind Kind = dpNoFolder;
  std::string Path;
  int Error = 0;  // 0 for a folder or file that is not there
  // A folder or file that could not be reached, with the system's Cause:
  // missing when nothing is there (or no cause), else unreadable.
  static TDialogProblem OfFolder(const std::string& path, const std::error_code& cause);
  static TDialogProblem OfFile(const std::string& path, const std::error_code& cause);
};

class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

  std::string FileName;
  std::string InitialDir;
  std::string Filter;
  int FilterIndex = 1;  // 1-based
  // Appended (after a dot) to a chosen name without an extension.
  std::string DefaultExt;
  std::string Title;
  unsigned Options = ofPathMustExist;
  // Shows why a folder or name the user gave cannot be taken; unset, the
  // dialog just stays.
  std::function<void(const TDialogProblem& Problem)> OnError;

  // Shows the dialog modally; true when a file was chosen.
  virtual bool Execute();

  void DefineProperties(TPropertyList& props) override;

protected:
  virtual bool IsSaveDialog() const { return false; }
};

class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

protected:
  bool IsSaveDialog() const override { return true; }
};

}  // namespace forms
