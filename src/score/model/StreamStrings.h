#pragma once
// The string forms of the score file: a 16-bit length followed by that many
// single-byte characters, a 16-bit count followed by that many strings, and
// the 16-bit-character variants. A read past the end of the stream raises the
// stream's EReadError.
//
// Texts longer than MaxStreamString and lists longer than MaxStreamStrings
// are not taken: the target keeps its value (a list stays empty). Their bytes
// are still passed over, so the reader stays in step with the file.

#include <cstdint>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "base/Streams.h"

constexpr uint16_t MaxStreamString = 5000;
constexpr uint16_t MaxStreamStrings = 10000;

// A list of wide texts, as text items and lyrics keep their lines.
using TKVWideList = std::vector<std::u16string>;

void ReadStreamString(TStream& Stream, std::string& S);
void ReadStreamWideString(TStream& Stream, std::u16string& W);
void ReadStreamStrings(TStream& Stream, TStringList& Strings);
void ReadStreamWideList(TStream& Stream, TKVWideList& List);
