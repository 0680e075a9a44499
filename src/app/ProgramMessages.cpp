// The main window's messages filled in: a path, a count or the system's
// cause of a failure, in the words of the language in force.

#include <cerrno>
#include <system_error>

#include "app/MessageBlock.h"
#include "app/ProgramModule.h"
#include "base/Utf8.h"
#include "platform/forms/FolderListing.h"

namespace {

// Characters of a path a box shows whole; a longer one (a name typed with
// thousands of characters) shows its start, "…" and its end, which tell
// where it lies and what it is called.
constexpr size_t ShownPathLength = 100, ShownPathStart = 30;

std::string ShownPath(const std::string& path) {
  const std::string valid = forms::ShownText(path);
  const std::u32string text = DecodeUtf8(valid);
  if (text.size() <= ShownPathLength) return valid;
  std::string shown;
  for (size_t i = 0; i < ShownPathStart; ++i) AppendUtf8(shown, text[i]);
  shown += "\u2026";
  for (size_t i = text.size() - (ShownPathLength - ShownPathStart - 1); i < text.size(); ++i) AppendUtf8(shown, text[i]);
  return shown;
}

// Text with its next "%s" replaced by Value: the text comes from a language
// file and is no format of its own.
std::string Fill(std::string text, size_t& from, const std::string& value) {
  const size_t at = text.find("%s", from);
  if (at == std::string::npos) return text;
  from = at + value.size();
  return text.replace(at, 2, value);
}

}  // namespace

std::string TFProgramModule::MessageWithPath(TProgramMessage Index, const std::string& Path) const {
  size_t from = 0;
  return Fill(Message(Index), from, ShownPath(Path));
}

std::string TFProgramModule::MessageWithCause(TProgramMessage Index, const std::string& Path, int Error) const {
  size_t from = 0;
  const std::string text = Fill(Message(Index), from, ShownPath(Path));
  return Fill(text, from, CauseText(Error));
}

std::string TFProgramModule::CauseText(int Error) const {
  switch (Error) {
    case EACCES:
    case EPERM: return Message(pmPermissionDenied);
    case ENOSPC:
    case EDQUOT: return Message(pmDiskFull);
    case EROFS: return Message(pmReadOnly);
    case ENAMETOOLONG: return Message(pmNameTooLong);
    case ENOENT:
    case ENOTDIR: return Message(pmNotFound);
    default: return std::error_code(Error, std::generic_category()).message();
  }
}

void TFProgramModule::ShowDialogProblem(const forms::TDialogProblem& Problem) {
  using forms::TDialogProblem;
  switch (Problem.Kind) {
    case TDialogProblem::dpNoFolder: ShowError(MessageWithPath(pmNoFolder, Problem.Path)); break;
    case TDialogProblem::dpFolderUnreadable:
      ShowError(MessageWithCause(pmFolderUnreadable, Problem.Path, Problem.Error));
      break;
    case TDialogProblem::dpNoFile: ShowError(MessageWithPath(pmNoFile, Problem.Path)); break;
    case TDialogProblem::dpFileUnreadable: ShowError(MessageWithCause(pmCannotRead, Problem.Path, Problem.Error)); break;
  }
}
