#pragma once
// Reading documents held in strings, and entry lists written as one line per
// entry: depth, "@" for an attribute (else a space), name, "=", text.

#include <string>
#include <vector>

#include "base/Streams.h"
#include "score/import/musicxml/XMLEntryList.h"

inline TKVXMLEntryList ReadXML(const std::string& document, const TKVXMLLimits& limits = {}) {
  TMemoryStream stream(std::vector<uint8_t>(document.begin(), document.end()));
  return ReadXMLEntries(stream, limits);
}

inline std::vector<std::string> DumpEntries(const TKVXMLEntryList& list, size_t from = 0) {
  std::vector<std::string> lines;
  for (size_t i = from; i < list.Top(); ++i) {
    const TKVXMLEntry& e = list.Entries[i];
    lines.push_back(std::to_string(e.Depth) + (e.IsAttribute ? "@" : " ") + e.Name + "=" + e.Text);
  }
  return lines;
}
