#include "support/MidiFileBuilder.h"

#include "base/LittleEndian.h"

void AppendVarLen(TBytes& out, uint32_t value) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = value & 0x7F;
    value >>= 7;
  } while (value);
  while (n > 1) out.push_back(groups[--n] | 0x80);
  out.push_back(groups[0]);
}

void AppendU32BE(TBytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

TMidiTrackBuilder& TMidiTrackBuilder::RunningStatus(bool on) {
  FRunning = on;
  return *this;
}

TMidiTrackBuilder& TMidiTrackBuilder::Channel(uint32_t delta, int status, std::initializer_list<int> data) {
  AppendVarLen(FBody, delta);
  if (!FRunning || status != FLastStatus) FBody.push_back(uint8_t(status));
  FLastStatus = status;
  for (int d : data) FBody.push_back(uint8_t(d));
  return *this;
}

TMidiTrackBuilder& TMidiTrackBuilder::NoteOn(uint32_t delta, int channel, int key, int velocity) {
  return Channel(delta, 0x90 | channel, {key, velocity});
}
TMidiTrackBuilder& TMidiTrackBuilder::NoteOff(uint32_t delta, int channel, int key, int velocity) {
  return Channel(delta, 0x80 | channel, {key, velocity});
}
TMidiTrackBuilder& TMidiTrackBuilder::Controller(uint32_t delta, int channel, int controller, int value) {
  return Channel(delta, 0xB0 | channel, {controller, value});
}
TMidiTrackBuilder& TMidiTrackBuilder::Program(uint32_t delta, int channel, int program) {
  return Channel(delta, 0xC0 | channel, {program});
}
TMidiTrackBuilder& TMidiTrackBuilder::PolyPressure(uint32_t delta, int channel, int key, int value) {
  return Channel(delta, 0xA0 | channel, {key, value});
}
TMidiTrackBuilder& TMidiTrackBuilder::ChannelPressure(uint32_t delta, int channel, int value) {
  return Channel(delta, 0xD0 | channel, {value});
}
TMidiTrackBuilder& TMidiTrackBuilder::PitchBend(uint32_t delta, int channel, int value14) {
  return Channel(delta, 0xE0 | channel, {value14 & 0x7F, (value14 >> 7) & 0x7F});
}

TMidiTrackBuilder& TMidiTrackBuilder::Meta(uint32_t delta, uint8_t type, const TBytes& data) {
  AppendVarLen(FBody, delta);
  FBody.push_back(0xFF);
  FBody.push_back(type);
  AppendVarLen(FBody, uint32_t(data.size()));
  FBody.insert(FBody.end(), data.begin(), data.end());
  return *this;
}

TMidiTrackBuilder& TMidiTrackBuilder::Text(uint32_t delta, uint8_t type, const std::string& text) {
  return Meta(delta, type, TBytes(text.begin(), text.end()));
}

TMidiTrackBuilder& TMidiTrackBuilder::Tempo(uint32_t delta, uint32_t us) {
  return Meta(delta, 0x51, {uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

TMidiTrackBuilder& TMidiTrackBuilder::TimeSignature(uint32_t delta, int numerator, int denominatorPower) {
  return Meta(delta, 0x58, {uint8_t(numerator), uint8_t(denominatorPower), 24, 8});
}

TMidiTrackBuilder& TMidiTrackBuilder::KeySignature(uint32_t delta, int sharps, int minor) {
  return Meta(delta, 0x59, {uint8_t(int8_t(sharps)), uint8_t(minor)});
}

TMidiTrackBuilder& TMidiTrackBuilder::SysEx(uint32_t delta, const TBytes& payload, uint8_t status) {
  AppendVarLen(FBody, delta);
  FBody.push_back(status);
  AppendVarLen(FBody, uint32_t(payload.size()));
  FBody.insert(FBody.end(), payload.begin(), payload.end());
  return *this;
}

TMidiTrackBuilder& TMidiTrackBuilder::EndOfTrack(uint32_t delta) { return Meta(delta, 0x2F, {}); }

TMidiTrackBuilder& TMidiTrackBuilder::Delta(uint32_t delta) {
  AppendVarLen(FBody, delta);
  return *this;
}

TMidiTrackBuilder& TMidiTrackBuilder::Raw(const TBytes& bytes) {
  FBody.insert(FBody.end(), bytes.begin(), bytes.end());
  return *this;
}

TMidiTrackBuilder& TMidiTrackBuilder::DeclaredLength(uint32_t length) {
  FDeclared = length;
  return *this;
}

TMidiFileBuilder::TMidiFileBuilder(int format, uint16_t division) : FFormat(format), FDivision(division) {}

TMidiTrackBuilder& TMidiFileBuilder::AddTrack() {
  FChunks.push_back({"MTrk", {}, std::make_unique<TMidiTrackBuilder>()});
  return *FChunks.back().Track;
}

TMidiFileBuilder& TMidiFileBuilder::AddChunk(const std::string& id, const TBytes& body) {
  FChunks.push_back({id, body, nullptr});
  return *this;
}

TMidiFileBuilder& TMidiFileBuilder::TrackCount(uint16_t count) {
  FTrackCount = count;
  return *this;
}

TBytes TMidiFileBuilder::Bytes() const {
  uint16_t tracks = 0;
  for (const TChunk& c : FChunks) tracks += c.Track ? 1 : 0;
  if (FTrackCount) tracks = *FTrackCount;
  TBytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(FFormat), uint8_t(tracks >> 8), uint8_t(tracks),
                uint8_t(FDivision >> 8), uint8_t(FDivision)};
  for (const TChunk& c : FChunks) {
    const TBytes& body = c.Track ? c.Track->Body() : c.Body;
    out.insert(out.end(), c.Id.begin(), c.Id.end());
    AppendU32BE(out, c.Track && c.Track->Declared() ? *c.Track->Declared() : uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

namespace {
void AppendRiffChunk(TBytes& out, const char* id, const TBytes& body) {
  out.insert(out.end(), id, id + 4);
  uint8_t size[4];
  le::store32(size, uint32_t(body.size()));
  out.insert(out.end(), size, size + 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
}
}  // namespace

TBytes TMidiFileBuilder::WrapRmid(const TBytes& smf, bool infoFirst) {
  TBytes info = {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'S', 'o', 0};  // odd: padded
  TBytes form = {'R', 'M', 'I', 'D'};
  if (infoFirst) AppendRiffChunk(form, "LIST", info);
  AppendRiffChunk(form, "data", smf);
  if (!infoFirst) AppendRiffChunk(form, "LIST", info);
  TBytes out;
  AppendRiffChunk(out, "RIFF", form);
  return out;
}
