#include "score/model/UserSymbol.h"

TKVUserSymbol::~TKVUserSymbol() { FreeItems(); }
