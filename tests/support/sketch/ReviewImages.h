#pragma once
// Scores loaded as the program loads them, for pictures of their pages that
// people look at: the real layout and page composer over the real fonts
// (Emmentaler, and the text fonts of data/fonts.conf), and the place in the
// build folder where such pictures go.

#include <memory>
#include <string>
#include <vector>

class TKVScore;

// While it lives: the real text measurer and music font (the fakes when the
// music font is missing), the layout and the MusicXML and MIDI importers.
class TRealLayout {
public:
  TRealLayout();
  ~TRealLayout();
  TRealLayout(const TRealLayout&) = delete;
  TRealLayout& operator=(const TRealLayout&) = delete;
  // False when the fakes stand in for missing fonts.
  bool RealFonts() const { return FRealFonts; }

private:
  bool FRealFonts = false;
};

// A score file loaded and laid out into pages.
std::unique_ptr<TKVScore> LoadLaidOut(const std::string& Path);

// Every file of the corpus, in name order: the MusicXML test suite and the
// fetched MIDI files (none of either when not there).
std::vector<std::string> CorpusFiles();

// A test's name for a corpus file: its name without the extension, each
// character other than a letter or digit as "_".
std::string CorpusTestName(const std::string& Path);

// <build folder>/<Folder>/<Name>.png, the folder made when missing.
std::string ReviewImagePath(const std::string& Folder, const std::string& Name);
