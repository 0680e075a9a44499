// What a note's notations and lyrics attach to it: slurs (paired by number
// within the part, even when the stop comes first), tuplet settings,
// articulations, fermatas, arpeggios, tablature string and fret, turns,
// accidental marks and lyric syllables.

#include <algorithm>
#include <deque>

#include "score/import/text/AnsiText.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Page.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Score.h"

namespace {

constexpr uint8_t AccentVariant = 3;
constexpr uint8_t ArticulationFlags = 0x10;

}  // namespace

bool TKVMusicXMLWalk::HandleNotation(TKVXMLElement Code) {
  switch (Code) {
    case xeNotations:
      if (ParentIs(xeNote, xeRest) && (FNote || FRest)) SetScope(Code);
      return true;
    case xeTied:
    case xeTuplet:
    case xeTechnical:
    case xeOrnaments:
      if (ParentIs(xeNotations)) SetScope(Code);
      return true;
    case xeArticulations:
      if (ParentIs(xeNotations) && FNote) SetScope(Code);
      return true;
    case xeSlur:
      if (ParentIs(xeNotations) && FNote) OnSlur();
      return true;
    case xeNumber:
    case xeDefaultX:
    case xeDefaultY:
    case xeBezierX:
    case xeBezierY:
    case xeOrientation:
      if (ParentIs(xeSlur) || (Code == xeOrientation && ParentIs(xeTied))) {
        OnSlurAttribute(Code);
        return true;
      }
      if (!ParentIs(xeLyric) || Code == xeBezierX || Code == xeBezierY || Code == xeOrientation) return false;
      OnLyricAttribute(Code);
      return true;
    case xeType:
    case xePlacement:
      if (ParentIs(xeSlur)) {
        OnSlurAttribute(Code);
      } else if (ParentIs(xeTuplet)) {
        if (Code == xeType)
          FTupletType = Text() == "stop" ? 2 : 1;
        else
          FTupletPlacement = Text() == "above" ? 1 : 2;
      } else if (Code == xeType && ParentIs(xeFermata)) {
        if (FMark && Text() == "upright") FMark->SetVariant(0);
        if (FMark && Text() == "inverted") FMark->SetVariant(1);
      } else {
        return false;
      }
      return true;
    case xeBracket:
      if (ParentIs(xeTuplet)) FBracketShown = Text() != "no";
      return true;
    case xeShowNumber:
      if (ParentIs(xeTuplet) && Text() == "none") FShowNumber = false;
      return true;
    case xeStaccato:
    case xePortamento:
      if (ParentIs(xeArticulations)) OnArticulation(Code == xeStaccato ? ItemKind::Staccato : ItemKind::Portamento, 0);
      return true;
    case xeAccent:
      if (ParentIs(xeArticulations) && FNote && FMeasure) {
        OnArticulation(ItemKind::Accent, AccentVariant);
        SetScope(Code);
      }
      return true;
    case xeFermata:
      if (ParentIs(xeNotations)) OnFermata();
      return true;
    case xeArpeggiate:
      if (ParentIs(xeNotations)) OnArpeggiate();
      return true;
    case xeString:
    case xeFret:
      if (ParentIs(xeTechnical)) OnTechnical(Code == xeFret);
      return true;
    case xeTurn:
      if (ParentIs(xeOrnaments)) OnTurn();
      return true;
    case xeAccidentalMark:
      if (ParentIs(xeOrnaments)) OnAccidentalMark();
      return true;
    case xeLyric:
      if (ParentIs(xeNote)) OnLyric();
      return true;
    case xeSyllabic:
      if (ParentIs(xeLyric) && FLyric && (Text() == "middle" || Text() == "end"))
        FLyric->Data().setU8(LyricBlock::Flags, FLyric->Data().u8(LyricBlock::Flags) | 1);
      return true;
    case xeText:
      if (!ParentIs(xeLyric)) return false;
      if (FLyric) FLyric->Lines().push_back(Utf8ToUtf16(Text()));
      return true;
    default:
      return false;
  }
}

// ---- slurs ----

void TKVMusicXMLWalk::OnSlur() {
  SetScope(xeSlur);
  FDefaultX = 0;
  FCurveX = FCurveY = 0;
  FAbove = false;
  FSlurType = 0;
}

void TKVMusicXMLWalk::OnSlurAttribute(TKVXMLElement Code) {
  switch (Code) {
    case xeNumber:
      FSlurNumber = Number(1);
      break;
    case xeType:
      FSlurType = Text() == "start" ? 0 : Text() == "stop" ? 1 : 2;
      break;
    case xePlacement:
      FAbove = Text() == "above";
      break;
    case xeOrientation:
      FAbove = Text() == "over";
      if (FSlur) FSlur->Data().setBit(LigaBlock::Flags, LigaFlag::OtherSide, !FAbove);
      break;
    case xeDefaultX:
      FDefaultX = TenthsOffset();
      break;
    case xeBezierX:
      FCurveX = TenthsOffset();
      break;
    case xeBezierY:
      FCurveY = TenthsOffset();
      break;
    default:
      break;
  }
}

// The slur's end offsets and curve once it is paired.
void TKVMusicXMLWalk::FinishSlur() {
  PairSlur();
  if (!FSlur) return;
  TByteBlock& data = FSlur->Data();
  const bool start = FSlurType == 0;
  if (FDefaultX != 0)
    data.setI16(start ? LigaBlock::FirstOffset : LigaBlock::SecondOffset, int16_t(FDefaultX - (start ? 32 : 16)));
  const size_t curve = start ? LigaBlock::FirstCurve : LigaBlock::SecondCurve;
  data.setI16(curve, FCurveX);
  data.setI16(curve + 2, Clamp16(-int32_t(FCurveY)));
  if (start) data.setBit(LigaBlock::Flags, LigaFlag::OtherSide, !FAbove);
}

// A start and a stop of the same number in the same part make one slur,
// owned by the starting note; a stop read first waits on its note, in no
// list, for the start.
void TKVMusicXMLWalk::PairSlur() {
  FSlur = nullptr;
  if (!FNote || FSlurType == 2) return;
  const uint16_t number = uint16_t(FSlurNumber);
  // The waiting slurs of the other type, the first first; dropped ones are passed over.
  std::deque<size_t>& waiting = FOpenSlurs[{FPart, number, uint8_t(FSlurType == 0 ? 1 : 0)}];
  while (!waiting.empty() && !Slurs[waiting.front()].Open) waiting.pop_front();
  if (waiting.empty()) {
    TKVLiga* slur;
    if (FSlurType == 0) {
      slur = new TKVLiga(FNote);
      slur->SetFlags(FNote->StemDown() ? 0 : 1);
    } else {
      TRegistrationPause<TKVNote> pause(*FNote);
      slur = new TKVLiga(FNote);
    }
    slur->SetDefaultOffsets();
    slur->Data().setU16(LigaBlock::Length, number);
    FOpenSlurs[{FMeasure->Part(), number, FSlurType}].push_back(Slurs.size());
    FNoteSlurs.push_back(Slurs.size());
    Slurs.push_back({slur, FSlurType == 0 ? nullptr : FNote, number, FSlurType, true});
    FSlur = slur;
    return;
  }
  FNoteSlurs.push_back(waiting.front());
  TKVXMLSlur& partner = Slurs[waiting.front()];
  waiting.pop_front();
  partner.Open = false;
  partner.Type = FSlurType;
  if (FSlurType == 0) {
    // The start takes the waiting slur over: a copy attached to this note
    // replaces it.
    auto* slur = new TKVLiga(FNote);
    slur->Assign(*partner.Slur);
    delete partner.Slur;
    partner.Slur = slur;
  } else {
    partner.EndNote = FNote;
  }
  FSlur = partner.Slur;
}

// ---- articulations and ornaments ----

TKVMark* TKVMusicXMLWalk::NewNoteMark(uint8_t Kind) {
  FMark = new TKVMark(FMeasure);
  FMark->SetKind(Kind);
  FMark->SetPosition(uint16_t(FTime));
  FMark->SetStaffVoice(FNote->StaffVoice());
  return FMark;
}

void TKVMusicXMLWalk::OnArticulation(uint8_t Kind, uint8_t Variant) {
  if (!FNote || !FMeasure) return;
  NewNoteMark(Kind)->SetFlags(ArticulationFlags);
  FMark->SetVariant(Variant);
}

void TKVMusicXMLWalk::OnFermata() {
  if (!FNote || !FMeasure) return;
  NewNoteMark(ItemKind::Fermata)->SetFlags(ArticulationFlags);
  SetScope(xeFermata);
}

// One arpeggio per voice and measure.
void TKVMusicXMLWalk::OnArpeggiate() {
  if (!FNote || !FMeasure) return;
  const uint8_t voice = FNote->StaffVoice();
  bool held = std::any_of(FMeasure->Items().begin(), FMeasure->Items().end(), [&](const TKVItem* item) {
    auto* mark = ItemCast<const TKVMark>(item);
    return mark && mark->Kind() == ItemKind::Arpeggio && mark->StaffVoice() == voice;
  });
  FMark = held ? nullptr : NewNoteMark(ItemKind::Arpeggio);
  if (FMark) FMark->SetValue(4);
  SetScope(xeArpeggiate);
}

void TKVMusicXMLWalk::OnTechnical(bool Fret) {
  if (!FNote) return;
  FNote->Data().setU8(Fret ? NoteBlock::Fret : NoteBlock::String, uint8_t(Number(0) + (Fret ? 1 : -1)));
}

void TKVMusicXMLWalk::OnTurn() {
  if (!FNote || !FMeasure) return;
  NewNoteMark(ItemKind::Turn);
  SetScope(xeTurn);
}

// A natural or sharp above the note, written with the music font's glyphs.
void TKVMusicXMLWalk::OnAccidentalMark() {
  if (!FNote || !FMeasure) return;
  FLyric = new TKVLyric(FMeasure);
  FLyric->SetKind(ItemKind::LyricText);
  FLyric->SetPosition(uint16_t(FTime));
  FLyric->SetStaffVoice(FNote->StaffVoice());
  FLyric->SetText(FScore.MusicFontName());
  FLyric->Data().setU8(LyricBlock::FontSize, 18);
  FLyric->Data().setI16(LyricBlock::OffsetX, Clamp16(48 - LineSpaceUnits(4)));
  FLyric->Lines().push_back(Text() == "natural" ? u"D" : Text() == "sharp" ? u"B" : u"");
  SetScope(xeAccidentalMark);
}

// ---- lyrics ----

void TKVMusicXMLWalk::OnLyric() {
  if (!FMeasure) return;
  SetScope(xeLyric);
  FLyric = new TKVLyric(FMeasure);
  FLyric->SetPosition(uint16_t(FTime));
  if (FNote) FLyric->SetStaffVoice(FNote->StaffVoice());
  // A lyric without a number is the first verse: left at offset 0 it stood
  // on the staff's top line.
  SetVerse(1);
}

void TKVMusicXMLWalk::SetVerse(int64_t Verse) {
  const long double lineSpace = FScore.Page().InternalValue(pvLineSpace);
  Verse = std::clamp<int64_t>(Verse, -1000, 1000);
  FLyric->Data().setI16(LyricBlock::OffsetY, Clamp16(PageUnits((Verse + 2) * lineSpace * 2)));
  FLyric->SetVerse(uint8_t(std::clamp<int64_t>(Verse - 1, 0, 255)));
}

// The verse number sets the line below the staff and the verse whose
// syllables the layout joins; a default-y, in tenths up from the staff's
// top line, moves the syllable to its own line once the lyric ends,
// whichever of the two comes first. Its default-x is not
// taken: the layout centres a syllable under its note already, and the
// exporters' default-x, measured right from the note's left edge, was
// turned to the left and set syllables a head's width left of their notes.
void TKVMusicXMLWalk::OnLyricAttribute(TKVXMLElement Code) {
  if (!FLyric) return;
  if (Code == xeNumber)
    SetVerse(Number(1));
  else if (Code == xeDefaultY)
    NoteOffset(Code);
}
