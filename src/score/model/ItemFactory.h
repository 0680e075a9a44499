#pragma once
// The one way items are created when copying or reading: the kind byte picks
// the element class. A kind without a class gives nil and creates nothing.

#include <cstdint>

#include "score/model/ChildList.h"

class TObject;
class TKVItem;

// Creates the element of Kind's class owned by Owner (it registers itself)
// and sets its kind.
TKVItem* CreateItemByKind(uint8_t Kind, TObject* Owner);
// True when Kind has an element class.
bool KindHasClass(uint8_t Kind);
// Appends to Owner a copy of every item of Source in order; items of a kind
// without a class are passed over.
void CloneItems(const TKVChildList<TKVItem>& Source, TObject* Owner);
