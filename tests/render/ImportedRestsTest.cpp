// Rests of MusicXML documents written here, loaded and drawn as a shown view
// draws them: each rest in the shape of its written value (a tuplet's
// sixteenth as a sixteenth, a dotted half as a half with its dot), a rest
// that fills its measure as a whole rest in any meter, a pickup's rest as
// its own value; damaged types and durations still draw one rest each.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "render/ImportedScore.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"

namespace {

// What was drawn for one rest: the glyph written, or the block filled and
// whether it hangs from the second line (a whole rest) or sits on the
// middle line (a half rest); and the dots of its dot mark.
struct TDrawnRest {
  std::string Shape;  // "M" .. "R", "whole", "half", or what went wrong
  int Dots = 0;
  bool operator==(const TDrawnRest&) const = default;
  friend std::ostream& operator<<(std::ostream& s, const TDrawnRest& r) { return s << r.Shape << "+" << r.Dots; }
};

std::string Time(int Beats, int Type) {
  return "<time><beats>" + std::to_string(Beats) + "</beats><beat-type>" + std::to_string(Type) + "</beat-type></time>";
}
std::string Attributes(int Divisions, const std::string& Time) {
  return "<attributes><divisions>" + std::to_string(Divisions) + "</divisions>" + Time +
         "<clef><sign>G</sign><line>2</line></clef></attributes>";
}
// A note or rest element: What is "<rest/>" or a pitch; Extra follows the
// type (dots, time modification, notations).
std::string Element(const std::string& What, int Duration, const std::string& Type, const std::string& Extra = "") {
  return "<note>" + What + "<duration>" + std::to_string(Duration) + "</duration><voice>1</voice>" +
         (Type.empty() ? "" : "<type>" + Type + "</type>") + Extra + "</note>";
}
const std::string C5 = "<pitch><step>C</step><octave>5</octave></pitch>";
std::string Rest(int Duration, const std::string& Type, const std::string& Extra = "") {
  return Element("<rest/>", Duration, Type, Extra);
}
std::string Note(int Duration, const std::string& Type, const std::string& Extra = "") {
  return Element(C5, Duration, Type, Extra);
}
std::string Tuplet(int Actual, int Normal, const std::string& Type = "") {
  return "<time-modification><actual-notes>" + std::to_string(Actual) + "</actual-notes><normal-notes>" +
         std::to_string(Normal) + "</normal-notes></time-modification>" +
         (Type.empty() ? "" : "<notations><tuplet type=\"" + Type + "\"/></notations>");
}
std::string Measure(int Number, const std::string& Content) {
  return "<measure number=\"" + std::to_string(Number) + "\">" + Content + "</measure>";
}

// Every rest of the first part's measures, in measure and list order, with
// what every page drew for it.
std::vector<TDrawnRest> DrawnRests(TImportedScore& Imported) {
  std::map<const TKVItem*, std::vector<std::pair<const TKVDisplayItem*, const canvas::TCanvasCall*>>> drawn;
  std::vector<std::unique_ptr<TTaggingCanvas>> pages;
  for (int32_t p = 0; p < Imported.PageCount(); ++p) {
    pages.push_back(Imported.Draw(p));
    const TTaggingCanvas& canvas = *pages.back();
    for (size_t i = 0; i < canvas.Calls.size(); ++i)
      if (const TKVDisplayItem* record = canvas.Tags[i]; record && record->Item) {
        const TKVItem* item = record->Item;
        if (item->Kind() == ItemKind::Dot) item = item->OwnerAs<const TKVItem>();
        if (item && item->Kind() == ItemKind::Rest) drawn[item].emplace_back(record, &canvas.Calls[i]);
      }
  }
  std::vector<TDrawnRest> rests;
  const TKVPart& part = *Imported.Score->GetPiece(0)->GetPart(0);
  for (int32_t m = 0; m < part.GetMeasureCount(); ++m)
    for (const TKVItem* item : part.GetMeasure(m)->Items()) {
      if (item->Kind() != ItemKind::Rest) continue;
      TDrawnRest& rest = rests.emplace_back();
      int shapes = 0;
      for (auto [record, call] : drawn[item]) {
        if (record->Item->Kind() == ItemKind::Dot) {
          rest.Dots += call->Name == "SmoothPath";
          continue;
        }
        if (call->Name == "TextOutA") {
          ++shapes, rest.Shape = std::string(call->Text.begin(), call->Text.end());
        } else if (call->Name == "FillRect") {
          ++shapes;
          const TKVStaffLineRecord& line = *record->StaffLine;
          const double top = line.Top / 8, space = line.DrawnLineSpacing;
          // Left, top, right, bottom; the drawn lines are whole pixels apart.
          const bool hangs = std::fabs(call->Args[1] - (top + space)) <= 1;
          const bool sits = std::fabs(call->Args[3] - (top + 2 * space)) <= 1;
          rest.Shape = hangs && !sits ? "whole" : sits && !hangs ? "half" : "block off the lines";
        }
      }
      if (shapes != 1) rest.Shape = std::to_string(shapes) + " shapes";
    }
  return rests;
}

// The shapes worked out from the written types: the music font's rest
// codes are "M" quarter, "N" eighth, "O" 16th, "P" 32nd.
TEST(ImportedRests, EachInTheShapeOfItsWrittenValue) {
  const std::string document = PartwiseDocument({
      // 4/4 at 24 divisions a quarter: a sextuplet of sixteenths (4 each)
      // with three rests, a quarter rest, a triplet of eighths (8 each)
      // with two rests, a quarter note.
      Measure(1, Attributes(24, Time(4, 4)) + Note(4, "16th", Tuplet(6, 4, "start")) + Rest(4, "16th", Tuplet(6, 4)) +
                     Note(4, "16th", Tuplet(6, 4)) + Rest(4, "16th", Tuplet(6, 4)) + Rest(4, "16th", Tuplet(6, 4)) +
                     Note(4, "16th", Tuplet(6, 4, "stop")) + Rest(24, "quarter") +
                     Rest(8, "eighth", Tuplet(3, 2, "start")) + Note(8, "eighth", Tuplet(3, 2)) +
                     Rest(8, "eighth", Tuplet(3, 2, "stop")) + Note(24, "quarter")) +
      // 3/4: a whole-measure rest without a type, as exporters write it.
      Measure(2, "<attributes>" + Time(3, 4) + "</attributes>" +
                     "<note><rest measure=\"yes\"/><duration>72</duration><voice>1</voice></note>") +
      // A dotted half rest fills the 3/4 measure.
      Measure(3, Rest(72, "half", "<dot/>")) +
      // A double-dotted quarter rest (24 + 12 + 6), a sixteenth, a quarter.
      Measure(4, Rest(42, "quarter", "<dot/><dot/>") + Note(6, "16th") + Note(24, "quarter")) +
      Measure(5, Rest(3, "32nd") + Note(3, "32nd") + Rest(6, "16th") + Rest(12, "eighth") + Note(24, "quarter") +
                     Rest(24, "quarter")),
  });
  TImportedScore imported(document);
  ASSERT_GT(imported.PageCount(), 0);
  const std::vector<TDrawnRest> expected = {
      {"O"}, {"O"}, {"O"}, {"M"}, {"N"}, {"N"},  // measure 1
      {"whole"},                                 // 2
      {"half", 1},                               // 3
      {"M", 2},                                  // 4
      {"P"}, {"O"}, {"N"}, {"M"}};               // 5
  EXPECT_EQ(DrawnRests(imported), expected);
}

// A pickup's rest as long as the pickup keeps its own value; a rest that
// fills a 2/4 measure is a whole rest although its value is a half's; a
// half rest in 4/4 is a half rest.
TEST(ImportedRests, WholeMeasureRestsInAnyMeterButNotThePickups) {
  const std::string document = PartwiseDocument({
      Measure(0, Attributes(2, Time(2, 4)) + "<note><rest/><duration>2</duration><voice>1</voice></note>") +
      Measure(1, "<note><rest measure=\"yes\"/><duration>4</duration><voice>1</voice></note>") +
      Measure(2, "<attributes>" + Time(4, 4) + "</attributes>" + Rest(4, "half") + Note(4, "half")),
  });
  TImportedScore imported(document);
  ASSERT_GT(imported.PageCount(), 0);
  EXPECT_EQ(DrawnRests(imported), (std::vector<TDrawnRest>{{"M"}, {"whole"}, {"half"}}));
}

// Types the import's table does not know ("1024th", "breve", none at all,
// an empty one) and durations beyond a measure: each rest that stays draws
// one shape. A rest with neither type nor duration is dropped by the
// import, one that starts past its measure's end by the layout.
TEST(ImportedRests, DamagedTypesAndDurationsDrawOneShapeEach) {
  const std::string document = PartwiseDocument({
      Measure(1, Attributes(4, Time(4, 4)) + Rest(1, "1024th") + Rest(5, "") + Rest(16, "breve") + Rest(3, " ") +
                     "<note><rest/><voice>1</voice></note>") +
      Measure(2, Rest(999999, "") + Rest(0, "quarter")),
  });
  TImportedScore imported(document);
  ASSERT_GT(imported.PageCount(), 0);
  const std::vector<TDrawnRest> rests = DrawnRests(imported);
  EXPECT_GE(rests.size(), 4u);
  for (const TDrawnRest& rest : rests) {
    EXPECT_TRUE(rest.Shape.size() == 1 || rest.Shape == "whole" || rest.Shape == "half") << rest;
    EXPECT_EQ(rest.Dots, 0);
  }
}

}  // namespace
