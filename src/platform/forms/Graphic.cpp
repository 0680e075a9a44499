#include "platform/forms/Graphic.h"

#include "platform/forms/Clipboard.h"

namespace forms {

void TGraphic::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

void TGraphic::Assign(TGraphic* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EAssignError("nil", ClassName());
}

void TGraphic::AssignTo(TGraphic* dest) { throw EAssignError(ClassName(), dest ? dest->ClassName() : "nil"); }

bool TGraphic::Equals(TGraphic* other) {
  if (!other || std::string(other->ClassName()) != ClassName()) return false;
  if (GetEmpty() || other->GetEmpty()) return GetEmpty() == other->GetEmpty();
  TMemoryStream mine, theirs;
  SaveToStream(mine);
  other->SaveToStream(theirs);
  return mine.Bytes() == theirs.Bytes();
}

void TGraphic::LoadFromClipboardFormat(unsigned format) {
  const std::vector<std::uint8_t>* block = Clipboard().GetAsHandle(format);
  if (!block) throw EInvalidGraphic("Unsupported clipboard format");
  TMemoryStream stream(*block);
  LoadFromStream(stream);
}

void TGraphic::SaveToClipboardFormat(unsigned& format) {
  TMemoryStream stream;
  SaveToStream(stream);
  Clipboard().SetAsHandle(format, stream.Bytes());
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TMemoryStream stream;
  SaveToStream(stream);  // all in memory first: a failing picture leaves no file
  stream.SaveToFile(fileName);
}

}  // namespace forms
