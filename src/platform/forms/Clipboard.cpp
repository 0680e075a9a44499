#include "platform/forms/Clipboard.h"

namespace forms {

unsigned TClipboard::RegisterFormat(const std::string& name) {
  // Registered formats count from where the system's own formats end.
  auto [it, added] = FNames.try_emplace(name, unsigned(0xC000 + FNames.size()));
  (void)added;
  return it->second;
}

void TClipboard::SetAsHandle(unsigned format, std::vector<std::uint8_t> bytes) { FBlocks[format] = std::move(bytes); }

const std::vector<std::uint8_t>* TClipboard::GetAsHandle(unsigned format) const {
  auto it = FBlocks.find(format);
  return it == FBlocks.end() ? nullptr : &it->second;
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

}  // namespace forms
