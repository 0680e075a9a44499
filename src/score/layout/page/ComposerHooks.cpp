// The page composer's steps that the lyric room, marks across systems and
// the page end fill. Until then they leave the records as the composer made
// them.

#include "score/layout/page/PageComposer.h"

void LayoutLyricSyllables(TKVComposerContext&) {}
void LayoutSystemMarks(TKVComposerContext&) {}
void JustifyPage(TKVComposerContext&) {}
void AlignAttachedStaffLines(TKVComposerContext&) {}
void AddSystemBarItems(TKVComposerContext&) {}
void PositionPageItems(TKVComposerContext&) {}
