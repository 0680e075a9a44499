#pragma once
// Writing a build output: beside its place first, then renamed into it, so a
// failed run never leaves a half-written file.

#include <cstdint>
#include <string>
#include <vector>

namespace lrfc {

bool WriteOutputFile(const std::string& fileName, const std::vector<uint8_t>& bytes);

}  // namespace lrfc
