#include "support/EventJournal.h"

std::vector<std::string> TEventJournal::WithPrefix(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& e : FEntries)
    if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
  return out;
}
