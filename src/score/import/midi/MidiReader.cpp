#include "score/import/midi/MidiReader.h"

#include <algorithm>
#include <cstring>

#include "base/Strings.h"
#include "score/import/text/AnsiText.h"
#include "score/import/ImportErrors.h"
#include "score/import/midi/MidiRiff.h"
#include "score/import/midi/MidiSpelling.h"

namespace {

// Raised inside a track when an event runs past the chunk's end: the track
// ends there.
struct TTrackCut {};

constexpr size_t MaxLyricLength = 1000;

enum : uint8_t {
  mtText = 1, mtCopyright = 2, mtTrackName = 3, mtInstrumentName = 4, mtLyric = 5, mtMarker = 6,
  mtCuePoint = 7, mtTempo = 0x51, mtTimeSignature = 0x58, mtKeySignature = 0x59,
};

}  // namespace

TKVMidiImportState ReadMidiFile(TStream& stream, const TKVMidiDrumMap* drumMap) {
  return TKVMidiReader(drumMap).Read(stream);
}

TKVMidiImportState TKVMidiReader::Read(TStream& stream) {
  if (IsRiffStream(stream)) {
    TMemoryStream body;
    if (!UnwrapRmid(stream, body)) throw EImportError(SNotMidiFile);
    ReadChunks(body);
  } else {
    ReadChunks(stream);
  }
  return std::move(FState);
}

// The header chunk has to come first: a file whose first chunk is anything
// else is not taken for a MIDI file.
void TKVMidiReader::ReadChunks(TStream& stream) {
  bool first = true;
  while (stream.GetPosition() < stream.GetSize()) {
    if (!ReadChunkHeader(stream)) break;  // fewer than 8 bytes of trailing data
    if (first && FChunkKind != ckHeader) throw EImportError(SNotMidiFile);
    first = false;
    ReadChunkData(stream);
    if (FChunkKind == ckHeader)
      ReadHeaderChunk();
    else if (FChunkKind == ckTrack)
      ReadTrack();
  }
  if (first) throw EImportError(SNotMidiFile);
  FChunk.clear();
  FState.EndedByTrack = FPairing.Pair(FState.Parts);
}

bool TKVMidiReader::ReadChunkHeader(TStream& stream) {
  uint8_t h[8];
  if (stream.Read(h, 8) != 8) return false;
  if (std::memcmp(h, "MThd", 4) == 0)
    FChunkKind = ckHeader;
  else if (std::memcmp(h, "MTrk", 4) == 0)
    FChunkKind = ckTrack;
  else
    FChunkKind = ckOther;
  FChunkLength = uint64_t(h[4]) << 24 | uint32_t(h[5]) << 16 | uint32_t(h[6]) << 8 | h[7];
  return true;
}

// A length beyond the end of the file is cut to what the file holds: the
// chunk is read as far as it goes.
void TKVMidiReader::ReadChunkData(TStream& stream) {
  int64_t available = std::max<int64_t>(0, stream.Remaining());
  int64_t length = std::min<int64_t>(int64_t(FChunkLength), available);
  if (length < int64_t(FChunkLength)) FState.CutShort = true;
  FChunk.clear();
  FPos = 0;
  if (FChunkKind == ckOther) {
    stream.Seek(length, TSeekOrigin::soCurrent);
    return;
  }
  FChunk = stream.ReadBytes(length);
}

void TKVMidiReader::ReadHeaderChunk() {
  if (FChunk.size() < 6) throw EImportError(SMidiHeaderDamaged);
  if (FChunk[1] <= 2) FState.Format = FChunk[1];
  FState.TrackCount = uint16_t(FChunk[2] << 8 | FChunk[3]);
  uint16_t division = uint16_t(FChunk[4] << 8 | FChunk[5]);
  if (division == 0) throw EImportError(SMidiHeaderDamaged);
  FState.Division = division;
  FSmpte = (division & 0x8000) != 0;
  if (!FSmpte) {
    FTicksPerQuarter = division;
  } else {
    // Frames per second (negative in the high byte) and ticks per frame. Such
    // files carry no tempo of their own: a quarter note is half a second.
    int fps = -int(int8_t(division >> 8));
    int ticksPerFrame = division & 0xFF;
    if (fps <= 0 || ticksPerFrame == 0) throw EImportError(SMidiHeaderDamaged);
    FTicksPerQuarter = (fps == 29 ? 29.97 : fps) * ticksPerFrame / 2.0;
    if (FState.ScoreMarks.empty()) {
      FEventTime = 0;
      NewRecord(FState.ScoreMarks).Item = TKVImportTempo{SmpteTempo};
    }
  }
}

uint8_t TKVMidiReader::ReadByte() {
  if (FPos >= FChunk.size()) throw TTrackCut();
  return FChunk[FPos++];
}

// No limit on the number of bytes, as documented; the value saturates
// instead of wrapping, so that a run of continuation bytes reads as a huge
// number (which ends the track) rather than as a small one.
uint32_t TKVMidiReader::ReadVarLen() {
  uint64_t value = 0;
  uint8_t b;
  do {
    b = ReadByte();
    value = std::min<uint64_t>((value << 7) | (b & 0x7F), UINT32_MAX);
  } while (b & 0x80);
  return uint32_t(value);
}

// The next Length bytes; a zero byte ends the text early.
std::string TKVMidiReader::ReadText(uint32_t length) {
  if (length > FChunk.size() - FPos) throw TTrackCut();
  const char* start = reinterpret_cast<const char*>(FChunk.data() + FPos);
  FPos += length;
  return std::string(start, strnlen(start, length));
}

bool TKVMidiReader::ReadDataBytes(uint8_t* out, int count) {
  for (int i = 0; i < count; ++i) {
    if (FPos >= FChunk.size()) throw TTrackCut();
    if (FChunk[FPos] & 0x80) return false;
    out[i] = FChunk[FPos++];
  }
  return true;
}

bool TKVMidiReader::AdvanceTime(uint32_t delta) {
  if (delta > MaxDeltaTime) return false;
  FAbsoluteTime += delta;
  // The small addend makes exact halves round up.
  int64_t time = Round(double(FAbsoluteTime) * 128.0 / FTicksPerQuarter + 0.000001);
  if (time > int64_t(MaxEventTime)) return false;
  FEventTime = uint32_t(time);
  return true;
}

void TKVMidiReader::ReadTrack() {
  FAbsoluteTime = 0;
  FEventTime = 0;
  FRunningStatus = 0;
  FChannel = 0;
  FCurrent = NoPart;
  FHyphen = false;
  try {
    // After a system message cut short by a status byte, that byte starts
    // the next event at the same time.
    bool statusPending = false;
    while (FPos < FChunk.size()) {
      if (!statusPending && !AdvanceTime(ReadVarLen())) break;
      statusPending = false;
      uint8_t b = ReadByte();
      if (b == 0xFF) {
        ReadMetaEvent();
      } else if (b >= 0xF0) {
        statusPending = !ReadSystemMessage(b);
      } else {
        if (b >= 0x80) {
          FRunningStatus = b;
        } else {
          // A data byte: the first of a message in running status, or, with
          // no status in force, the next delta time.
          --FPos;
          if (FRunningStatus == 0) continue;
        }
        ReadChannelMessage();
      }
    }
  } catch (const TTrackCut&) {
    // The event cut off by the chunk's end is dropped; the track ends here.
  }
  FPairing.TrackEnd(FTrack++, FEventTime);
  FState.EndTime = std::max(FState.EndTime, FEventTime);
}

void TKVMidiReader::ReadMetaEvent() {
  uint8_t type = ReadByte();
  uint32_t length = ReadVarLen();
  const uint8_t* data = FChunk.data() + FPos;
  std::string text = ReadText(length);
  switch (type) {
    case mtText:
    case mtLyric:
    case mtMarker:
    case mtCuePoint:
      ApplyLyricRule(type, text);
      break;
    case mtCopyright:
      FState.ThirdHeaderString += AnsiToUtf8(text);
      break;
    case mtTrackName:
    case mtInstrumentName:
      EnsurePart()->Name = AnsiToUtf8(text);
      break;
    // Events too short for their fields are ignored.
    case mtTempo:
      if (length >= 3 && !FSmpte) AddTempo(uint32_t(data[0]) << 16 | uint32_t(data[1]) << 8 | data[2]);
      break;
    case mtTimeSignature:
      // A denominator power above 7 does not fit the meter word.
      if (length >= 2 && data[1] <= 7) AddMeterChange(data[0], 1u << data[1]);
      break;
    case mtKeySignature:
      if (length >= 2) AddKeySignature(int8_t(data[0]), data[1]);
      break;
    default:
      FRunningStatus = 0;
      break;
  }
}

// System-exclusive data is skipped by its length; the system common messages
// take their data bytes. None of them touches the channel running status.
bool TKVMidiReader::ReadSystemMessage(uint8_t status) {
  uint8_t data[2];
  switch (status) {
    case 0xF0:
    case 0xF7: {
      uint32_t length = ReadVarLen();
      if (length > FChunk.size() - FPos) throw TTrackCut();
      FPos += length;
      return true;
    }
    case 0xF1:
    case 0xF3:
      return ReadDataBytes(data, 1);
    case 0xF2:
      return ReadDataBytes(data, 2);
    default:
      return true;
  }
}

void TKVMidiReader::ReadChannelMessage() {
  const uint8_t status = FRunningStatus;
  const uint8_t channel = status & 0x0F;
  uint8_t data[2] = {0, 0};
  const int count = (status >> 4) == 0xC || (status >> 4) == 0xD ? 1 : 2;
  // The message's length says where the next one starts: a data byte with
  // its top bit set (some writers put one in a note-off's velocity) is read
  // without that bit, and counted, never taken for a status byte, so that
  // the rest of the track stays in step.
  for (int i = 0; i < count; ++i) {
    data[i] = ReadByte();
    if (data[i] & 0x80) {
      data[i] &= 0x7F;
      ++FState.HighVelocities;
    }
  }
  FChannel = channel;
  switch (status >> 4) {
    case 0x8:
      NoteOff(channel, data[0]);
      break;
    case 0x9:
      NoteOn(channel, data[0], data[1]);
      break;
    case 0xB:
      // Volume and pan go to the track's part; in a single-track file, whose
      // channels are its parts, to the part of their own channel.
      if (data[0] == 7 || data[0] == 10) {
        TKVMidiImportPart* part = FState.Format == 0 ? PartOfChannel(channel) : EnsurePart();
        (data[0] == 7 ? part->Volume : part->Pan) = data[1];
      } else {
        uint8_t bytes[3] = {status, data[0], data[1]};
        AddMIDIEventRecord(bytes, 3);
      }
      break;
    case 0xC:
      ProgramChange(channel, data[0]);
      break;
    default: {  // $An polyphonic pressure, $Dn channel pressure, $En pitch bend
      uint8_t bytes[3] = {status, data[0], data[1]};
      AddMIDIEventRecord(bytes, count + 1);
      break;
    }
  }
}

void TKVMidiReader::NoteOff(uint8_t channel, uint8_t key) {
  FPairing.NoteOff(FTrack, FindPartByChannel(channel), FEventTime, channel, key);
}

TKVMidiImportPart* TKVMidiReader::PartOfChannel(uint8_t channel) {
  TKVMidiImportPart* part = FindPartByChannel(channel);
  return part ? part : Part(NewPart(channel));
}

void TKVMidiReader::NoteOn(uint8_t channel, uint8_t key, uint8_t velocity) {
  TKVMidiImportPart* part = PartOfChannel(channel);
  TKVMidiSpelling s = SpellMidiNote(channel, key, FDrumMap);
  if ((s.Octave - 5) * 7 + s.Step - 1 < 0) part->LowNote = 1;
  // A note-on of velocity 0 is a note-off; which notes end where is decided
  // once every track has been read (TKVMidiNotePairing).
  if (velocity == 0) {
    FPairing.NoteOff(FTrack, part, FEventTime, channel, key);
    return;
  }
  part->Sounded = true;
  TKVImportEvent& note = NewRecord(part->OpenNotes);
  note.Key = key;
  note.Velocity = velocity;
  note.Item = TKVImportNote{uint8_t(s.Octave << 4 | s.Step), s.Symbol, s.Accidental, key};
  FPairing.NoteOn(FTrack, *part, note, channel);
}

// The first program change of a track starts a new part unless the track's
// part has no channel yet. A part plays the program in force at its first
// note; a change after that is kept as a MIDI event at its time.
void TKVMidiReader::ProgramChange(uint8_t channel, uint8_t program) {
  if (FCurrent != NoPart) {
    if (Part(FCurrent)->Channel == TKVMidiImportPart::NoChannel)
      SetChannel(FCurrent, channel);
    else if (Part(FCurrent)->Channel != channel)
      FCurrent = FFirstOfChannel[channel];
  }
  if (FCurrent == NoPart) FCurrent = NewPart(channel);
  TKVMidiImportPart* part = Part(FCurrent);
  if (!part->Sounded) {
    part->Program = program;
    return;
  }
  const uint8_t bytes[2] = {uint8_t(0xC0 | channel), program};
  AddMIDIEventRecord(bytes, 2);
}

// Text, lyric, marker and cue-point events become lyrics of the channel-0
// part, with the karaoke conventions: "@" header lines are dropped, "/" begins
// a new line, a trailing "-" joins the next syllable.
void TKVMidiReader::ApplyLyricRule(uint8_t type, const std::string& raw) {
  if (raw.empty() || raw[0] == '@') return;
  TKVImportLyric lyric;
  lyric.Kind = type == mtText || type == mtLyric ? ItemKind::Syllable : ItemKind::LyricText;
  std::string text = Trim(AnsiToUtf8(raw));
  if (!text.empty() && text[0] == '/') {
    text = Utf8Left(std::string_view(text).substr(1), MaxLyricLength);
    lyric.Style |= 2;
  }
  if (FHyphen) lyric.Style |= 1;
  if (!text.empty()) {
    FHyphen = text.back() == '-';
    if (FHyphen) text.pop_back();
  }
  lyric.Text = Utf8ToUtf16(text);
  FChannel = 0;
  TKVMidiImportPart* part = FindPartByChannel(0);
  if (!part) part = Part(NewPart(0));
  NewRecord(part->Events).Item = std::move(lyric);
}

// A count of 0 makes no mark, as documented; counts beyond seven sharps or
// flats name no key and are ignored.
void TKVMidiReader::AddKeySignature(int8_t count, uint8_t mode) {
  if (count == 0 || count < -7 || count > 7) return;
  TKVMidiImportPart* part = FindPartByChannel(FChannel);
  if (!part) part = Part(NewPart(FChannel));
  uint8_t key = count > 0 ? uint8_t(count) : uint8_t(10 - count);
  NewRecord(part->Events).Item = TKVImportKeySignature{key, mode};
}

// Beats per minute rounded to the nearest: writers store 90 BPM as 666,667 µs.
// A tempo of 0 µs is skipped.
void TKVMidiReader::AddTempo(uint32_t microseconds) {
  if (microseconds == 0) return;
  int64_t bpm = std::min<int64_t>(Round(60000000.0 / microseconds), UINT16_MAX);
  NewRecord(FState.ScoreMarks).Item = TKVImportTempo{uint16_t(bpm)};
}

// A time signature takes effect at the first bar line at or after the event;
// the map is filled up to there with the meter in force. A meter of 0 beats,
// and one whose measure would not fit the 16-bit measure length (128/1 and
// longer), is skipped.
void TKVMidiReader::AddMeterChange(uint8_t numerator, unsigned denominator) {
  if (numerator == 0 || denominator == 0 || denominator > 255) return;
  auto lengthOf = [](uint16_t word) { return (word >> 8) * 512u / (word & 0xFF); };
  if (lengthOf(uint16_t(numerator << 8 | denominator)) > UINT16_MAX) return;
  std::vector<uint16_t>& map = FState.MeterMap;
  size_t m = 0;
  uint64_t sum = 0;
  uint16_t last = map[0];
  if (FEventTime > 0) {
    do {
      if (m < map.size())
        last = map[m];
      else
        map.push_back(last);
      sum += lengthOf(map[m]);
      ++m;
    } while (sum < FEventTime);
  }
  uint16_t word = uint16_t(numerator << 8 | denominator);
  if (m < map.size())
    map[m] = word;
  else
    map.push_back(word);
}

void TKVMidiReader::AddMIDIEventRecord(const uint8_t* bytes, int count) {
  NewRecord(FState.MIDIEvents).Item = TKVImportMIDIEvent{std::vector<uint8_t>(bytes, bytes + count)};
}

TKVMidiImportPart* TKVMidiReader::Part(size_t index) {
  return index < FState.Parts.size() ? FState.Parts[index].get() : nullptr;
}

TKVMidiImportPart* TKVMidiReader::EnsurePart() {
  if (FCurrent == NoPart) FCurrent = NewPart(TKVMidiImportPart::NoChannel);
  return Part(FCurrent);
}

size_t TKVMidiReader::NewPart(uint8_t channel) {
  FState.Parts.push_back(std::make_unique<TKVMidiImportPart>());
  SetChannel(FState.Parts.size() - 1, channel);
  return FState.Parts.size() - 1;
}

// Keeps the first part of each channel at hand, so that finding it does not
// walk every part of a file with thousands of tracks.
void TKVMidiReader::SetChannel(size_t index, uint8_t channel) {
  FState.Parts[index]->Channel = channel;
  if (channel < FFirstOfChannel.size() && index < FFirstOfChannel[channel]) FFirstOfChannel[channel] = index;
}

TKVMidiImportPart* TKVMidiReader::FindPartByChannel(uint8_t channel) {
  if (TKVMidiImportPart* current = Part(FCurrent)) {
    if (current->Channel == TKVMidiImportPart::NoChannel) SetChannel(FCurrent, channel);
    if (current->Channel == channel) return current;
  }
  return Part(FFirstOfChannel[channel & 0x0F]);
}

TKVImportEvent& TKVMidiReader::NewRecord(TKVImportEventList& list) {
  list.push_back(std::make_unique<TKVImportEvent>());
  list.back()->Time = FEventTime;
  list.back()->Order = FPairing.NextOrder();
  return *list.back();
}
