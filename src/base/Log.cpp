#include "base/Log.h"

#include <cstdio>
#include <exception>
#include <mutex>

namespace {

std::mutex gLogLock;
std::function<void(const std::string&)> gLogHook;

}  // namespace

void SetLogHook(std::function<void(const std::string&)> hook) {
  std::lock_guard<std::mutex> guard(gLogLock);
  gLogHook = std::move(hook);
}

void Log(const std::string& text) {
  std::lock_guard<std::mutex> guard(gLogLock);
  if (gLogHook)
    gLogHook(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

void LogFailure(const std::string& what) {
  std::string text = what + ": ";
  try {
    throw;
  } catch (const std::exception& e) {
    text += e.what();
  } catch (...) {
    text += "an exception of no known kind";
  }
  Log(text);
}
