// The page composer's steps that the page-bound objects, lyric room, marks
// across systems and the page end fill. Until then they leave the records
// as the composer made them; the page objects are emptied for every page.

#include "score/layout/page/PageComposer.h"

void LayoutPageObjects(TKVComposerContext& Ctx) { Ctx.Page->PageObjectCount = 0; }
void LayoutLyricSyllables(TKVComposerContext&) {}
void LayoutSystemMarks(TKVComposerContext&) {}
void JustifyPage(TKVComposerContext&) {}
void AlignAttachedStaffLines(TKVComposerContext&) {}
void AddSystemBarItems(TKVComposerContext&) {}
void PositionPageItems(TKVComposerContext&) {}
