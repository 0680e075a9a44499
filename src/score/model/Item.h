#pragma once
// The base of every notation element. An item knows its owner and its kind
// byte; each element class sizes the data block that holds its plain fields
// (ElementBlocks.h names their offsets) and adds its managed fields.
//
// The constructor registers the item with its owner and the destructor
// unregisters it, so an owner's list never holds a freed item. Owners are
// recognised by class, in this order: note, rest (their attached items),
// measure, column, score, part, grace-note group. Any other owner is stored
// without registration. An owner whose registration switch is set does not
// list the item (its creator inserts it); removal never depends on the switch.

#include <cstdint>
#include <functional>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/VoiceKey.h"

class TStream;
class TKVMeasure;
struct TKVDisplayItem;

class TKVItem : public TObject {
public:
  // An item of kind 0 with an empty block; Owner may be nil.
  explicit TKVItem(TObject* Owner);
  ~TKVItem() override;

  TObject* Owner() const { return FOwner; }
  // Moves the item to another owner: it leaves the old owner's list and
  // registers with the new one as a new item would.
  void ChangeOwner(TObject* Owner);
  uint8_t Kind() const { return FKind; }
  virtual void SetKind(uint8_t Kind) { FKind = Kind; }

  // The element's plain fields; its size is the element's data size.
  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }

  // Copies Source's plain fields; elements add their managed fields and
  // refuse a source of another class (EAssignError).
  virtual void Assign(const TKVItem& Source);
  // Reads the item's record from a score file: its block and, in each
  // element class, the field groups that follow it.
  virtual void ReadData(TStream& Stream);

  // The measure that holds the item, through the note, rest or grace-note
  // group it is attached to; nil for an item of a column, a part, the score
  // or no owner.
  TKVMeasure* GetMeasure() const;

  // The voice key of an element that carries one; nil for the others.
  virtual TKVVoiceKey* GetVoiceKey() { return nullptr; }
  const TKVVoiceKey* GetVoiceKey() const { return const_cast<TKVItem*>(this)->GetVoiceKey(); }

  // Run-time, the layout's: the item's chain of display records, the one
  // made last first (each links to the one made before it).
  TKVDisplayItem* DisplayLink = nullptr;

protected:
  // For the element classes: kind and block size are set before the item
  // registers with its owner.
  TKVItem(TObject* Owner, uint8_t Kind, size_t DataSize);

  // Reads the item's record: the block (group 0), then Groups for the later
  // field groups (group n present when Version > n).
  void ReadItemRecord(TStream& Stream, const std::function<void(TStream& Record, uint16_t Version)>& Groups = {});

  // Copies the source's block: as many bytes as both blocks hold.
  void CopyBlock(const TKVItem& Source);
  // Source as class T, or EAssignError naming both classes.
  template <class T>
  static const T& SourceAs(const TKVItem& Source, const TKVItem& Target);

private:
  // Leaves the owner's list.
  void Unregister();

  TObject* FOwner;
  uint8_t FKind = 0;
  TByteBlock FData;
};

// An element that carries a voice key.
class TKVVoicedItem : public TKVItem {
public:
  TKVVoiceKey* GetVoiceKey() override { return &FVoiceKey; }
  TKVVoiceKey& VoiceKey() { return FVoiceKey; }
  const TKVVoiceKey& VoiceKey() const { return FVoiceKey; }

protected:
  using TKVItem::TKVItem;

private:
  TKVVoiceKey FVoiceKey;
};

#include "score/model/Persistent.h"

template <class T>
const T& TKVItem::SourceAs(const TKVItem& Source, const TKVItem& Target) {
  const auto* source = dynamic_cast<const T*>(&Source);
  if (!source) RaiseAssignError(Source, Target);
  return *source;
}
