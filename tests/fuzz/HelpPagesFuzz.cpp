// Help pages: the input as a page container (first byte even) or as page
// files in a folder of their own (odd): the bytes up to the first NUL are
// "page.xml", the next parts "a.xml", "b.xml" and "c.xml", so that pages
// can embed each other. Read into blocks and laid out with fixed metrics at
// a narrow and a wide client, sections open.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

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
  auto write = [](const std::string& name, const uint8_t* bytes, size_t count) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file || std::fwrite(bytes, 1, count, file) != count || std::fclose(file) != 0) std::abort();
  };
  if (container) {
    write(path, data + 1, size - 1);
  } else {
    const uint8_t* at = data + 1;
    const uint8_t* const end = data + size;
    for (const char* name : {"/page.xml", "/a.xml", "/b.xml", "/c.xml"}) {
      const std::string file = folder + name;
      std::remove(file.c_str());
      if (at > end) continue;
      const uint8_t* part = std::find(at, end, uint8_t(0));
      write(file, at, size_t(part - at));
      at = part + 1;
    }
  }
  THelpPages pages;
  LoadHelpPages(path, {}, THelpStyle(), pages);
  LoadHelpPages(path, {"Main.xml", "Start.xml"}, THelpStyle(), pages);
  Check(pages.MaxDepth <= kHelpMaxDepth && pages.Blocks.size() <= kHelpMaxBlocks + 1);
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
