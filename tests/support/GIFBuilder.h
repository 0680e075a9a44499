#pragma once
// Writes GIF bytes block by block from the published GIF89a layout, for
// tests and fuzz seeds. Image data is packed from a list of LZW codes or
// from plain pixel indices (each a literal code, with a clear code before
// the code width would grow).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TGIFBuilder {
public:
  using TBytes = std::vector<std::uint8_t>;
  explicit TGIFBuilder(const std::string& signature = "GIF89a") { FBytes.assign(signature.begin(), signature.end()); }
  // Logical screen; a colour table of 2^Bits entries (Bits 0: none), entry i = (i, 2i, 3i) unless given.
  TGIFBuilder& Screen(int w, int h, int bits, int background = 0) {
    Word(w), Word(h), Byte(bits ? 0x80 | (bits - 1) : 0), Byte(background), Byte(0);
    return Table(bits);
  }
  TGIFBuilder& Control(bool transparent, int index = 0, int delay = 0, int disposal = 0) {
    Raw({0x21, 0xF9, 4, std::uint8_t(disposal << 2 | (transparent ? 1 : 0))}), Word(delay), Byte(index), Byte(0);
    return *this;
  }
  TGIFBuilder& PlainText() {
    Raw({0x21, 0x01, 12}), Raw(TBytes(12, 0));
    return Blocks({"hi"});
  }
  TGIFBuilder& Loop(int count, const std::string& id = "NETSCAPE2.0") {
    Raw({0x21, 0xFF, 11}), Raw(TBytes(id.begin(), id.end()));
    return Blocks({std::string{1, char(count & 255), char(count >> 8)}});
  }
  TGIFBuilder& Comment(const std::vector<std::string>& blocks) {
    Raw({0x21, 0xFE});
    return Blocks(blocks);
  }
  // Image descriptor (at 0, 0, without a table of its own) and its coded data.
  TGIFBuilder& Image(int w, int h, const std::vector<std::pair<int, int>>& codes, int codeSize = 2) {
    Byte(0x2C), Word(0), Word(0), Word(w), Word(h), Byte(0), Byte(codeSize);
    std::string packed = Pack(codes);
    for (std::size_t i = 0; i < packed.size(); i += 255) Blocks1(packed.substr(i, 255));
    return Byte(0);
  }
  // Pixels as literal codes: width CodeSize + 1 throughout.
  static std::vector<std::pair<int, int>> Literals(const std::vector<int>& pixels, int codeSize = 2) {
    int clear = 1 << codeSize, width = codeSize + 1, room = (1 << width) - clear - 2;
    std::vector<std::pair<int, int>> codes{{clear, width}};
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      if (i && i % std::size_t(room) == 0) codes.push_back({clear, width});
      codes.push_back({pixels[i], width});
    }
    codes.push_back({clear + 1, width});
    return codes;
  }
  TGIFBuilder& Byte(int b) {
    FBytes.push_back(std::uint8_t(b));
    return *this;
  }
  TGIFBuilder& Word(int w) { return Byte(w & 255).Byte(w >> 8 & 255); }
  TGIFBuilder& Raw(const TBytes& b) {
    FBytes.insert(FBytes.end(), b.begin(), b.end());
    return *this;
  }
  TGIFBuilder& Trailer() { return Byte(0x3B); }
  TBytes Bytes() const { return FBytes; }

private:
  TBytes FBytes;
  TGIFBuilder& Table(int bits) {
    for (int i = 0; bits && i < (1 << bits); ++i) Byte(i), Byte(2 * i), Byte(3 * i);
    return *this;
  }
  TGIFBuilder& Blocks1(const std::string& s) {
    Byte(int(s.size()));
    return Raw(TBytes(s.begin(), s.end()));
  }
  TGIFBuilder& Blocks(const std::vector<std::string>& blocks) {
    for (const auto& b : blocks) Blocks1(b);
    return Byte(0);
  }
  static std::string Pack(const std::vector<std::pair<int, int>>& codes) {
    std::string out;
    unsigned acc = 0;
    int n = 0;
    for (auto [code, width] : codes) {
      acc |= unsigned(code) << n;
      for (n += width; n >= 8; n -= 8, acc >>= 8) out += char(acc & 255);
    }
    if (n > 0) out += char(acc & 255);
    return out;
  }
};
