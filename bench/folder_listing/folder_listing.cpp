// How long the file dialog takes to show a large folder: the form built on
// the headless host, its folder read, sorted and put into the list, for a
// folder of N files (default 10000) with names of mixed case and digits.
// Prints milliseconds, best of three, and then the same for a resort by date.
//
// Usage: folder_listing [files]

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/forms/Application.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/forms/Buttons.h"
#include "platform/window/HeadlessHost.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
  char pattern[] = "/tmp/folder-listing-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path dir = pattern;
  for (int i = 0; i < files; ++i)
    std::ofstream(dir / ((i % 3 ? "Take " : "take-") + std::to_string(i * 7919 % files) + ".mid")) << i;
  forms::TApplication app(std::make_unique<window::THeadlessHost>());
  double best = 1e9, resort = 1e9;
  size_t listed = 0;
  for (int round = 0; round < 3; ++round) {
    forms::TFileDialogForm::TSettings settings;
    settings.Folder = dir.string();
    settings.Filter = "MIDI files|*.mid";
    const auto start = std::chrono::steady_clock::now();
    forms::TFileDialogForm form(nullptr, settings);
    const auto built = std::chrono::steady_clock::now();
    dynamic_cast<forms::TButton*>(form.FindComponent("DateHeader"))->Click();
    const auto sorted = std::chrono::steady_clock::now();
    listed = form.Entries().size();
    best = std::min(best, std::chrono::duration<double, std::milli>(built - start).count());
    resort = std::min(resort, std::chrono::duration<double, std::milli>(sorted - built).count());
  }
  fs::remove_all(dir);
  std::printf("folder_listing files=%zu list_ms=%.1f resort_by_date_ms=%.1f\n", listed, best, resort);
  return 0;
}
