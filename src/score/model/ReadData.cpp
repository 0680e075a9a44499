// The record readers of the score file, one per class of the tree and per
// element class. Each reads its class's record (a versioned frame around
// the data block and the class's later fields) when the score-file reader
// calls it. Until that reader exists they read nothing.

#include "score/model/Chord.h"
#include "score/model/Column.h"
#include "score/model/Frame.h"
#include "score/model/Image.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/OleObject.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Staff.h"
#include "score/model/UserSymbol.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

// ---- tree ----
void TKVPiece::ReadData(TStream&) {}
void TKVPart::ReadData(TStream&) {}
void TKVStaff::ReadData(TStream&) {}
void TKVVoice::ReadData(TStream&) {}
void TKVMeasure::ReadData(TStream&) {}
void TKVColumn::ReadData(TStream&) {}
void TKVUserSymbol::ReadData(TStream&) {}

// ---- elements ----
void TKVItem::ReadData(TStream&) {}
void TKVNote::ReadData(TStream&) {}
void TKVPause::ReadData(TStream&) {}
void TKVChord::ReadData(TStream&) {}
void TKVVorschlag::ReadData(TStream&) {}
void TKVLiga::ReadData(TStream&) {}
void TKVMark::ReadData(TStream&) {}
void TKVLyric::ReadData(TStream&) {}
void TKVBend::ReadData(TStream&) {}
void TKVFrame::ReadData(TStream&) {}
void TKVEffect::ReadData(TStream&) {}
void TKVImage::ReadData(TStream&) {}
void TKVLine::ReadData(TStream&) {}
void TKVRectangle::ReadData(TStream&) {}
void TKVArc::ReadData(TStream&) {}
void TKVText::ReadData(TStream&) {}
void TKVPageMark::ReadData(TStream&) {}
void TKVMIDIEvent::ReadData(TStream&) {}
void TKVSound::ReadData(TStream&) {}
void TKVOleObject::ReadData(TStream&) {}
