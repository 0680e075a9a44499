#include "platform/forms/Dialogs.h"

#include <filesystem>
#include <system_error>

#include "base/Strings.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/forms/Places.h"

namespace forms {

namespace {

bool NothingThere(const std::error_code& cause) {
  return !cause || cause == std::errc::no_such_file_or_directory || cause == std::errc::not_a_directory;
}

}  // namespace

TDialogProblem TDialogProblem::OfFolder(const std::string& path, const std::error_code& cause) {
  return NothingThere(cause) ? TDialogProblem{dpNoFolder, path, 0} : TDialogProblem{dpFolderUnreadable, path, cause.value()};
}

TDialogProblem TDialogProblem::OfFile(const std::string& path, const std::error_code& cause) {
  return NothingThere(cause) ? TDialogProblem{dpNoFile, path, 0} : TDialogProblem{dpFileUnreadable, path, cause.value()};
}

bool TOpenDialog::Execute() {
  namespace fs = std::filesystem;
  std::error_code ec;
  TFileDialogForm::TSettings s;
  s.Save = IsSaveDialog();
  s.Title = !Title.empty() ? Title : s.Save ? "Save As" : "Open";
  // Never the process's working folder: it is where the program lies, not
  // where the user keeps files.
  s.Folder = !InitialDir.empty() && fs::is_directory(InitialDir, ec)                             ? InitialDir
             : !ExtractFilePath(FileName).empty() && fs::is_directory(ExtractFilePath(FileName), ec) ? ExtractFilePath(FileName)
                                                                                                    : HomeFolder();
  s.RecentFolder = InitialDir;
  s.ShowError = OnError;
  s.FileName = ExtractFileName(FileName);
  s.Filter = Filter;
  s.FilterIndex = FilterIndex;
  s.DefaultExt = DefaultExt;
  s.FileMustExist = Options & ofFileMustExist;
  s.PathMustExist = Options & ofPathMustExist;
  TFileDialogForm form(nullptr, s);
  if (form.ShowModal() != mrOk) return false;
  FileName = form.ChosenPath();
  FilterIndex = form.FilterIndex();
  return true;
}

void TOpenDialog::DefineProperties(TPropertyList& props) {
  TComponent::DefineProperties(props);
  // Plain fields: each property reads and writes its field.
  // (The field is captured by copy: clang takes no structured binding in a
  // capture list.)
  for (auto [name, member] : {std::pair{"FileName", &TOpenDialog::FileName}, {"InitialDir", &TOpenDialog::InitialDir},
                              {"Filter", &TOpenDialog::Filter}, {"DefaultExt", &TOpenDialog::DefaultExt},
                              {"Title", &TOpenDialog::Title}})
    props.Add({name, TPropKind::pkString, [this, field = member] { return TPropValue(this->*field); },
               [this, field = member](const TPropValue& v) { this->*field = std::get<std::string>(v); }, {}});
}

}  // namespace forms
