#pragma once
// The stream in which a score file stores an embedded object: the signature
// "BDOC", the draw aspect, the size N, then N bytes of the object's storage.
// In the old format the first 8 bytes hold the control's bounds instead.

#include <cstdint>
#include <vector>

#include "base/Exceptions.h"
#include "base/Streams.h"

class EOleError : public Exception { using Exception::Exception; };

// The signature, "BDOC" as bytes.
constexpr std::uint32_t kOleStreamSignature = 0x434F4442;

// Reads the header and the storage. A wrong signature (unless OldFormat)
// and a size beyond the stream raise EOleError "Invalid stream format"
// before anything is allocated; a short header raises the stream's read
// error. Aspect receives the header's draw aspect, or content (1) for a
// stream without the signature.
std::vector<std::uint8_t> ReadOleStream(TStream& stream, bool oldFormat, std::uint32_t& aspect);
