#pragma once
// The filter strings of the file dialogs: "Description|*.a;*.b|..." pairs
// of a description and its patterns, and the matching of file names
// against "*" and "?" patterns without regard to ASCII letter case ("*.*"
// matches every name).

#include <string>
#include <vector>

namespace forms {

struct TFileFilter {
  std::string Description;
  std::vector<std::string> Patterns;
};

// The pairs of a filter string; a description without patterns gets "*".
std::vector<TFileFilter> ParseFilter(const std::string& filter);
bool MatchesMask(const std::string& fileName, const std::string& mask);
bool MatchesAnyMask(const std::string& fileName, const std::vector<std::string>& masks);

}  // namespace forms
