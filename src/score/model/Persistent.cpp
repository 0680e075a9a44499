#include "score/model/Persistent.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#include "base/Exceptions.h"

namespace {

std::string ClassName(const TObject& object) {
  const char* mangled = typeid(object).name();
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                   &std::free);
  return status == 0 && name ? name.get() : mangled;
}

}  // namespace

void RaiseAssignError(const TObject& Source, const TObject& Target) {
  throw EAssignError(ClassName(Source), ClassName(Target));
}

void CopyBlockBytes(TByteBlock& Target, const TByteBlock& Source) {
  if (&Target == &Source) return;
  Target.Write(0, Source.Data(), std::min(Target.Size(), Source.Size()));
}
