#pragma once
// Types and small conversions that every part of the score engine shares:
// time in ticks, the pitch byte of a note, the meter word, the key byte, the
// staff/voice byte of an item, and the contract types between the player and
// its host.

#include <cstdint>
#include <functional>

#include "base/Object.h"

// Time: 128 ticks per quarter note, 512 per whole note.
constexpr int32_t TicksPerQuarter = 128;
constexpr int32_t TicksPerWhole = 512;

// Velocities run from 0 to 127; 64 is the neutral level.
constexpr uint8_t NeutralVelocity = 64;

// Zoom of a score view, in percent.
constexpr int32_t MinZoom = 25;
constexpr int32_t MaxZoom = 975;

// Pitch byte: octave in the high nibble, diatonic step (0 = C .. 6 = B) in the
// low nibble. Middle C (MIDI key 60) is octave 5, step 0.
constexpr int32_t MiddleLine = 40;  // line of the staff's middle once the clef offset is off

inline int32_t PitchStep(uint8_t pitch) { return pitch & 0x0F; }
inline int32_t PitchOctave(uint8_t pitch) { return pitch >> 4; }
inline uint8_t MakePitch(int32_t octave, int32_t step) { return uint8_t(((octave & 0x0F) << 4) | (step & 0x0F)); }
// Line of a pitch: step + 7 x octave.
inline int32_t PitchLine(uint8_t pitch) { return PitchStep(pitch) + 7 * PitchOctave(pitch); }
// Semitone of a diatonic step above C; a step nibble past B (7..15) counts as C.
int32_t StepSemitone(int32_t step);
// MIDI key of a pitch with its alteration and a transposition, kept in 0..127.
int32_t PitchToMidiKey(uint8_t pitch, int32_t alteration, int32_t transposition = 0);

// Meter word: numerator in the high byte, denominator in the low byte
// (0x0404 = 4/4).
inline int32_t MeterNumerator(uint16_t meter) { return meter >> 8; }
inline int32_t MeterDenominator(uint16_t meter) { return meter & 0xFF; }
inline uint16_t MakeMeter(int32_t numerator, int32_t denominator) {
  return uint16_t(((numerator & 0xFF) << 8) | (denominator & 0xFF));
}
// Length in ticks: (numerator shl 9) div denominator. A zero numerator or
// denominator (a damaged file) counts as 4/4 rather than dividing by zero.
int32_t MeterLength(uint16_t meter);

// Key signature byte: 0 none, 1..7 sharps, 10 + n for n flats, 20 a key with
// its own list of alterations.
constexpr uint8_t KeyNone = 0;
constexpr uint8_t KeyFlatBase = 10;
constexpr uint8_t KeyCustom = 20;
inline bool KeyHasSharps(uint8_t key) { return key >= 1 && key <= 7; }
inline bool KeyHasFlats(uint8_t key) { return key >= 11 && key <= 17; }
inline int32_t KeySharpCount(uint8_t key) { return KeyHasSharps(key) ? key : 0; }
inline int32_t KeyFlatCount(uint8_t key) { return KeyHasFlats(key) ? key - KeyFlatBase : 0; }

// Staff and voice byte of an item: staff index in the high nibble, voice
// index within the staff in the low nibble.
inline int32_t ItemStaff(uint8_t staffVoice) { return staffVoice >> 4; }
inline int32_t ItemVoice(uint8_t staffVoice) { return staffVoice & 0x0F; }
inline uint8_t MakeStaffVoice(int32_t staff, int32_t voice) {
  return uint8_t(((staff & 0x0F) << 4) | (voice & 0x0F));
}

// Play time: milliseconds per tick for a tempo in quarter notes per minute and
// a tempo scale in percent.
inline double MsPerTick(double tempo, double tempoScale) { return 6000000.0 / tempo / 128.0 / tempoScale; }

// Staff space in layout units: Round(LineSpace x 96 x Scale x size / 2540000)
// x 8, with LineSpace in tenths of a millimetre; the default page gives 48.
int32_t LineStep(long double lineSpace, int32_t scale, int32_t sizePercent = 100);

// How a score view shows and draws a score.
enum TKVWindowStyle : uint8_t { wsNormal, wsPreview, wsPrint, wsView, wsExport, wsRealTime, wsSimple };

// The contract between the player and its host: the player opens no MIDI
// device itself, it hands every message to these events.
using TECOnPlayShortEvent = std::function<void(TObject* Sender, uint8_t MidiMessage, uint8_t Data1,
                                               uint8_t Data2, int32_t AVST, bool AShow)>;
using TECOnPlayLongEvent =
    std::function<void(TObject* Sender, const uint8_t* TheSysex, uint16_t msgLength, int32_t AVST)>;

// Type of the score's add-item, delete-item and item-changed events.
using TKVOnChangeItem = std::function<void(TObject* Sender, TObject* Owner)>;
