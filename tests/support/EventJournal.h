#pragma once
// One ordered record of what fakes and event handlers saw, so that a test can
// check the order of layout runs, view calls and score events together.

#include <string>
#include <vector>

class TEventJournal {
public:
  void Add(const std::string& entry) { FEntries.push_back(entry); }
  const std::vector<std::string>& Entries() const { return FEntries; }
  void Clear() { FEntries.clear(); }
  // Entries that start with Prefix, in order.
  std::vector<std::string> WithPrefix(const std::string& prefix) const;

private:
  std::vector<std::string> FEntries;
};
