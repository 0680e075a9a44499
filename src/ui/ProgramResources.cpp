#include "ui/ProgramResources.h"

#include <unistd.h>

#include <climits>
#include <map>

#include "base/Strings.h"

namespace {

std::map<std::string, std::vector<uint8_t>>& Resources() {
  static std::map<std::string, std::vector<uint8_t>> resources;
  return resources;
}

}  // namespace

void RegisterResource(const std::string& name, std::vector<uint8_t> bytes) {
  Resources()[UpperCase(name)] = std::move(bytes);
}

void UnregisterResource(const std::string& name) { Resources().erase(UpperCase(name)); }

const std::vector<uint8_t>* FindResource(const std::string& name) {
  auto it = Resources().find(UpperCase(name));
  return it == Resources().end() ? nullptr : &it->second;
}

std::string ProgramFileName() {
  char buffer[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}
