#include "base/StringList.h"

#include "base/Exceptions.h"
#include "base/Strings.h"

void TStringList::checkIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(index);
}

const std::string& TStringList::Strings(int index) const {
  checkIndex(index);
  return FItems[size_t(index)].S;
}

void TStringList::SetString(int index, const std::string& s) {
  checkIndex(index);
  FItems[size_t(index)].S = s;
}

TObject* TStringList::Objects(int index) const {
  checkIndex(index);
  return FItems[size_t(index)].Obj;
}

void TStringList::SetObject(int index, TObject* obj) {
  checkIndex(index);
  TObject*& slot = FItems[size_t(index)].Obj;
  if (FOwnsObjects && slot != obj) delete slot;
  slot = obj;
}

int64_t TStringList::Tags(int index) const {
  checkIndex(index);
  return FItems[size_t(index)].Tag;
}

int TStringList::AddObject(const std::string& s, TObject* obj) {
  FItems.push_back({s, obj, 0});
  return Count() - 1;
}

int TStringList::AddTagged(const std::string& s, int64_t tag) {
  FItems.push_back({s, nullptr, tag});
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s, TObject* obj) {
  if (index < 0 || index > Count()) throw EListError(index);
  FItems.insert(FItems.begin() + index, {s, obj, 0});
}

void TStringList::Delete(int index) {
  checkIndex(index);
  TObject* obj = FItems[size_t(index)].Obj;
  FItems.erase(FItems.begin() + index);
  if (FOwnsObjects) delete obj;
}

void TStringList::Clear() {
  std::vector<Entry> items;
  items.swap(FItems);
  if (FOwnsObjects)
    for (Entry& e : items) delete e.Obj;
}

int TStringList::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(FItems[size_t(i)].S, s)) return i;
  return -1;
}

int TStringList::IndexOfObject(const TObject* obj) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[size_t(i)].Obj == obj) return i;
  return -1;
}

void TStringList::AssignStrings(const TStringList& source) {
  if (&source == this) return;
  Clear();
  for (const Entry& e : source.FItems) FItems.push_back({e.S, FOwnsObjects ? nullptr : e.Obj, e.Tag});
}

std::string TStringList::Names(int index) const {
  const std::string& s = Strings(index);
  size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStringList::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = FItems[size_t(i)].S;
    size_t eq = s.find('=');
    if (eq != std::string::npos && SameText(s.substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStringList::Values(const std::string& name) const {
  int i = IndexOfName(name);
  if (i < 0) return std::string();
  const std::string& s = FItems[size_t(i)].S;
  return s.substr(s.find('=') + 1);
}

void TStringList::SetValue(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (i < 0)
    Add(name + "=" + value);
  else
    FItems[size_t(i)].S = name + "=" + value;
}

std::string TStringList::Text() const {
  std::string out;
  for (const Entry& e : FItems) out += e.S + "\r\n";
  return out;
}

void TStringList::SetText(const std::string& text) {
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      Add(text.substr(start));
      break;
    }
    Add(text.substr(start, end - start));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}
