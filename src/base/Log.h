#pragma once
// The one place below the application where a subsystem writes down what
// went wrong without stopping: the application points the hook at its log
// file; until then (and in tools and tests that set none) lines go to
// stderr. Safe to call from any thread.

#include <functional>
#include <string>

void SetLogHook(std::function<void(const std::string&)> hook);
void Log(const std::string& text);
// Inside a catch block only: logs What, a colon and the text of the
// exception being handled.
void LogFailure(const std::string& what);
