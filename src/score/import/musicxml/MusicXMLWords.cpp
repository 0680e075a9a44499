#include "score/import/musicxml/MusicXMLWords.h"

#include <algorithm>
#include <unordered_map>

#include "base/Strings.h"

namespace {

const char* const ElementNames[XMLElementCount] = {
#define SONARID_XML_ELEMENT_NAME(id, name) name,
    SONARID_XML_ELEMENTS(SONARID_XML_ELEMENT_NAME)
#undef SONARID_XML_ELEMENT_NAME
};

// The names are unique, so a map by lower-case name gives the same code as
// a search of the table in order.
const std::unordered_map<std::string, TKVXMLElement>& ElementCodes() {
  static const std::unordered_map<std::string, TKVXMLElement> codes = [] {
    std::unordered_map<std::string, TKVXMLElement> map;
    for (int i = 0; i < XMLElementCount; ++i) map.emplace(LowerCase(ElementNames[i]), TKVXMLElement(i + 1));
    return map;
  }();
  return codes;
}

// The position of Text in Words (letter case ignored), or Fallback.
template <size_t N>
int IndexOfWord(const std::string& text, const char* const (&words)[N], int fallback) {
  for (size_t i = 0; i < N; ++i)
    if (SameText(text, words[i])) return int(i);
  return fallback;
}

}  // namespace

TKVXMLElement LookupXMLElement(const std::string& name) {
  const auto& codes = ElementCodes();
  auto it = codes.find(LowerCase(Trim(name)));
  return it == codes.end() ? xeNone : it->second;
}

const char* XMLElementName(int code) {
  return code >= 1 && code <= XMLElementCount ? ElementNames[code - 1] : "";
}

int StepLetterIndex(const std::string& text) {
  static const char* const letters[] = {"C", "D", "E", "F", "G", "A", "B"};
  return IndexOfWord(text, letters, 0);
}

int ClefSignToKind(const std::string& text) {
  static const char* const signs[] = {"G", "F", "C", "TAB", "Percussion"};
  static const int kinds[] = {1, 2, 3, 13, 14};
  int i = IndexOfWord(text, signs, -1);
  return i < 0 ? 1 : kinds[i];
}

// The values below the 64th are read too: taken for eighths they made a
// 128th rest or note eight times its length. A tick is the shortest value
// there is, so the 512th and the 1024th are one tick.
int NoteTypeToTicks(const std::string& text) {
  static const char* const types[] = {"whole", "half", "quarter", "eighth", "16th", "32nd", "64th", "128th", "256th",
                                      "512th", "1024th"};
  int i = IndexOfWord(text, types, -1);
  return i < 0 ? 64 : std::max(1, 512 >> i);
}

int HarmonyKindIndex(const std::string& text) {
  static const char* const kinds[] = {
      "major", "minor", "augmented", "diminished", "dominant", "major-seventh", "minor-seventh",
      "diminished-seventh", "half-diminished", "major-minor", "major-sixth", "minor-sixth",
      "dominant-ninth", "major-ninth", "minor-ninth", "dominant-11th", "major-11th", "minor-11th",
      "dominant-13th", "major-13th", "minor-13th"};
  return IndexOfWord(text, kinds, 1);
}
