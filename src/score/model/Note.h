#pragma once
// A note head (kinds 20 and 43): pitch, position, duration and velocity in
// its block, and the items attached to it (marks, ties and slurs, lyrics).
// The fields after the block are filled by the notation rules, the layout
// and the player; they are not stored.

#include <cstdint>
#include <string>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/ItemHolder.h"
#include "score/model/ItemKinds.h"
#include "score/model/ScoreTypes.h"

class TKVVoice;
struct TKVDisplayItem;

class TKVNote : public TKVVoicedItem, public TKVItemHolder {
public:
  explicit TKVNote(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Note; }
  // Frees the attached items and leaves the beam order of its measure.
  ~TKVNote() override;

  // Block, text, then every attached item cloned (items already attached
  // stay).
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }

  uint8_t Pitch() const { return Data().u8(NoteBlock::Pitch); }
  void SetPitch(uint8_t V) { Data().setU8(NoteBlock::Pitch, V); }
  uint16_t Position() const { return Data().u16(NoteBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(NoteBlock::Position, V); }
  uint16_t Value() const { return Data().u16(NoteBlock::Value); }
  void SetValue(uint16_t V) { Data().setU16(NoteBlock::Value, V); }
  uint16_t Duration() const { return Data().u16(NoteBlock::Duration); }
  void SetDuration(uint16_t V) { Data().setU16(NoteBlock::Duration, V); }
  int16_t TimeOffset() const { return Data().i16(NoteBlock::TimeOffset); }
  uint16_t PlayedLength() const { return Data().u16(NoteBlock::PlayedLength); }
  uint8_t Velocity() const { return Data().u8(NoteBlock::Velocity); }
  void SetVelocity(uint8_t V) { Data().setU8(NoteBlock::Velocity, V); }
  uint8_t StaffVoice() const { return Data().u8(NoteBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(NoteBlock::StaffVoice, V); }
  uint8_t StemLength() const { return Data().u8(NoteBlock::StemLength); }
  void SetStemLength(uint8_t V) { Data().setU8(NoteBlock::StemLength, V); }
  uint8_t Flags() const { return Data().u8(NoteBlock::Flags); }
  void SetFlags(uint8_t V) { Data().setU8(NoteBlock::Flags, V); }
  bool Flag(int Bit) const { return Data().bit(NoteBlock::Flags, Bit); }
  void SetFlag(int Bit, bool On) { Data().setBit(NoteBlock::Flags, Bit, On); }
  bool StemDown() const { return Flag(NoteFlag::StemDown); }
  bool NoStem() const { return Flag(NoteFlag::NoStem); }
  bool Small() const { return Flag(NoteFlag::Cue); }
  uint8_t Join() const { return Data().u8(NoteBlock::Join); }
  void SetJoin(uint8_t V) { Data().setU8(NoteBlock::Join, V); }
  // Beamed to the next note of its voice (join bit 0 or 1).
  bool Joined() const { return (Join() & 3) != 0; }
  uint8_t BeamCount() const { return (Join() >> NoteJoin::BeamCountShift) & 7; }
  uint8_t BracketKind() const { return (Join() >> NoteJoin::BracketShift) & 3; }
  uint8_t HeadType() const { return Data().u8(NoteBlock::Symbol); }
  void SetHeadType(uint8_t V) { Data().setU8(NoteBlock::Symbol, V); }
  bool Dotted() const { return (Data().u8(NoteBlock::Dots) & 0x0C) != 0; }
  uint8_t SizePercent() const { return Data().u8(NoteBlock::Size100); }
  int16_t OffsetX() const { return Data().i16(NoteBlock::OffsetX); }
  uint32_t Color() const { return Data().u32(NoteBlock::Color); }
  void SetColor(uint32_t V) { Data().setU32(NoteBlock::Color, V); }
  uint32_t StemColor() const { return Data().u32(NoteBlock::StemColor); }
  void SetStemColor(uint32_t V) { Data().setU32(NoteBlock::StemColor, V); }
  uint8_t FontCode() const { return Data().u8(NoteBlock::FontCode); }
  uint8_t FontStyle() const { return Data().u8(NoteBlock::FontStyle); }
  uint8_t String() const { return Data().u8(NoteBlock::String); }
  void SetString(uint8_t V) { Data().setU8(NoteBlock::String, V); }
  // Tablature fret + 1; 0 = not assigned yet.
  uint8_t Fret() const { return Data().u8(NoteBlock::Fret); }
  void SetFret(uint8_t V) { Data().setU8(NoteBlock::Fret, V); }
  // Diatonic line: step + 7 x octave; a higher note has a larger line.
  int32_t Line() const { return PitchLine(Pitch()); }

  // Run-time fields.
  uint8_t BeamGroup = 0;       // 0 = none
  uint8_t Accidental = 0;      // low six bits semitones, bit 6 flat side, bit 7 replaces
  uint8_t PlayState = 0;       // bit 6 sounding, bit 7 tied from the previous note
  bool Sounding() const { return (PlayState & 0x40) != 0; }
  uint8_t Channel = 0;         // low four bits used
  uint32_t Instrument = 0;     // program, bank low and high bytes with their valid bits
  uint8_t MidiKey = 0;
  uint16_t RemainingTicks = 0;
  TKVVoice* Voice = nullptr;
  int16_t StaffStep = 0;
  uint8_t Tuning = 0;

private:
  std::string FText;
};
