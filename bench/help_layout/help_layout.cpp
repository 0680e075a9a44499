// How long the help viewer takes to lay out and paint the longest page of
// the shipped English help (the one with the most blocks) with every
// section open, through the real text layer, at 200, 290, 400 and 800
// pixels: a viewer on a form of the headless host. Prints milliseconds per
// layout (best of 20, after a first one that fills the width cache) and
// per paint.
//
// Usage: help_layout [help file]

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "media/gif/GIFImage.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/window/HeadlessHost.h"
#include "ui/help/ECXMLHelp.h"
#include "ui/help/HelpContainer.h"

namespace {

template <class F>
double BestMs(F run) {
  double best = 1e9;
  for (int round = 0; round < 20; ++round) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : SONARID_HELP_FILE;
  gif::RegisterGIFImage();
  forms::TApplication app(std::make_unique<window::THeadlessHost>());
  forms::TForm form(nullptr);
  form.SetBounds(0, 0, 820, 600);
  auto* viewer = new TECXMLHelp(&form);
  viewer->SetParent(&form);
  viewer->SetBounds(0, 0, 200, 400);
  viewer->SetFileName(file);
  std::string longest;
  size_t most = 0;
  TFileStream stream(file, fmOpenRead);
  THelpContainer container(stream);
  for (const THelpEntry& entry : container.Pages()) {
    viewer->ClearPages();
    viewer->AddPage(entry.Name);
    if (viewer->Blocks().size() > most) {
      most = viewer->Blocks().size();
      longest = entry.Name;
    }
  }
  viewer->ClearPages();
  viewer->AddPage(longest);
  for (const auto& block : viewer->Blocks()) block->Open = true;
  form.Show();
  for (int width : {200, 290, 400, 800}) {
    viewer->SetBounds(0, 0, width, 400);
    const double layout = BestMs([&] { viewer->Layout(); });
    const double paint = BestMs([&] { viewer->Repaint(); });
    std::printf("help_layout page=%s blocks=%zu width=%d items=%d layout_ms=%.3f paint_ms=%.3f\n", longest.c_str(),
                most, width, viewer->Lines().Count, layout, paint);
  }
  return 0;
}
