#pragma once
// An embedded object on the page (kind 161), held by the media support's
// container. When its editing ends the element takes the object's new size
// and lays the score out again from its page; when the object changes the
// views repaint.

#include <cstdint>
#include <memory>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/MediaServices.h"

class TKVScore;

class TKVOleObject : public TKVItem {
public:
  explicit TKVOleObject(TObject* Owner);
  ~TKVOleObject() override;

  // Block and the container's object.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  TKVOleContainer& Container() { return *FContainer; }
  uint16_t Page() const { return Data().u16(OleBlock::Page); }

private:
  void ContainerClosed();
  void ObjectChanged();
  // The owner itself, or the score of the owning measure.
  TKVScore* OwnerScore() const;

  std::unique_ptr<TKVOleContainer> FContainer;
  bool FBusy = false;
};
