#pragma once
// Checks of a composed page read from its display records, for the page
// corpus test and for tests of small files: nothing off the page that no
// layout rule puts there, no lyric, staff text or dynamic over another
// staff's lines, no syllable over its own staff, another verse or the next
// staff's notes, no two direction marks at one tick of a staff over each
// other, no two page texts over each other, and every rest drawn with the
// glyph of its written type. Each check returns one line per fault, naming
// the page and the record.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "render/WrittenRests.h"

class TKVScore;
class TKVWindow;
struct TKVDisplayItem;
struct TKVPageRecord;

// What lies off the page: records no rule explains, and the count of the
// records each rule explains, by the rule's name.
struct TOffPage {
  std::vector<std::string> Unexplained;
  std::map<std::string, int64_t> Explained;
};

// The rules of the layout that put records off the page, by name.
namespace off_page_rule {
// The first measure of a system is placed even when it is wider than the
// line: its records reach past the right edge as far as the measure does.
inline constexpr const char* WideFirstMeasure = "a first measure wider than the line";
// The first system of a page is placed even when the page cannot hold it:
// its records below the page belong to a system taller than the page.
inline constexpr const char* TallSystem = "a system taller than the page";
}  // namespace off_page_rule

// Records of page Index of the score that lie off the page: its staff
// lines, the positioned records of its measures and its page objects.
TOffPage CheckOffPage(TKVScore& Score, int32_t Index);

// Lyric syllables, staff texts, part names and dynamics whose rectangle
// overlaps the lines of a staff other than their own, and page texts that
// overlap the lines of any staff.
std::vector<std::string> CheckOverStaves(const TKVPageRecord& Page);

// Lyric syllables over their own staff's lines or note heads, syllables of
// two verses over each other, and a note head, stem or beam of the next
// staff of the system through a syllable. A syllable is its text: the
// rectangle less the room the layout leaves below it.
std::vector<std::string> CheckSyllables(const TKVPageRecord& Page);

// Dynamics, staff texts and the openings of hairpins at one tick of a
// staff over each other (a staff text is its text, as a syllable; one
// without a character draws nothing).
std::vector<std::string> CheckDirectionMarks(const TKVPageRecord& Page);

// Page texts (page marks, and texts that hold a character) that overlap
// each other.
std::vector<std::string> CheckPageTexts(const TKVPageRecord& Page);

// A rest as the page drawer draws it: the value of its glyph (whole 512
// ... 128th 4; 0 when it draws nothing recognisable) and its dots.
struct TDrawnRest {
  uint16_t Ticks = 0;
  int Dots = 0;
};

// Draws the records of page Index of the view's score and checks every
// rest against what was written: the file's own rests (Written, read from
// a MusicXML file), or without them the rest's own value and dots as an
// importer of other files sets them.
std::vector<std::string> CheckRestGlyphs(TKVWindow& View, int32_t Index, const TWrittenRests* Written);

// A name of a record for the messages: its kind and rectangle.
std::string DescribeRecord(const TKVDisplayItem& Record);
