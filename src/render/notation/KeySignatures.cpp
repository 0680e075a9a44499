// Key signatures: sharps and flats in the order of the circle of fifths, a
// key of its own with accidentals at given steps, and the naturals that
// cancel what the key before altered and the new key does not.

#include <algorithm>

#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/Mark.h"
#include "score/model/ScoreRoutines.h"

namespace render {

namespace {

constexpr uint8_t kFreeKey = 20;

// The accidentals of a standard key in the order they are added: the scale
// step they alter (0 = C) and their height below the base line in half
// spaces, for the sharp keys and the flat keys.
struct TKeyPlace {
  int8_t Step;
  int8_t HalfSpaces;
};
constexpr TKeyPlace kSharps[7] = {{3, 0}, {0, 3}, {4, -1}, {1, 2}, {5, 5}, {2, 1}, {6, 4}};
constexpr TKeyPlace kFlats[7] = {{6, 4}, {2, 1}, {5, 5}, {1, 2}, {4, 6}, {0, 3}, {3, 7}};

// How many accidentals a standard key shows: keys 1 to 9 that many sharps
// (at most seven), keys from 10 on (other than a key of its own) flats: one
// for 10 and 11, then one more per step up to seven.
int Count(uint8_t Key) { return Key < 10 ? std::min<int>(Key, 7) : std::clamp(Key - 10, 1, 7); }

// The height of an offset in half spaces, whole spaces taken first so that
// a staff of odd spacing places its accidentals on the drawn lines.
int64_t Offset(int HalfSpaces, int32_t Spacing) {
  return int64_t(HalfSpaces / 2) * Spacing + (HalfSpaces % 2) * (Spacing / 2);
}

// The entries of a key of its own: octave, step and stored code.
struct TFreeEntry {
  int32_t Octave, Step;
  uint8_t Code;
};
TFreeEntry FreeEntry(const TKVMark& Key, int I) {
  const uint16_t word = Key.ExtraWord(I);
  return {word >> 12, (word >> 8) & 0x0F, uint8_t(word)};
}

// A percussion clef (types 14 and 15) in force on the record's staff.
bool UnderPercussionClef(const TKVMeasureRecord* Measure, const TKVStaff& Staff) {
  if (!Measure || !Staff.Part()) return false;
  const auto& parts = Measure->PartRecords;
  const size_t part = size_t(Staff.Part()->Index()), staff = size_t(Staff.Index());
  if (part >= parts.size() || !parts[part] || staff >= parts[part]->StaffRecords.size()) return false;
  const TKVStaffLayoutRecord* record = parts[part]->StaffRecords[staff].get();
  if (!record || record->ClefList.empty() || !record->ClefList.front()) return false;
  const auto* clef = dynamic_cast<const TKVMark*>(record->ClefList.front()->Item);
  return clef && (clef->Variant() == 14 || clef->Variant() == 15);
}

}  // namespace

void TKVPageDrawer::DrawKeySignature(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  const TKVStaffLineRecord* line = ShownLine(record);
  if (!line || UnderPercussionClef(CurrentMeasure, *line->Staff)) return;
  const int32_t sp = LineSpacing = line->DrawnLineSpacing;
  PlaceItemRect(record.Bounds, false);
  const canvas::TRect& r = ItemRect;
  Canvas.Font.Color = RuleColor(OnCursorStaff(record) && OnCursorPart(record) && OnCursorPiece(record), Mark.Color());
  Canvas.Brush.Style = canvas::bsClear;
  SetSymbolFontSize18();
  const int32_t u5 = ItemUnit(5);
  const int64_t base = int64_t(r.Top) + ItemUnit(7) + ItemUnit(8);
  const canvas::TFont font = Canvas.Font;
  // Chooses the glyph and its font; returns its offsets.
  auto choose = [&](uint8_t Code) {
    Canvas.Font = font;
    GlyphChar = Code;
    SelectSymbolFont(Mark.FontIndex());
    return canvas::TPoint{GlyphDX, GlyphDY};
  };
  auto write = [&](int64_t X, int64_t Y) { TextOutGlyph(ClampCoordinate(X), ClampCoordinate(Y)); };
  // The height of a free entry, in half spaces above the base line's
  // fifth space; steps count from C of octave 5.
  auto freeY = [&](const TFreeEntry& e) { return base + 5 * int64_t(sp) - ((e.Octave - 5) * 7 + e.Step) * int64_t(sp) / 2; };
  const uint8_t key = Mark.Variant();

  if (!record.Links.empty()) {
    // The naturals of the key before, on the steps this key leaves alone.
    const auto* previous = record.Links.front() ? dynamic_cast<const TKVMark*>(record.Links.front()->Item) : nullptr;
    const uint8_t old = previous ? previous->Variant() : 0;
    const canvas::TPoint g = choose(glyph::Natural);
    int64_t x = int64_t(r.Left) + g.X;
    auto keeps = [&](int32_t Step) { return !KeySignatureAlters(Step, key, &Mark.Extra()); };
    if (old == kFreeKey) {
      for (int i = 0; i < 7; ++i) {
        const TFreeEntry e = FreeEntry(*previous, i);
        if (e.Code == 0 || e.Code == 5 || !keeps(e.Step)) continue;
        write(x, freeY(e) + g.Y);
        x += u5;
      }
    } else if (old != 0) {
      const TKeyPlace* places = old < 10 ? kSharps : kFlats;
      for (int n = 0; n < Count(old); ++n) {
        if (!keeps(places[n].Step)) continue;
        write(x, base + g.Y + Offset(places[n].HalfSpaces, sp));
        x += u5;
      }
    }
  } else if (key == kFreeKey) {
    // Each accidental of a key of its own after the one before, by its own
    // width; an entry without a glyph takes no room.
    int64_t x = 0;
    for (int i = 0; i < 7; ++i) {
      const TFreeEntry e = FreeEntry(Mark, i);
      const uint8_t code = glyph::FreeKeyGlyph(e.Code);
      if (code == 0) continue;
      choose(code);
      write(r.Left + x, freeY(e));
      x += GlyphWidth() + UnitWidth(1);
    }
  } else {
    // A key of none shows the naturals of the key it cancels; nothing when
    // that is none too.
    const uint8_t shown = key == 0 ? Mark.CancelledKey : key;
    if (shown != 0) {
      const canvas::TPoint g = choose(key == 0 ? glyph::Natural : key < 10 ? glyph::Sharp : glyph::Flat);
      const TKeyPlace* places = shown < 10 ? kSharps : kFlats;
      for (int n = 0; n < Count(shown); ++n)
        write(int64_t(r.Left) + int64_t(n) * u5, base + g.Y + Offset(places[n].HalfSpaces, sp));
    }
  }
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
