// What sounds while the view plays: the play thread sets and clears the
// sounding bits of notes and lyric syllables under the view's play lock.
// The page takes them once, before its systems are drawn, so that nothing
// is drawn while the lock is held.

#include <mutex>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Lyric.h"
#include "score/model/Note.h"

namespace render {

namespace {

bool SoundsNow(const TKVItem& Item) {
  if (auto* note = dynamic_cast<const TKVNote*>(&Item)) return note->Sounding();
  if (auto* lyric = dynamic_cast<const TKVLyric*>(&Item)) return (lyric->State & 0x40) != 0;
  return false;
}

}  // namespace

void TKVPageDrawer::TakeSoundingSnapshot() {
  Sounding.clear();
  if (!View.Playing() || !View.PlayHighlight || !PageRecord) return;
  std::lock_guard<std::recursive_mutex> lock(View.PlayLock());
  const size_t systems = std::min<size_t>(PageRecord->SystemCount, PageRecord->Systems.size());
  for (size_t s = 0; s < systems; ++s) {
    const TKVSystemRecord* system = PageRecord->Systems[s].get();
    if (!system) continue;
    const size_t measures = std::min<size_t>(system->MeasureCount, system->Measures.size());
    for (size_t m = 0; m < measures; ++m) {
      const TKVMeasureRecord* measure = system->Measures[m];
      if (!measure) continue;
      const size_t count = std::min<size_t>(measure->DisplayCount, measure->Displays.size());
      for (size_t i = 0; i < count; ++i) {
        const TKVDisplayItem* record = measure->Displays[i].get();
        if (record && record->Item && SoundsNow(*record->Item)) Sounding.insert(record->Item);
      }
    }
  }
}

}  // namespace render
