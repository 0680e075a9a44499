// Cost of drawing metafiles: each real metafile (the office suite SDK's
// example pictures, when installed, or the files named) read and drawn at
// its own size (100 %) and at three times it (300 %), and in the same run
// the time other programs take to make a picture of the same file at the
// same size: Inkscape's export, and libwmf's wmf2svg drawn by rsvg-convert
// (Windows metafiles) or emf2svg-conv drawn by rsvg-convert (enhanced).
// Prints one line per file and size: milliseconds for the first drawing
// (reading included), the median of 20 more, and each other program's.
//
// Usage: metafile_draw [file.wmf|file.emf ...]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/metafile/Metafile.h"

namespace {

using TClock = std::chrono::steady_clock;

double Ms(TClock::time_point since) { return std::chrono::duration<double, std::milli>(TClock::now() - since).count(); }

bool Have(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

// Milliseconds a shell command takes, or -1 when it fails.
double Timed(const std::string& command) {
  const auto start = TClock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return status == 0 ? Ms(start) : -1;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

void Report(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string name = std::filesystem::path(file).filename().string();
  for (int zoom : {100, 300}) {
    const auto start = TClock::now();
    metafile::TMetafileData m(bytes);
    const int w = m.Width() * zoom / 100, h = m.Height() * zoom / 100;
    canvas::TBitmap picture(w, h);
    m.Draw(picture.Canvas(), {0, 0, w, h});
    const double first = Ms(start);
    std::vector<double> again;
    for (int i = 0; i < 20; ++i) {
      const auto t = TClock::now();
      m.Draw(picture.Canvas(), {0, 0, w, h});
      again.push_back(Ms(t));
    }
    std::sort(again.begin(), again.end());
    const std::string size = std::to_string(w) + " x " + std::to_string(h);
    const std::string scratch = (std::filesystem::temp_directory_path() / ("metafile-bench-" + std::to_string(::getpid()))).string();
    double inkscape = -1, svg = -1;
    if (Have("inkscape"))
      inkscape = Timed("inkscape --export-type=png -w " + std::to_string(w) + " -h " + std::to_string(h) +
                       " --export-filename=" + Quoted(scratch + ".png") + " " + Quoted(file));
    const bool enhanced = m.Enhanced();
    if (Have(enhanced ? "emf2svg-conv" : "wmf2svg") && Have("rsvg-convert")) {
      const std::string convert =
          enhanced ? "emf2svg-conv -w " + std::to_string(w) + " -h " + std::to_string(h) + " -i " + Quoted(file) + " -o " + Quoted(scratch + ".svg")
                   : "wmf2svg --maxwidth=" + std::to_string(w) + " --maxheight=" + std::to_string(h) + " --maxsize -o " +
                         Quoted(scratch + ".svg") + " " + Quoted(file);
      svg = Timed(convert + " && rsvg-convert -w " + std::to_string(w) + " -h " + std::to_string(h) + " -o " +
                  Quoted(scratch + ".png") + " " + Quoted(scratch + ".svg"));
    }
    std::error_code error;
    std::filesystem::remove(scratch + ".png", error);
    std::filesystem::remove(scratch + ".svg", error);
    const double theirs = std::max(0.0, std::min(inkscape < 0 ? 1e9 : inkscape, svg < 0 ? 1e9 : svg));
    std::printf("%-16s %3d %% (%s): ours %.2f ms first, %.2f ms median of 20 more; inkscape %.1f ms; %s+rsvg %.1f ms; "
                "ours first / fastest other %.3f\n",
                name.c_str(), zoom, size.c_str(), first, again[again.size() / 2], inkscape,
                enhanced ? "emf2svg" : "wmf2svg", svg, theirs > 0 && theirs < 1e9 ? first / theirs : 0.0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  if (files.empty())
    for (const char* n : {"beef", "burger", "chicken", "fish", "vegetable"})
      files.push_back(std::string(SONARID_METAFILE_CACHE "/") + n + ".wmf");
  for (const std::string& f : files) {
    if (!std::filesystem::exists(f)) {
      std::printf("%s: not there (scripts/fetch-metafile-corpus takes the example pictures)\n", f.c_str());
      continue;
    }
    Report(f);
  }
  return 0;
}
