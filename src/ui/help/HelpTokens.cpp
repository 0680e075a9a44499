#include "ui/help/HelpTokens.h"

namespace {

enum class TState { Skip, TagName, AttrName, AttrValue, Content };

bool IsQuote(char c) { return c == '"' || c == '\''; }

class TTokenizer {
public:
  TTokenizer(int depth, std::vector<THelpToken>& tokens, int& maxDepth)
      : FDepth(depth), FTokens(tokens), FMaxDepth(maxDepth), FFirst(tokens.size()) {}

  void Run(const std::string& text) {
    for (char c : text) Step(c);
  }

private:
  void Emit(THelpTokenKind kind, int depth, bool value = false) {
    std::string text;
    text.swap(FText);
    FQuote = 0;
    FSeenNonBlank = false;
    if (text.empty() && FTokens.size() != FFirst) return;
    if (depth < 0 || depth > kHelpMaxDepth) return;
    if (depth > FMaxDepth) FMaxDepth = depth;
    FTokens.push_back({kind, std::move(text), std::uint16_t(depth), value});
  }

  void EndName() {
    if (!FEnd) Emit(FEmpty ? THelpTokenKind::EmptyElement : THelpTokenKind::Element, FDepth);
    FText.clear();
    FNameDone = true;
  }

  void EndTag() {
    if (FState == TState::TagName && !FNameDone) EndName();
    else if (FState == TState::AttrName) Emit(THelpTokenKind::Attribute, FDepth + 1);
    else if (FState == TState::AttrValue) Emit(THelpTokenKind::Content, FDepth + 2, true);
    if (FEnd) {
      if (FDepth > 0) --FDepth;
    } else if (!FEmpty) {
      ++FDepth;
    }
    FText.clear();
    FState = TState::Content;
  }

  void StartTag() {
    FState = TState::TagName;
    FText.clear();
    FEnd = FEmpty = FNameDone = false;
  }

  // The quote rule of values and content: a quote before any other
  // non-blank byte opens a quoted stretch that the next such quote closes.
  bool Quoting(char c) {
    if (FQuote) {
      if (c == FQuote) FQuote = 0;
      FText += c;
      return true;
    }
    if (IsQuote(c) && !FSeenNonBlank) {
      FQuote = c;
      FSeenNonBlank = true;
      FText += c;
      return true;
    }
    return false;
  }

  void Step(char c) {
    switch (FState) {
      case TState::Skip:
        if (c == '<') StartTag();
        break;
      case TState::TagName:
        if (c == '>') EndTag();
        else if (c == '/') (FText.empty() && !FNameDone ? FEnd : FEmpty) = true;
        else if (c == ' ' && !FText.empty()) {
          EndName();
          FState = TState::AttrName;
        } else if (c != '\0' && c != ' ') FText += c;
        break;
      case TState::AttrName:
        if (c == '=') {
          Emit(THelpTokenKind::Attribute, FDepth + 1);
          FState = TState::AttrValue;
        } else if (c == '>') EndTag();
        else if (c != '\0' && c != ' ') FText += c;
        break;
      case TState::AttrValue:
        if (c == '\r' || c == '\n' || c == '\t' || c == '\0' || Quoting(c)) break;
        if (c == '>') EndTag();
        else if (c == ' ' && FSeenNonBlank) {
          Emit(THelpTokenKind::Content, FDepth + 2, true);
          FState = TState::AttrName;
        } else {
          if (c != ' ') FSeenNonBlank = true;
          FText += c;
        }
        break;
      case TState::Content:
        if (c == '\r' || c == '\n' || c == '\t' || c == '\0' || Quoting(c)) break;
        if (c == '<') {
          Emit(THelpTokenKind::Content, FDepth);
          StartTag();
        } else {
          if (c != ' ') FSeenNonBlank = true;
          FText += c;
        }
        break;
    }
  }

  TState FState = TState::Skip;
  int FDepth;
  std::vector<THelpToken>& FTokens;
  int& FMaxDepth;
  size_t FFirst;
  std::string FText;
  char FQuote = 0;
  bool FSeenNonBlank = false;
  bool FEnd = false, FEmpty = false, FNameDone = false;
};

}  // namespace

void TokenizeHelpPage(const std::string& text, int baseDepth, std::vector<THelpToken>& tokens, int& maxDepth) {
  TTokenizer(baseDepth, tokens, maxDepth).Run(text);
}
