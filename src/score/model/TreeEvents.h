#pragma once
// The score events that the tree classes fire; each is fired only when the
// score exists and the handler is assigned.

class TObject;
class TKVScore;

void NotifyAddItem(TKVScore* Score, TObject* Sender, TObject* Owner);
void NotifyDeleteItem(TKVScore* Score, TObject* Sender, TObject* Owner);
void NotifyItemChanged(TKVScore* Score, TObject* Sender, TObject* Owner);
