#pragma once
// The message of what a call raises, for tests that compare it exactly.

#include <string>

#include "base/Exceptions.h"

// The Message() of the E that F raises; "<nothing raised>" when it returns.
// Another exception passes on and fails the test on its own.
template <class E = Exception, class F>
std::string RaisedBy(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "<nothing raised>";
}
