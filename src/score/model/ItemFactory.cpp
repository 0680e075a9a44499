#include "score/model/ItemFactory.h"

#include "score/model/Item.h"

// No element class is registered yet: every kind yields nil until the
// element classes (notes, rests, marks, texts, drawings ...) are added here.
TKVItem* CreateItemByKind(uint8_t, TObject*) { return nullptr; }
