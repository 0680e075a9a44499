#include "platform/forms/Strings.h"

namespace forms {

void TStrings::Changed() {
  if (OnChange) OnChange(this);
}

void TStrings::SetString(int index, const std::string& s) {
  TStringList::SetString(index, s);
  Changed();
}

void TStrings::SetObject(int index, TObject* obj) {
  TStringList::SetObject(index, obj);
  Changed();
}

int TStrings::AddObject(const std::string& s, TObject* obj) {
  const int index = TStringList::AddObject(s, obj);
  Changed();
  return index;
}

int TStrings::AddTagged(const std::string& s, int64_t tag) {
  const int index = TStringList::AddTagged(s, tag);
  Changed();
  return index;
}

void TStrings::Insert(int index, const std::string& s, TObject* obj) {
  TStringList::Insert(index, s, obj);
  Changed();
}

void TStrings::Delete(int index) {
  TStringList::Delete(index);
  Changed();
}

void TStrings::Clear() {
  TStringList::Clear();
  Changed();
}

void TStrings::Assign(const TStringList& source) {
  if (&source == this) return;
  TStringList::AssignStrings(source);
  Changed();
}

void TStrings::SetText(const std::string& text) {
  TStringList::SetText(text);
  Changed();
}

}  // namespace forms
