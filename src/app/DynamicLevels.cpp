#include "app/DynamicLevels.h"

#include <iterator>

#include "score/model/ItemKinds.h"

namespace {

constexpr int32_t NoteAccent = 30;  // the accent bits of a note
constexpr int32_t Crescendo = 50, Diminuendo = 51;
constexpr int32_t HairpinStep = 16;  // about one dynamics step over a hairpin
constexpr int32_t AccentLift = 20;

// By sub-kind: p, pp, ppp, mp, fp, mf, f, ff, fff, sf, esf, fz, sfz. The
// eight levels from ppp to fff rise evenly; fp and the sforzandi are
// accents over the level in force.
constexpr int32_t Levels[] = {48,  32,  16,         64,         AccentLift, 80,        96,
                              112, 127, AccentLift, AccentLift, AccentLift, AccentLift};

}  // namespace

int32_t DynamicLevel(int32_t ItemType, int32_t Kind) {
  switch (ItemType) {
    case ItemKind::Dynamic:
      if (Kind >= 0 && Kind < int32_t(std::size(Levels))) return Levels[Kind];
      return Kind == Crescendo || Kind == Diminuendo ? HairpinStep : 0;
    case NoteAccent:
    case ItemKind::Accent:
      return AccentLift;
    case ItemKind::Arpeggio:
      return 2;  // a chord rolls over half its unit
    case ItemKind::Fermata:
      return 1;
    case ItemKind::Tremolo:
    default:
      return 0;
  }
}
