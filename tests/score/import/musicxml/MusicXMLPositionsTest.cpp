// Positions in tenths as exporters write them, decimals most of all, at
// every element that reads them: the whole tenths nearest the value
// (halves to even), times 24 div 5, in layout units (a line space of the
// default page is 48). Up in MusicXML is down-negative in the layout. The
// marks of one place, which take no default-x, stand in a row.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"

namespace {

int Lyric(const TKVMeasure& M, bool X) {
  const TKVLyric* l = ItemsOfKind<TKVLyric>(M, ItemKind::Syllable).at(0);
  return X ? l->OffsetX() : l->OffsetY();
}
int Mark(const TKVMeasure& M, uint8_t Kind, bool X) {
  const TKVMark* m = ItemsOfKind<TKVMark>(M, Kind).at(0);
  return X ? m->OffsetX() : m->OffsetY();
}

TEST(MusicXMLPositions, TenthsWithADecimalPointAtEveryElementThatReadsThem) {
  const int ascent = text::CurrentMeasurer().GetTextMetrics({"Arial", 64, 0}).Ascent;  // the words' text top
  auto below = [](const std::string& Type) {
    return "<direction placement=\"below\"><direction-type>" + Type + "</direction-type></direction>";
  };
  auto above = [](const std::string& Type) {
    return "<direction placement=\"above\"><direction-type>" + Type + "</direction-type></direction>";
  };
  using R = std::function<int(const TKVMeasure&)>;
  const R lyricY = [](const TKVMeasure& M) { return Lyric(M, false); };
  const R dynamicY = [](const TKVMeasure& M) { return Mark(M, ItemKind::Dynamic, false); };
  const R wordsY = [](const TKVMeasure& M) {
    return int(ItemsOfKind<TKVLyric>(M, ItemKind::LyricText).at(0)->OffsetY());
  };
  const R wordsX = [](const TKVMeasure& M) {
    return int(ItemsOfKind<TKVLyric>(M, ItemKind::LyricText).at(0)->OffsetX());
  };
  auto dynamicX = [](bool Hairpin) {
    return [Hairpin](const TKVMeasure& M) {
      for (const TKVMark* m : ItemsOfKind<TKVMark>(M, ItemKind::Dynamic))
        if ((m->Variant() >= 50) == Hairpin) return int(m->OffsetX());
      return -1;
    };
  };
  // Marks of one place in a row, with the fake metrics: f (code 6F hex at
  // 144) 192 x 800 / 1000 = 154 wide and p (69 hex) 96, centred; a space
  // of Arial at 64 is 85 x 700 / 1000 = 60; "molto " 60 + 68 + 55 + 60 +
  // 68 + 60 = 371; a hairpin's opening 32 before its offset.
  const std::string f = "<dynamics><f/></dynamics>", p = "<dynamics><p/></dynamics>";
  const std::string cresc = "<wedge type=\"crescendo\"/>", then = "</direction-type><direction-type>";
  struct Row {
    const char* Case;
    std::string Directions, InNote;  // before the note, inside it
    R Read;
    int Expected;
  };
  const Row rows[] = {
      {"verse 1 at -80.00", "", "<lyric number=\"1\" default-y=\"-80.00\"><text>a</text></lyric>", lyricY, 384},
      {"verse 2 at -106.00: 508.8", "", "<lyric number=\"2\" default-y=\"-106.00\"><text>a</text></lyric>", lyricY,
       508},
      {"-75.5 to the even 76", "", "<lyric default-y=\"-75.5\"><text>a</text></lyric>", lyricY, 364},
      {"-76.5 to the even 76", "", "<lyric default-y=\" -76.5 \"><text>a</text></lyric>", lyricY, 364},
      {"a sign: +12, 57.6 up", "", "<lyric default-y=\"+12\"><text>a</text></lyric>", lyricY, -57},
      {"no number: 0", "", "<lyric default-y=\"-8O\"><text>a</text></lyric>", lyricY, 0},
      {"no verse number: verse 1, 6 spaces down", "", "<lyric><text>a</text></lyric>", lyricY, 288},
      {"a syllable's default-x: centred all the same", "",
       "<lyric number=\"1\" default-x=\"6.58\"><text>a</text></lyric>",
       [](const TKVMeasure& M) { return Lyric(M, true); }, 0},
      {"dynamic at -76.5", below("<dynamics default-y=\"-76.5\"><f/></dynamics>"), "", dynamicY, 364},
      {"dynamic moved 10.00 up from 384", below("<dynamics relative-y=\"10.00\"><f/></dynamics>"), "", dynamicY, 336},
      {"dynamic moved 2.50 left: 9.6", below("<dynamics relative-x=\"-2.50\"><f/></dynamics>"), "",
       [](const TKVMeasure& M) { return Mark(M, ItemKind::Dynamic, true); }, -9},
      {"wedge below at -70.00", below("<wedge default-y=\"-70.00\" type=\"crescendo\"/>"), "", dynamicY, 336},
      {"wedge above at 20", above("<wedge default-y=\"20\" type=\"crescendo\"/>"), "", dynamicY, -96},
      {"words below, baseline at -72.50", below("<words default-y=\"-72.50\">dolce</words>"), "", wordsY, 345 - ascent},
      {"words above, baseline at 40 and 5.00 up", above("<words default-y=\"40\" relative-y=\"5.00\">Andante</words>"),
       "", wordsY, -192 - ascent - 24},
      {"words after a wedge at -70: their own place",
       below("<wedge default-y=\"-70\" type=\"crescendo\"/>") + below("<words>dolce</words>"), "", wordsY, 240},
      {"words after the dynamic of their direction: 77 + 60", below(f + then + "<words>dolce</words>"), "", wordsX,
       137},
      {"a dynamic after the words of its direction: 371 + 60 + 77", below("<words>molto </words>" + then + f), "",
       dynamicX(false), 508},
      {"a hairpin after the dynamic of its place: 48 + 60 + 32", below(p) + below(cresc), "", dynamicX(true), 140},
      {"a hairpin written before its dynamic: after it", below(cresc) + below(f), "", dynamicX(true), 169},
      {"a dynamic after its hairpin: where it stands alone", below(cresc) + below(f), "", dynamicX(false), 0},
      {"words above a dynamic below: where they stand alone", above("<words>dolce</words>") + below(f), "", wordsX, 0},
      {"pedal at -65.00", below("<pedal type=\"start\" default-y=\"-65.00\"/>"), "",
       [](const TKVMeasure& M) { return Mark(M, ItemKind::Pedal, false); }, 312},
      {"slur's curve 12.75 up", "",
       "<notations><slur type=\"start\" number=\"1\" bezier-x=\"18.25\" bezier-y=\"12.75\"/></notations>",
       [](const TKVMeasure& M) {
         return int(
             ItemsOfKind<TKVLiga>(*ItemsOfKind<TKVNote>(M, ItemKind::Note).at(0), ItemKind::Slur).at(0)->Control1Y());
       },
       -62},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Case);
    TWalkedDocument walked(Partwise({"<measure number=\"1\"><attributes><divisions>1</divisions></attributes>" +
                                     row.Directions + XMLNote("C", 4, row.InNote) + "</measure>"}));
    EXPECT_EQ(row.Read(*walked.Measure(0, 0)), row.Expected);
  }
}

// XML attributes carry no order: a default-y read after a verse number or
// a relative-y counts all the same, one read before a placement stays
// where it says, and a wedge's relative-y before its type is not lost.
TEST(MusicXMLPositions, AttributesInEveryOrderGiveOnePosition) {
  const int ascent = text::CurrentMeasurer().GetTextMetrics({"Arial", 64, 0}).Ascent;
  struct Row {
    const char* Case;
    std::string Open, Close;  // around the attributes
    std::vector<std::string> Attributes;
    bool InNote;
    uint8_t Kind;
    int Expected;
  };
  const std::string direction = "<direction placement=\"below\"><direction-type>",
                    end = "</direction-type></direction>";
  // -80 tenths are 384 units down, -70 are 336, 20 are 96 up; 5 up is 24.
  const Row rows[] = {
      {"a verse's default-y and number", "<lyric", "><text>a</text></lyric>",
       {"number=\"1\"", "default-y=\"-80.00\""}, true, ItemKind::Syllable, 384},
      {"a dynamic's default-y and relative-y", direction + "<dynamics", "><f/></dynamics>" + end,
       {"default-y=\"-80\"", "relative-y=\"10.00\""}, false, ItemKind::Dynamic, 384 - 48},
      {"a dynamic's default-y above and placement below", direction + "<dynamics", "><f/></dynamics>" + end,
       {"placement=\"below\"", "default-y=\"20\""}, false, ItemKind::Dynamic, -96},
      {"words' default-y and relative-y", direction + "<words", ">dolce</words>" + end,
       {"default-y=\"-70\"", "relative-y=\"5\""}, false, ItemKind::LyricText, 336 - ascent - 24},
      {"a wedge's default-y, relative-y and type", direction + "<wedge default-y=\"-70.00\"", "/>" + end,
       {"type=\"crescendo\"", "relative-y=\"5\""}, false, ItemKind::Dynamic, 336 - 24},
  };
  for (const Row& row : rows) {
    std::vector<size_t> order(row.Attributes.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    do {
      std::string element = row.Open;
      for (size_t k : order) element += " " + row.Attributes[k];
      element += row.Close;
      SCOPED_TRACE(std::string(row.Case) + ": " + element);
      TWalkedDocument walked(Partwise({"<measure number=\"1\"><attributes><divisions>1</divisions></attributes>" +
                                       (row.InNote ? XMLNote("C", 4, element) : element + XMLNote("C", 4)) +
                                       "</measure>"}));
      const TKVMeasure& measure = *walked.Measure(0, 0);
      const int y = row.Kind == ItemKind::Dynamic ? ItemsOfKind<TKVMark>(measure, row.Kind).at(0)->OffsetY()
                                                  : ItemsOfKind<TKVLyric>(measure, row.Kind).at(0)->OffsetY();
      EXPECT_EQ(y, row.Expected);
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

}  // namespace
