#pragma once
// Shared pieces of the window tests: a headless window system per test and
// windows that write every message they get into one log.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window/HeadlessHost.h"
#include "platform/window/Window.h"
#include "platform/window/WindowSystem.h"

namespace window::test {

// "A MouseDown 5,6 L s=9": window name, kind and the fields of that kind.
std::string Describe(const std::string& name, const TMessage& msg);

using TLog = std::vector<std::string>;

// A window that logs its messages (paint fills with Colour) and hands them
// to Extra afterwards.
class TLoggedWindow : public TWindow {
public:
  TLoggedWindow(TLog& log, std::string name, TWindowKind kind = TWindowKind::TopLevel, TWindow* owner = nullptr,
                bool logPaint = false);
  uint32_t Colour = 0xFF808080;
  std::function<void(TMessage&)> Extra;

private:
  TLog& FLog;
  std::string FName;
  bool FLogPaint;
};

class HeadlessWindowTest : public ::testing::Test {
protected:
  HeadlessWindowTest();
  ~HeadlessWindowTest() override;
  // Runs everything pending and returns the log, cleared.
  TLog Pump();
  std::unique_ptr<TLoggedWindow> MakeWindow(const std::string& name, TRect bounds,
                                            TWindowKind kind = TWindowKind::TopLevel, TWindow* owner = nullptr);

  THeadlessHost* Host;  // owned by System
  std::unique_ptr<TWindowSystem> System;
  TLog Log;
};

}  // namespace window::test
