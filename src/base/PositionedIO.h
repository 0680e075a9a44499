#pragma once
// Reads and writes at a byte offset of an open file descriptor, going on
// after short transfers and interrupted calls, without moving the
// descriptor's own position.

#include <cstddef>
#include <cstdint>

// The bytes of Data written at Offset before a write failed (Count when none did).
size_t WriteAtOffset(int fd, const void* data, size_t count, uint64_t offset);
// True when all Count bytes at Offset were read.
bool ReadAtOffset(int fd, void* data, size_t count, uint64_t offset);
