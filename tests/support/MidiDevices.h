#pragma once
// A recording sink put into the MIDI device list for the length of a test.

#include <memory>
#include <string>

#include "platform/midi/MidiOut.h"
#include "platform/midi/RecordingSink.h"

namespace miditest {

class TScopedSink {
public:
  explicit TScopedSink(const std::string& name = "Recording sink")
      : Sink(std::make_shared<midi::TRecordingSink>(name)), Id(midi::AddDevice(Sink)) {}
  ~TScopedSink() { midi::RemoveDevice(Sink); }
  TScopedSink(const TScopedSink&) = delete;
  TScopedSink& operator=(const TScopedSink&) = delete;

  const std::shared_ptr<midi::TRecordingSink> Sink;
  const int Id;
};

}  // namespace miditest
