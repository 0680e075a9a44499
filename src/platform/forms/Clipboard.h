#pragma once
// The program's own clipboard of named formats: a format name registered
// gets an id (the same name the same id), and the clipboard holds one block
// of bytes per format. Other programs do not see it; the host's text
// clipboard is the window layer's.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace forms {

// The predefined format of a device-independent bitmap (a BMP file image).
constexpr unsigned CF_DIB = 8;

class TClipboard {
public:
  unsigned RegisterFormat(const std::string& name);
  // Replaces the block of Format; other formats stay (several formats of one
  // copy are placed one after the other).
  void SetAsHandle(unsigned format, std::vector<std::uint8_t> bytes);
  // The block of Format, or nullptr when it is not on the clipboard.
  const std::vector<std::uint8_t>* GetAsHandle(unsigned format) const;
  bool HasFormat(unsigned format) const { return FBlocks.count(format) != 0; }
  void Clear() { FBlocks.clear(); }

private:
  std::map<std::string, unsigned> FNames;
  std::map<unsigned, std::vector<std::uint8_t>> FBlocks;
};

TClipboard& Clipboard();

}  // namespace forms
