#pragma once
// The journal of a take being recorded: a PCM RIFF WAVE file of one fixed
// layout ("RIFF", "WAVE", a 16-byte "fmt ", then "data" at byte 36 and the
// frames from byte 44) that grows as the frames arrive, its sizes brought up
// to date after each write. A process that dies while recording leaves a
// file that readers open as a take up to the last write; its sizes may lag
// one write behind and its end may cut a frame, which recovery makes right.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/codec/WaveFormat.h"

namespace audio {

constexpr size_t TakeJournalHeaderBytes = 44;

// The header of a journal of frames in Format holding DataBytes of them.
std::vector<uint8_t> TakeJournalHeader(const codec::TWaveFormat& format, uint64_t dataBytes);
// Writes the sizes for DataBytes of frames into the open journal File
// (its header only); false when the write fails.
bool WriteTakeJournalSizes(int file, uint64_t dataBytes);
// Makes the open journal File a complete take of DataBytes (sizes right,
// the odd byte padded, nothing beyond) and puts it on disk.
bool CompleteTakeJournal(int file, uint64_t dataBytes);

enum class TJournalState {
  jsNone,       // there is no journal
  jsRecovered,  // it became the take at the destination
  jsEmpty,      // it held no whole frame and was removed
  jsNotATake,   // not a journal this program wrote (another format, another kind of file): left as it is
  jsFailed,     // a journal that could not be made a take (no rights, a full disk): left as it is
  jsInUse,      // another process is recording into it (it holds the journal's lock): left to it
};

struct TJournalRecovery {
  TJournalState State = TJournalState::jsNone;
  uint64_t Frames = 0;  // the frames of the recovered take
};

// Makes the journal Journal, left by a process that died while recording,
// the complete take Dest (replacing a file there) with its whole frames.
TJournalRecovery RecoverTakeJournal(const std::string& journal, const std::string& dest);

}  // namespace audio
