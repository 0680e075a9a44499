#pragma once
// The reader of the two older generations of the own score file (first byte
// F5 or FA hex), which the current reader hands such files to through the
// model's hook (RegisterOldFormatLoader, at the program's start).
//
// What these files hold of the measures' contents (their notes, rests and
// other items) is not read: every measure gets a whole-measure rest so that
// the score lays out and plays for its length, and the score's
// ImportWarning tells the user that the notes were left out.

#include <cstdint>

class TKVScore;
class TStream;

// Reads the file after its first byte FormatByte into Score, inside
// LoadFromStream's update bracket. A damaged part or staff record keeps
// what it read and the reader goes on after it; a file that ends outside
// them raises the stream's read error, the score keeping what was read.
void LoadOldFormat(TKVScore& Score, TStream& Stream, uint8_t FormatByte);

// The warning of a file some of whose contents were passed over.
inline constexpr const char* SOldFileWithoutNotes = "This older score file was loaded without its notes";
// The warning of a file a part or staff record of which could be read only
// in part.
inline constexpr const char* SOldFileDamaged = "A damaged part of this older score file was not read";
