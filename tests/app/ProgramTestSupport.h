#pragma once
// The program started in a test: the main window of the built program
// (whose language files and pictures lie beside it) on a headless host,
// with its settings, log and working file in a fresh folder of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramModule.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/HeadlessHost.h"
#include "support/ScratchDir.h"

namespace apptest {

namespace fs = std::filesystem;

std::string ProgramFile();
std::string CorpusXml(const std::string& name);
// The fetched corpus's Standard MIDI File of that name, or its first one
// when Name is empty; "" when none.
std::string CorpusMidi(const std::string& name = "");
using test_support::ReadText;
using test_support::WriteText;
// What a take leaves: 0.3 s of a tone in the record format in the working file.
void RecordTake(TFProgramModule* main);

class ProgramTest : public ::testing::Test {
protected:
  ProgramTest();
  ~ProgramTest() override;

  // Opens the settings and makes the main window.
  TFProgramModule* Start();
  // Frees the main window (its shut-down) and closes the settings.
  void Stop();
  std::string Setting(const std::string& section, const std::string& key);
  // Runs Action while the next modal box is up, then closes the box with
  // Result; the box's caption and text are returned.
  std::string AnswerNextBox(int result, const std::function<void()>& action);
  // Runs Action while the next file dialog is up, then gives it Name (""
  // cancels it); the name the dialog proposed is returned.
  std::string AnswerNextDialog(const std::string& name, const std::function<void()>& action);
  // Runs Action and answers its modal forms in order: a file dialog takes the
  // next answer as its name ("" cancels), a box "yes", "no", "cancel" or
  // else Ok.
  // Returns what the boxes said ("caption: line line\n" each); where each
  // dialog started and the name it proposed go to DialogFolders and
  // DialogNames.
  std::string Drive(std::vector<std::string> answers, const std::function<void()>& action);
  // Runs Step on the first form of type T that comes up; called before
  // Drive, it runs before Drive answers that form.
  template <class T>
  void WhenUp(std::function<void(T&)> step) {
    FWhenUp = [this, step] {
      if (auto* form = dynamic_cast<T*>(forms::Screen->ActiveForm()))
        step(*form);
      else
        TMainQueue::Instance().Post(FWhenUp, this);
    };
    TMainQueue::Instance().Post(FWhenUp, this);
  }

  test_support::TScratchDir Scratch;  // removed last, after the program
  const fs::path Folder = Scratch.Dir();
  window::THeadlessHost* Host = nullptr;  // owned by App
  std::unique_ptr<forms::TApplication> App;
  TFProgramModule* Main = nullptr;
  std::vector<std::string> DialogFolders, DialogNames;
  // Called at each step of Drive while the window is busy saving.
  std::function<void()> WhileBusy;

private:
  std::function<void()> FWhenUp;
};

}  // namespace apptest
