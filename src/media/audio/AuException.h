#pragma once
// The clip classes' one exception, with a fixed English text or the
// system's message for a file that cannot be opened.

#include "base/Exceptions.h"

class EAuException : public Exception {
public:
  using Exception::Exception;
};
