// A score from any bytes, laid out, composed into pages and every page
// drawn: the first byte chooses the reader (even: the own format, odd:
// MusicXML), the rest is the file. Whatever the layout makes of damaged
// input, drawing its records never reads past them or crashes.

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "platform/canvas/RecordingCanvas.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/import/oldformat/OldScoreFile.h"
#include "score/layout/ScoreLayout.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Score.h"
#include "score/model/ScoreImporters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  [[maybe_unused]] static const bool ready = (RegisterOldFormatLoader(LoadOldFormat), RegisterScoreLayout(), true);
  if (size == 0) return 0;
  TMemoryStream stream = InputStream(data + 1, size - 1);
  TKVScore score;
  try {
    if (data[0] & 1)
      ImportMusicXML(score, stream);
    else
      score.LoadFromStream(stream);
    score.Reformat(0);
  } catch (const Exception&) {
    return 0;
  }
  TKVWindow view;
  view.SetScore(&score);
  const int32_t pages = ScoreLayoutRecords(score).PageCount;
  for (int32_t page = 0; page < pages; ++page)
    for (int zoom : {100, 37}) {
      canvas::TRecordingCanvas canvas(1000, 1400);
      render::TKVPageDrawer(view, canvas).DrawPageContent(page, zoom, zoom, 0, 0);
    }
  view.SetActivePage(0), view.SetDataStyle(dsActiveVoice), view.SetStyle(wsPrint);
  canvas::TRecordingCanvas canvas;
  render::TKVPageDrawer(view, canvas).DrawPageContent(0, 300, 300, 0, 0);
  return 0;
}
