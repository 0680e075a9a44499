#pragma once
// The first pass of the MusicXML import: the document as a flat list of
// entries, one for every element and every attribute in document order, each
// with its nesting depth and its text. The second pass walks this list from
// the score-partwise entry on.
//
// Built with a real XML parser: comments, processing instructions and the
// document type are skipped, character and entity references are decoded,
// CDATA is text, and every text is UTF-8. No external DTD or entity is ever
// loaded; entity expansion and the input size are bounded.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Streams.h"

struct TKVXMLEntry {
  std::string Name;  // the element or attribute name as it stands in the document
  // An element's own character data (CR, LF and TAB dropped, spaces kept), or
  // an attribute's value; UTF-8.
  std::string Text;
  int32_t Depth = 0;
  bool IsAttribute = false;
};

// The entry list of one document:
// - an XML declaration gives an entry "?xml" at depth 0 (its pseudo-attributes
//   version, encoding and standalone follow at depth 1);
// - the root element is at depth 1, and an element at depth d is followed by
//   its attributes in document order at depth d + 1, then by its children.
struct TKVXMLEntryList {
  std::vector<TKVXMLEntry> Entries;
  // At least the largest depth of any entry: the scope array needs MaxDepth + 1 slots.
  int32_t MaxDepth = 0;
  // The index of the score-partwise entry, where the walk starts.
  size_t Root = 0;

  // The number of entries; the walk ends below it.
  size_t Top() const { return Entries.size(); }
};

// What the reader accepts at most.
struct TKVXMLLimits {
  int64_t MaxInputSize = 64 << 20;  // bytes of the document
  size_t MaxEntries = 4000000;
  int MaxEntityDeclarations = 64;   // entities declared by the document's own DTD
};

// Reads the document from the stream's position to its end. Raises
// EImportError "This is not MusicXML file!" for input that is not well-formed
// XML or whose root element is not score-partwise, and "The MusicXML file is
// too large" beyond the limits.
TKVXMLEntryList ReadXMLEntries(TStream& stream, const TKVXMLLimits& limits = {});
