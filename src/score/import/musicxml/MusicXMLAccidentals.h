#pragma once
// Which alterations of an imported part get a sign. The state follows what
// the layout works out a note sounds with, so that every note plays the
// pitch the document gives it: per staff and diatonic line, the key
// signature in force at the bar line, changed by every sign a note carries up
// to the measure's end. A key change sets all seven steps and ends the signs
// before it; grace notes read the state and leave it as it is. Notes go in
// time order.

#include <array>
#include <cstdint>
#include <vector>

// The sign variants of an accidental mark (kind 50).
namespace XMLSign {
constexpr uint8_t Flat = 0, DoubleFlat = 1, Sharp = 2, DoubleSharp = 3, Natural = 4;
}

class TKVXMLAccidentals {
public:
  static constexpr int32_t Lines = 70;  // ten octave rows of seven steps

  // A key signature byte (1 to 9 sharps, 10 + n flats, 20 a key of its own
  // without alterations); every staff starts again from it.
  void SetKey(uint8_t Key);
  // A new measure: every staff back to the key.
  void StartMeasure();
  // Whether a note of alteration Alter on Staff's diatonic Line needs a
  // sign, and its variant: an alteration that differs from the state gets
  // one, a natural included. A note's sign holds for its line to the end of
  // the measure; a grace note's does not. Alterations beyond two semitones
  // have no sign and change nothing. Lines beyond the rows keep the key.
  bool NeedsSign(int32_t Staff, int32_t Line, int32_t Alter, bool Grace, uint8_t& Variant);
  // The same for a tablature staff, which has no key signature and keeps no
  // sign for later notes: every alteration but 0 gets one.
  static bool NeedsTablatureSign(int32_t Alter, uint8_t& Variant);

private:
  using TLines = std::array<int16_t, Lines>;
  TLines& StaffLines(int32_t Staff);

  std::array<int16_t, 7> FKey{};
  std::vector<TLines> FStaves;
};
