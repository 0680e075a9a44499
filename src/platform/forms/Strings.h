#pragma once
// The string list of controls (items of combo and list boxes): a
// TStringList that tells its owner of every change made through it, so that
// the control shows the new items.

#include "base/StringList.h"
#include "platform/forms/Published.h"

namespace forms {

class TStrings : public TStringList {
public:
  TNotifyEvent OnChange;

  void SetString(int index, const std::string& s);
  void SetObject(int index, TObject* obj);
  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* obj);
  int AddTagged(const std::string& s, int64_t tag);
  void Insert(int index, const std::string& s, TObject* obj = nullptr);
  void Delete(int index);
  void Clear();
  void Assign(const TStringList& source);
  void SetText(const std::string& text);

private:
  void Changed();
};

}  // namespace forms
