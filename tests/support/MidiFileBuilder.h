#pragma once
// Builds Standard MIDI Files byte by byte for the import tests: header, tracks
// with delta times, channel messages (in running status on request), meta
// events, SysEx, raw bytes for damaged files, lying chunk lengths and the
// RIFF RMID wrapper.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

// Appends Value as a variable-length quantity (7 bits a byte, high bit = more).
void AppendVarLen(TBytes& out, uint32_t value);
void AppendU32BE(TBytes& out, uint32_t value);

class TMidiTrackBuilder {
public:
  // With running status on, a channel message whose status equals the last
  // one written is written without its status byte.
  TMidiTrackBuilder& RunningStatus(bool on);

  TMidiTrackBuilder& NoteOn(uint32_t delta, int channel, int key, int velocity);
  TMidiTrackBuilder& NoteOff(uint32_t delta, int channel, int key, int velocity = 64);
  TMidiTrackBuilder& Controller(uint32_t delta, int channel, int controller, int value);
  TMidiTrackBuilder& Program(uint32_t delta, int channel, int program);
  TMidiTrackBuilder& PolyPressure(uint32_t delta, int channel, int key, int value);
  TMidiTrackBuilder& ChannelPressure(uint32_t delta, int channel, int value);
  TMidiTrackBuilder& PitchBend(uint32_t delta, int channel, int value14);

  TMidiTrackBuilder& Meta(uint32_t delta, uint8_t type, const TBytes& data);
  TMidiTrackBuilder& Text(uint32_t delta, uint8_t type, const std::string& text);
  TMidiTrackBuilder& Tempo(uint32_t delta, uint32_t microsecondsPerQuarter);
  TMidiTrackBuilder& TimeSignature(uint32_t delta, int numerator, int denominatorPower);
  TMidiTrackBuilder& KeySignature(uint32_t delta, int sharps, int minor = 0);
  // A SysEx event: status ($F0, or $F7 for an escape), length, payload.
  TMidiTrackBuilder& SysEx(uint32_t delta, const TBytes& payload, uint8_t status = 0xF0);
  TMidiTrackBuilder& EndOfTrack(uint32_t delta = 0);

  // A delta time alone, or bytes as they stand: for hand-made or broken events.
  TMidiTrackBuilder& Delta(uint32_t delta);
  TMidiTrackBuilder& Raw(const TBytes& bytes);

  // The length the chunk header states, when it should not be the true one.
  TMidiTrackBuilder& DeclaredLength(uint32_t length);

  const TBytes& Body() const { return FBody; }
  std::optional<uint32_t> Declared() const { return FDeclared; }

private:
  TMidiTrackBuilder& Channel(uint32_t delta, int status, std::initializer_list<int> data);

  TBytes FBody;
  bool FRunning = false;
  int FLastStatus = -1;
  std::optional<uint32_t> FDeclared;
};

class TMidiFileBuilder {
public:
  explicit TMidiFileBuilder(int format = 1, uint16_t division = 96);

  // Chunks follow the header in the order they are added.
  TMidiTrackBuilder& AddTrack();
  TMidiFileBuilder& AddChunk(const std::string& id, const TBytes& body);
  // Overrides the track count the header states.
  TMidiFileBuilder& TrackCount(uint16_t count);

  TBytes Bytes() const;

  // A RIFF form of type RMID whose chunks are an "INFO" list and a "data"
  // chunk holding Smf (the list comes first when InfoFirst).
  static TBytes WrapRmid(const TBytes& smf, bool infoFirst = true);

private:
  struct TChunk {
    std::string Id;
    TBytes Body;
    std::unique_ptr<TMidiTrackBuilder> Track;
  };
  int FFormat;
  uint16_t FDivision;
  std::optional<uint16_t> FTrackCount;
  std::vector<TChunk> FChunks;
};
