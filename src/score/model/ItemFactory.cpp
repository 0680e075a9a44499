#include "score/model/ItemFactory.h"

#include <array>
#include <initializer_list>
#include <utility>
#include <vector>

#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Image.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/OleObject.h"
#include "score/model/PageTexts.h"
#include "score/model/Pause.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Vorschlag.h"

namespace {

using TCreator = TKVItem* (*)(TObject* owner);

template <class T>
TKVItem* Make(TObject* owner) {
  return new T(owner);
}

// A row of the kind table: single kinds and inclusive ranges.
struct TKindRow {
  std::vector<std::pair<int, int>> Kinds;
  TCreator Create;
};

// The kind table; every value not listed has no class.
const std::vector<TKindRow>& KindTable() {
  static const std::vector<TKindRow> table = {
      {{{1, 4}, {6, 8}, {27, 28}, {37, 37}, {40, 42}, {45, 45}, {50, 50}, {70, 72}, {85, 85}, {110, 118},
        {120, 125}, {130, 133}, {141, 143}, {149, 151}, {153, 160}, {169, 173}},
       Make<TKVMark>},
      {{{20, 20}, {43, 43}}, Make<TKVNote>},
      {{{21, 21}}, Make<TKVPause>},
      {{{22, 22}}, Make<TKVEffect>},
      {{{30, 30}}, Make<TKVLiga>},
      {{{31, 31}}, Make<TKVChord>},
      {{{32, 32}}, Make<TKVVorschlag>},
      {{{33, 35}}, Make<TKVLyric>},
      {{{36, 36}}, Make<TKVFrame>},
      {{{119, 119}}, Make<TKVBend>},
      {{{161, 161}}, Make<TKVOleObject>},
      {{{200, 200}}, Make<TKVText>},
      {{{201, 201}}, Make<TKVImage>},
      {{{202, 202}}, Make<TKVLine>},
      {{{203, 204}}, Make<TKVRectangle>},
      {{{205, 207}}, Make<TKVArc>},
      {{{215, 215}}, Make<TKVPageMark>},
      {{{220, 220}}, Make<TKVMIDIEvent>},
      {{{221, 221}}, Make<TKVSound>},
  };
  return table;
}

const std::array<TCreator, 256>& Creators() {
  static const std::array<TCreator, 256> creators = [] {
    std::array<TCreator, 256> byKind{};
    for (const TKindRow& row : KindTable())
      for (auto [first, last] : row.Kinds)
        for (int kind = first; kind <= last; ++kind) byKind[size_t(kind)] = row.Create;
    return byKind;
  }();
  return creators;
}

}  // namespace

TKVItem* CreateItemByKind(uint8_t Kind, TObject* Owner) {
  TCreator create = Creators()[Kind];
  if (!create) return nullptr;
  TKVItem* item = create(Owner);
  item->SetKind(Kind);
  return item;
}

bool KindHasClass(uint8_t Kind) { return Creators()[Kind] != nullptr; }

void CloneItems(const TKVChildList<TKVItem>& Source, TObject* Owner) {
  // By index: the source is never the owner's own list here, but a handler
  // must not be able to invalidate an iterator.
  for (int32_t i = 0; i < Source.Count(); ++i) {
    TKVItem* item = Source.Get(i);
    if (TKVItem* copy = CreateItemByKind(item->Kind(), Owner)) copy->Assign(*item);
  }
}
