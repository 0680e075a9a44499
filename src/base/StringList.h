#pragma once
// An ordered list of 8-bit strings, each with an optional object and an
// integer tag (a number the list's user keeps with the entry, such as a
// device's ID; 0 unless given). Lookups by name ignore ASCII letter case, as
// the engine's named lists do. When OwnsObjects is set the list deletes its
// objects on removal and on clearing.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Object.h"

class TStringList : public TObject {
public:
  explicit TStringList(bool ownsObjects = false) : FOwnsObjects(ownsObjects) {}
  ~TStringList() override { Clear(); }

  int Count() const { return int(FItems.size()); }
  const std::string& Strings(int index) const;
  void SetString(int index, const std::string& s);
  TObject* Objects(int index) const;
  void SetObject(int index, TObject* obj);
  int64_t Tags(int index) const;

  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* obj);
  int AddTagged(const std::string& s, int64_t tag);
  void Insert(int index, const std::string& s, TObject* obj = nullptr);
  void Delete(int index);
  void Clear();
  // Index of the first entry equal to S (ASCII case ignored), -1 when none.
  int IndexOf(const std::string& s) const;
  int IndexOfObject(const TObject* obj) const;
  // Copies the strings; objects are shared only when this list does not own them.
  void AssignStrings(const TStringList& source);

  bool OwnsObjects() const { return FOwnsObjects; }

  // "Name=Value" access.
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& value);
  int IndexOfName(const std::string& name) const;

  std::string Text() const;  // entries joined by CR LF, each terminated
  void SetText(const std::string& text);

private:
  struct Entry {
    std::string S;
    TObject* Obj;
    int64_t Tag = 0;
  };
  void checkIndex(int index) const;

  std::vector<Entry> FItems;
  bool FOwnsObjects;
};
