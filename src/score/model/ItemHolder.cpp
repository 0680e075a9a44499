#include "score/model/ItemHolder.h"

#include "score/model/Item.h"

void TKVItemHolder::FreeItems() { FItems.FreeAll(); }
