// How long the help viewer takes to lay out and paint the longest page of
// the shipped English help (the one with the most blocks) with every
// section open, through the real text layer, at 200, 290, 400 and 800
// pixels: a viewer on a form of the headless host. Prints milliseconds per
// layout (best of 20, after a first one that fills the width cache) and
// per paint. Then a page that fans out (pages p0 .. p6 each embed the next
// 30 times, some 10^10 blocks in full): milliseconds until it is read to
// the parser's bound and laid out, and the blocks shown.
//
// Usage: help_layout [help file]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

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

  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "help_layout-fan-out";
  std::filesystem::create_directories(folder);
  for (int n = 0; n < 8; ++n) {
    std::ofstream page(folder / ("p" + std::to_string(n) + ".xml"));
    page << "<xml><text>Page " << n << "</text>";
    for (int i = 0; n < 7 && i < 30; ++i) page << "<embed>p" << n + 1 << ".xml</embed>";
    page << "</xml>";
  }
  viewer->SetBounds(0, 0, 400, 400);
  const auto start = std::chrono::steady_clock::now();
  viewer->SetFileName((folder / "p0.xml").string());
  viewer->Layout();
  const double open = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("help_layout fan-out blocks=%zu items=%d open_ms=%.1f\n", viewer->Blocks().size(), viewer->Lines().Count,
              open);
  std::filesystem::remove_all(folder);
  return 0;
}
