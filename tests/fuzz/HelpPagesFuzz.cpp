// Help pages: the input as a page container (first byte even) or as a
// single page file in a folder of its own (odd), read into blocks and laid
// out with fixed metrics at a narrow and a wide client, sections open.

#include <sys/stat.h>

#include "FuzzInput.h"
#include "media/gif/GIFImage.h"
#include "ui/help/HelpLayout.h"
#include "ui/help/HelpLoad.h"

namespace {

class TFixedMetrics : public THelpMetrics {
public:
  void SetFont(const canvas::TFont& font) override { FSize = font.Height; }
  int CharWidth(unsigned char c) override { return 3 + c % 7; }
  int Height() override { return 8 + (FSize & 7); }

private:
  int FSize = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = "/tmp/sonarid-fuzz-help-" + std::to_string(getpid());
  static bool ready = (gif::RegisterGIFImage(), mkdir(folder.c_str(), 0700), true);
  (void)ready;
  if (size == 0) return 0;
  bool container = data[0] % 2 == 0;
  std::string path = folder + (container ? "/help.xcf" : "/page.xml");
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data + 1, 1, size - 1, file) != size - 1 || std::fclose(file) != 0) std::abort();
  THelpPages pages;
  LoadHelpPages(path, {}, THelpStyle(), pages);
  LoadHelpPages(path, {"Main.xml", "Start.xml"}, THelpStyle(), pages);
  Check(pages.MaxDepth <= kHelpMaxDepth);
  for (const auto& block : pages.Blocks) Check(block->Depth <= kHelpMaxDepth);
  TFixedMetrics metrics;
  THelpLayout layout;
  for (int width : {40, 600}) {
    const THelpBlock* opened = pages.Blocks.empty() ? nullptr : pages.Blocks.back().get();
    int scrollY = 0;
    layout.Run(pages.Blocks, {width, 100, 8, false, {}}, metrics, opened, scrollY);
    Check(layout.Count <= int(layout.Items.size()) && scrollY >= 0);
    for (auto& block : pages.Blocks) block->Open = true;
  }
  return 0;
}
