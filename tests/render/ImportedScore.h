#pragma once
// A MusicXML document that a test writes itself, saved to a scratch folder
// and loaded from there as the program loads a file (imported, laid out and
// composed into pages), shown in a view; its pages are drawn on a canvas
// that notes the display record of every call.

#include <memory>
#include <string>
#include <vector>

#include "player/Window.h"
#include "render/TaggingCanvas.h"
#include "render/page/PageDrawer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Score.h"
#include "support/ScratchDir.h"
#include "support/sketch/ReviewImages.h"

// A partwise document: the part list names each part "P1", "P2" ...; Parts
// holds one string of measures for each.
inline std::string PartwiseDocument(const std::vector<std::string>& Parts) {
  std::string list, body;
  for (size_t i = 0; i < Parts.size(); ++i) {
    const std::string id = "P" + std::to_string(i + 1);
    list += "<score-part id=\"" + id + "\"><part-name>" + id + "</part-name></score-part>";
    body += "<part id=\"" + id + "\">" + Parts[i] + "</part>\n";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"3.1\"><part-list>" + list +
         "</part-list>\n" + body + "</score-partwise>\n";
}

class TImportedScore {
  // First: the real fonts and layout are installed before the score loads
  // and taken away only after it is gone.
  TRealLayout FLayout;
  test_support::TScratchDir FDir;

public:
  std::unique_ptr<TKVScore> Score;
  TKVWindow View;

  explicit TImportedScore(const std::string& Document) {
    test_support::WriteText(FDir.Path("score.xml"), Document);
    Score = LoadLaidOut(FDir.Path("score.xml"));
    View.SetScore(Score.get());
  }
  ~TImportedScore() { View.SetScore(nullptr); }
  TImportedScore(const TImportedScore&) = delete;
  TImportedScore& operator=(const TImportedScore&) = delete;

  int32_t PageCount() const { return ScoreLayoutRecords(*Score).PageCount; }
  const TKVPageRecord& Page(int32_t Index) const { return *ScoreLayoutRecords(*Score).Pages[size_t(Index)]; }

  // Page Index drawn at 100 % in the view's style.
  std::unique_ptr<TTaggingCanvas> Draw(int32_t Index) {
    const TKVPageRect size = View.PageRect(Index);
    auto canvas = std::make_unique<TTaggingCanvas>(size.Right - size.Left + 64, size.Bottom - size.Top + 64);
    render::TKVPageDrawer drawer(View, *canvas);
    canvas->Current = &drawer.CurrentRecord;
    drawer.DrawPageContent(Index, 100, 100, 0, 0);
    canvas->Finish();
    return canvas;
  }
};
