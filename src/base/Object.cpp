#include "base/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

std::string ClassNameOf(const TObject& Object) {
  const char* mangled = typeid(Object).name();
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                           &std::free);
  return status == 0 && name ? name.get() : mangled;
}
