#pragma once
// RIFF MIDI files (".rmi"): a RIFF form of type "RMID" whose "data" chunk holds
// a Standard MIDI File.

#include "base/Streams.h"

// True when Stream, at its position, begins with "RIFF".
bool IsRiffStream(TStream& stream);
// Copies the "data" chunk of the RMID form at the stream's position into Out;
// a chunk cut short by the end of the file gives what is there. False when the
// form is not RMID or has no "data" chunk.
bool UnwrapRmid(TStream& stream, TMemoryStream& out);
