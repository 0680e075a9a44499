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
#include <type_traits>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/VoiceKey.h"

class TStream;
class TKVMeasure;
struct TKVDisplayItem;
class TKVColumn;
class TKVScore;
class TKVPart;
class TKVUserSymbol;
class TKVItemHolder;

// The element classes that the engine's passes tell apart. Each of them
// answers its own through ItemClass, so that ItemCast and OwnerAs cast to it
// without searching the class tree (a dynamic_cast per item and owner cost
// most of a score's load).
enum class TKVItemClass : uint8_t {
  Item,  // the base, or a class with no value of its own
  Note,
  Pause,
  Vorschlag,
  Mark,
  Lyric,
  Liga,
  Chord,
  Frame,
  Bend,
  Effect,
  MIDIEvent,
  Sound,
};

// What an item's owner is, found once when the owner is set.
enum class TKVOwnerClass : uint8_t { None, Item, Measure, Column, Score, Part, UserSymbol, Other };

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
  // The item's element class. Like a dynamic_cast, it answers the class
  // whose constructor or destructor is running.
  virtual TKVItemClass ItemClass() const { return TKVItemClass::Item; }
  TKVOwnerClass OwnerClass() const { return FOwnerClass; }
  // The owner as an item; nil for an owner of another class or none.
  TKVItem* OwnerItem() const { return FOwnerClass == TKVOwnerClass::Item ? static_cast<TKVItem*>(FOwner) : nullptr; }
  // The owner as T (an element class, an owner class of TKVOwnerClass or
  // any other class); nil when it is not one.
  template <class T>
  T* OwnerAs() const;
  // The owner as a holder of items; nil for an owner that holds none.
  TKVItemHolder* OwnerHolder() const;

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
  // Action(owner) for an owner that lists its items; false for the others.
  template <class F>
  bool WithHolder(F action) const;

  TObject* FOwner;
  TKVOwnerClass FOwnerClass = TKVOwnerClass::None;
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

// The element class of T, or Item for a class without a value of its own.
template <class T>
inline constexpr TKVItemClass ItemClassOf = TKVItemClass::Item;
class TKVNote;
class TKVPause;
class TKVVorschlag;
class TKVMark;
class TKVLyric;
class TKVLiga;
class TKVChord;
class TKVFrame;
class TKVBend;
class TKVEffect;
class TKVMIDIEvent;
class TKVSound;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVNote> = TKVItemClass::Note;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVPause> = TKVItemClass::Pause;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVVorschlag> = TKVItemClass::Vorschlag;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVMark> = TKVItemClass::Mark;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVLyric> = TKVItemClass::Lyric;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVLiga> = TKVItemClass::Liga;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVChord> = TKVItemClass::Chord;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVFrame> = TKVItemClass::Frame;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVBend> = TKVItemClass::Bend;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVEffect> = TKVItemClass::Effect;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVMIDIEvent> = TKVItemClass::MIDIEvent;
template <>
inline constexpr TKVItemClass ItemClassOf<TKVSound> = TKVItemClass::Sound;

// The owner class of T, or Other for a class that owners are not told by.
template <class T>
inline constexpr TKVOwnerClass OwnerClassOf = TKVOwnerClass::Other;
template <>
inline constexpr TKVOwnerClass OwnerClassOf<TKVMeasure> = TKVOwnerClass::Measure;
template <>
inline constexpr TKVOwnerClass OwnerClassOf<TKVColumn> = TKVOwnerClass::Column;
template <>
inline constexpr TKVOwnerClass OwnerClassOf<TKVScore> = TKVOwnerClass::Score;
template <>
inline constexpr TKVOwnerClass OwnerClassOf<TKVPart> = TKVOwnerClass::Part;
template <>
inline constexpr TKVOwnerClass OwnerClassOf<TKVUserSymbol> = TKVOwnerClass::UserSymbol;

// Item as T (const or not), nil when it is not one: by the item's class for
// the element classes, else by dynamic_cast.
template <class T, class I>
  requires std::is_base_of_v<TKVItem, std::remove_const_t<I>>
T* ItemCast(I* Item) {
  using Plain = std::remove_const_t<T>;
  if constexpr (std::is_same_v<Plain, TKVItem>)
    return Item;
  else if constexpr (ItemClassOf<Plain> != TKVItemClass::Item)
    return Item && Item->ItemClass() == ItemClassOf<Plain> ? static_cast<T*>(Item) : nullptr;
  else
    return dynamic_cast<T*>(Item);
}

template <class T>
T* TKVItem::OwnerAs() const {
  if constexpr (std::is_base_of_v<TKVItem, T>)
    return ItemCast<T>(OwnerItem());
  else if constexpr (OwnerClassOf<std::remove_const_t<T>> != TKVOwnerClass::Other)
    return FOwnerClass == OwnerClassOf<std::remove_const_t<T>> ? static_cast<T*>(FOwner) : nullptr;
  else
    return dynamic_cast<T*>(FOwner);
}

#include "score/model/Persistent.h"

template <class T>
const T& TKVItem::SourceAs(const TKVItem& Source, const TKVItem& Target) {
  const auto* source = dynamic_cast<const T*>(&Source);
  if (!source) RaiseAssignError(Source, Target);
  return *source;
}
