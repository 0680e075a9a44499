#include "score/model/OSVersion.h"

#include <sys/utsname.h>

#include <cstdio>

int32_t OSMajorVersion = 5;
int32_t OSMinorVersion = 0;

void GetOSVersion() {
  // The kernel release ("6.1.0-...") gives the numbers; when it cannot be
  // read, or reads lower, the floor of 5.0 stands: the canvas never lacks
  // the anti-aliased drawing that older numbers would turn off.
  int major = 5, minor = 0;
  utsname info{};
  if (uname(&info) == 0 && std::sscanf(info.release, "%d.%d", &major, &minor) == 2 && major >= 5) {
    OSMajorVersion = major;
    OSMinorVersion = minor;
  } else {
    OSMajorVersion = 5;
    OSMinorVersion = 0;
  }
}

namespace {
// The model's start-up step.
[[maybe_unused]] const bool gVersionRead = (GetOSVersion(), true);
}  // namespace
