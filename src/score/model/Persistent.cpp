#include "score/model/Persistent.h"

#include <algorithm>
#include <string>

#include "base/Exceptions.h"

void RaiseAssignError(const TObject& Source, const TObject& Target) {
  throw EAssignError(ClassNameOf(Source), ClassNameOf(Target));
}

void CopyBlockBytes(TByteBlock& Target, const TByteBlock& Source) {
  if (&Target == &Source) return;
  Target.Write(0, Source.Data(), std::min(Target.Size(), Source.Size()));
}
