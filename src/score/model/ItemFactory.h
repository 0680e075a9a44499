#pragma once
// The one way items are created when copying or reading: the kind byte picks
// the element class. A kind without a class gives nil and creates nothing.

#include <cstdint>

class TObject;
class TKVItem;

TKVItem* CreateItemByKind(uint8_t Kind, TObject* Owner);
