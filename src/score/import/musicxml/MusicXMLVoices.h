#pragma once
// How MusicXML staff and voice numbers become the staves and voices of a
// part, and how a note finds the tuplet that covers it. The walk uses both
// while it reads notes; the finishing pass uses them again when it maps every
// item to its real staff and voice.

#include <cstdint>

class TKVMark;
class TKVMeasure;
class TKVPart;
class TKVStaff;
class TKVVoice;

struct TKVXMLVoice {
  uint8_t VoiceByte = 0;  // staff index in the high nibble, voice index in the staff in the low nibble
  TKVStaff* Staff = nullptr;
  TKVVoice* Voice = nullptr;
};

// `MapVoice`: Code is a MusicXML staff/voice byte ((staff - 1) shl 4 or
// (voice - 1)). Makes the staves up to the code's staff. While importing, a
// voice's Number holds its MusicXML voice number - 1, and that number names
// one voice of the whole part: it is made on the staff of its first note, and
// when it turns up on another staff it becomes a cross-staff voice of that
// staff. The part does not renumber its voices meanwhile.
TKVXMLVoice MapXMLVoice(TKVPart& Part, uint8_t Code);

// `FindTuplet`: the first tuplet mark (kind 85) of the measure with voice byte
// VoiceByte whose span [position, position + TupletScale(count, unit)) holds
// Tick; nil when none does.
TKVMark* FindXMLTuplet(const TKVMeasure& Measure, uint8_t VoiceByte, int32_t Tick);
