#pragma once
// Binary resources built into the program, by name (the RCDATA resources of
// the Windows build). The program registers them at start; names ignore
// ASCII letter case.

#include <cstdint>
#include <string>
#include <vector>

void RegisterResource(const std::string& name, std::vector<uint8_t> bytes);
void UnregisterResource(const std::string& name);
// The resource's bytes, nil when there is none of that name.
const std::vector<uint8_t>* FindResource(const std::string& name);

// The running program's full path.
std::string ProgramFileName();
