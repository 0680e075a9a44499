#pragma once
// Copying between model objects: a source of another class is refused with
// EAssignError, which names both classes.

#include "base/ByteBlock.h"
#include "base/Object.h"

[[noreturn]] void RaiseAssignError(const TObject& Source, const TObject& Target);

// Copies a source's data block onto a target's: as many bytes as both hold
// (blocks of one class have one size).
void CopyBlockBytes(TByteBlock& Target, const TByteBlock& Source);
