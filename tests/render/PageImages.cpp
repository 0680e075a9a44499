#include "render/PageImages.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/musicfont/EmmentalerFont.h"
#include "platform/text/FontEngine.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "support/sketch/ReviewImages.h"

namespace {

const std::string ReferenceFolder = std::string(SONARID_SOURCE_DIR) + "/tests/render/reference/";

std::string Sha256(const std::string& File) {
  std::string out;
  if (FILE* pipe = popen(("sha256sum '" + File + "' 2>/dev/null").c_str(), "r")) {
    std::array<char, 128> buffer{};
    if (fgets(buffer.data(), int(buffer.size()), pipe)) out = buffer.data();
    pclose(pipe);
  }
  return out.substr(0, out.find(' '));
}

// The font files a rendering depends on, by name.
std::map<std::string, std::string> FontFiles() {
  std::string music;
  try {
    music = musicfont::TEmmentalerFont::FindFontFolder() + "/" + musicfont::TEmmentalerFont::kFontFileName;
  } catch (const std::exception&) {
  }
  return {{"Emmentaler", music}, {"Liberation Sans", text::TFontEngine::Instance().MatchedFile("Arial", 0)}};
}

}  // namespace

canvas::TBitmap DrawPageImage(TKVWindow& View, int32_t Index, int Margin, canvas::TColor Around) {
  const TKVPageRect size = View.GetPageSize();
  canvas::TBitmap image(size.Right + 2 * Margin, size.Bottom + 2 * Margin, Around);
  canvas::TCanvas& canvas = image.Canvas();
  canvas.SetOrigin({Margin, Margin});
  View.DrawPageBackground(canvas);
  render::TKVPageDrawer(View, canvas).DrawPageContent(Index, View.Zoom(), View.Zoom(), Margin, Margin);
  return image;
}

TReferenceResult CompareWithReference(const canvas::TBitmap& Fresh, const std::string& Name) {
  TReferenceResult result;
  const std::string reference = ReferenceFolder + Name + ".png", sums = ReferenceFolder + "fonts.sha256";
  if (const char* refresh = std::getenv("SONARID_REFRESH_REFERENCES"); refresh && *refresh == '1') {
    std::error_code error;
    std::filesystem::create_directories(ReferenceFolder, error);
    Fresh.SaveToPngFile(reference);
    std::ofstream out(sums);
    for (const auto& [font, file] : FontFiles()) out << Sha256(file) << "  " << font << "\n";
    result.Message = "rewrote " + reference + ": look at it before committing it";
    return result;
  }
  std::map<std::string, std::string> recorded;
  std::ifstream in(sums);
  for (std::string line; std::getline(in, line);)
    if (line.size() > 66) recorded[line.substr(66)] = line.substr(0, 64);
  for (const auto& [font, file] : FontFiles())
    if (recorded[font] != Sha256(file)) {
      result.Message = font + " (" + file + ") is not the font the references were drawn with: pixels not compared; " +
                       "SONARID_REFRESH_REFERENCES=1 redraws them, to be looked at before they are committed";
      return result;
    }
  result.Compared = true;
  canvas::TBitmap expected;
  try {
    expected = canvas::TBitmap::LoadFromFile(reference);
  } catch (const std::exception& e) {
    result.Differs = true;
    result.Message = e.what();
    return result;
  }
  const int width = Fresh.Width(), height = Fresh.Height();
  if (expected.Width() != width || expected.Height() != height) {
    result.Differs = true;
    result.Message = "the picture's size differs from the reference's";
    return result;
  }
  canvas::TBitmap diff(width, height);
  std::vector<int> blocks(size_t((width + 7) / 8) * size_t((height + 7) / 8));
  int64_t differing = 0;
  int worstBlock = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t a = Fresh.Pixel(x, y), b = expected.Pixel(x, y);
      int channel = 0;
      for (int shift : {0, 8, 16}) channel = std::max(channel, std::abs(int(a >> shift & 255) - int(b >> shift & 255)));
      const bool differs = channel > 48;
      diff.Pixels()[size_t(y) * size_t(width) + size_t(x)] = differs ? 0xFFFF0000 : (0xFF000000 | (a & 0xFFFFFF) | 0xC0C0C0);
      if (!differs) continue;
      ++differing;
      worstBlock = std::max(worstBlock, ++blocks[size_t(y / 8) * size_t((width + 7) / 8) + size_t(x / 8)]);
    }
  result.Differs = differing * 1000 > int64_t(width) * height * 2 || worstBlock > 12;
  std::ostringstream message;
  message << differing << " pixels differ by more than 48, at most " << worstBlock << " in an 8 x 8 block";
  result.Message = message.str();
  if (result.Differs) {
    Fresh.SaveToPngFile(ReviewImagePath("render-pages", Name + "-actual"));
    diff.SaveToPngFile(ReviewImagePath("render-pages", Name + "-diff"));
  }
  return result;
}
