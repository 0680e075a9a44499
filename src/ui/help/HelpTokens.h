#pragma once
// The tokenizer of help pages: a page text becomes a flat list of tokens,
// each with a kind, its bytes and a nesting depth. Tags must stay on one
// line; end tags only lower the depth, whatever name they carry.

#include <cstdint>
#include <string>
#include <vector>

enum class THelpTokenKind : std::uint8_t { Element, Attribute, Content, EmptyElement };

struct THelpToken {
  THelpTokenKind Kind;
  std::string Text;
  std::uint16_t Depth;
  bool Value;  // content that is an attribute's value (unquoted before use)
};

// Deeper tokens are dropped, so the per-depth tables stay this small.
constexpr int kHelpMaxDepth = 256;

// Appends the tokens of Text to Tokens, depths starting at BaseDepth, and
// raises MaxDepth to the deepest token kept. Empty tokens are dropped except
// the very first of a page; text after the last tag is dropped.
void TokenizeHelpPage(const std::string& text, int baseDepth, std::vector<THelpToken>& tokens, int& maxDepth);
