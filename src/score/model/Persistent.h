#pragma once
// Copying between model objects of different classes is refused with
// EAssignError, which names both classes.

#include "base/Object.h"

[[noreturn]] void RaiseAssignError(const TObject& Source, const TObject& Target);
