#pragma once
// The operating-system version the drawing code branches on: a major version
// of 5 or more selects anti-aliased drawing, which every canvas of this
// program offers. GetOSVersion runs once when the model starts and keeps the
// numbers in the two globals.

#include <cstdint>

extern int32_t OSMajorVersion;
extern int32_t OSMinorVersion;

void GetOSVersion();
