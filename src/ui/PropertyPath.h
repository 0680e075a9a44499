#pragma once
// Walking a language entry's property path from its form, e.g. "Caption",
// "ARecord.Caption", "MMProgramModule.Item.Font", "FDTicher.Buttons[2].Hint".
// A segment ends at "." or at the end of the path; "Name[i]" indexes a
// collection. At the form, a name that is no published property is looked up
// among the form's components.

#include <string>

#include "ui/PublishedProperties.h"

// The property a path ends at: a string, string-list or font property of
// Object. Object is nil when the path leads nowhere: an unknown name, a
// missing object, a collection index that is invalid or not below the
// collection's count, or a property of any other kind.
struct TPropertyTarget {
  TPublishedObject* Object = nullptr;
  std::string Name;
  TPropertyKind Kind = TPropertyKind::pkNone;
};

TPropertyTarget ResolvePath(TPublishedForm& form, const std::string& path);
