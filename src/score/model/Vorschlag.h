#pragma once
// A group of grace notes (kind 32). The group owns its grace notes; an item
// attached to a grace note lies in the group's measure.

#include <cstdint>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/ItemHolder.h"

class TKVVorschlag : public TKVVoicedItem, public TKVItemHolder {
public:
  explicit TKVVorschlag(TObject* Owner);
  ~TKVVorschlag() override;

  // Block, then every grace note cloned.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  uint16_t Position() const { return Data().u16(VorschlagBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(VorschlagBlock::Position, V); }
};
