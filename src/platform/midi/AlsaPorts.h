#pragma once
// Output ports of the ALSA sequencer (hardware MIDI interfaces, other
// programs' inputs). Each open device is a sequencer client of its own,
// connected to the chosen port; messages go out at once, unscheduled.

#include <memory>
#include <vector>

#include "platform/midi/OutputDevice.h"

namespace midi {

// The ports that take subscriptions, in client and port order, named
// "client:port". Empty, without a message, on a machine without a
// sequencer (no /dev/snd).
std::vector<std::shared_ptr<TOutputDevice>> ListAlsaPorts();

}  // namespace midi
