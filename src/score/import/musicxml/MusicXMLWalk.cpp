#include "score/import/musicxml/MusicXMLWalk.h"

#include <algorithm>
#include <limits>

#include "base/Exceptions.h"
#include "base/Strings.h"
#include "score/model/DisplayUnits.h"
#include "score/model/Liga.h"
#include "score/model/Note.h"
#include "score/model/Page.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace {

// Elements whose handler only stores their code.
bool IsScopeOnly(TKVXMLElement code) {
  return (code >= xeScorePartwise && code <= xeEndParagraph && code != xeBracket) || code == xeWork ||
         code == xeIdentification || code == xePartList || code == xeDefaults || code == xeBackup ||
         code == xeForward;
}

// Elements that clear their level like an unknown name does.
bool ClearsScope(TKVXMLElement code) {
  return code == xeNone || code == xeDoubleDot || code == xeStealTimePrevious || code == xeStealTimeFollowing;
}

}  // namespace

TKVMusicXMLWalk::TKVMusicXMLWalk(TKVScore& Score, TKVPiece& Piece, const TKVXMLEntryList& List)
    : FScore(Score), FPiece(Piece), FList(List), FScopes(size_t(std::max(List.MaxDepth, 0)) + 1, 0) {}

void TKVMusicXMLWalk::Run() {
  // The first staff distance of the piece gets room for the header.
  std::vector<uint16_t>& distances = FPiece.SpacingArray(0);
  if (distances.empty()) distances.push_back(0);
  distances[0] = uint16_t(distances[0] + 160);
  LineSpace8 = LineSpaceUnits(1);

  int32_t previous = 0;
  for (FIndex = FList.Root; FIndex < FList.Top() && !FStopped; ++FIndex) {
    FEntry = &FList.Entries[FIndex];
    FDepth = std::max(FEntry->Depth, 0);
    if (FDepth < previous) CloseLevels(previous - 1, FDepth);
    Handle(LookupXMLElement(FEntry->Name));
    previous = FDepth;
  }
  // The last note of the document, or of an early end, is settled like any other.
  CloseLevels(previous - 1, 0);
  FinishBarline();  // an empty barline's level was never closed
  PlaceJumps();

  // A stop that never met its start hangs on its note only as an end and is
  // in no list: release it here, with the slurs that went with their notes.
  std::erase_if(Slurs, [](const TKVXMLSlur& s) {
    if (!s.Slur) return true;
    auto* owner = s.Slur->OwnerAs<TKVNote>();
    if (s.Type == 0 || (owner && owner->Items().Contains(s.Slur))) return false;
    delete s.Slur;
    return true;
  });
  FOpenSlurs.clear();
}

void TKVMusicXMLWalk::CloseLevels(int32_t From, int32_t To) {
  for (int32_t level = From; level >= To; --level) {
    uint8_t code = ScopeAt(level);
    if (TakesOffsets(code)) ApplyOffsets(code);
    if (code == xeNote || code == xeRest) {
      if (!FinishNote()) continue;
    } else if (code == xeSlur) {
      FinishSlur();
    } else if (code == xeWedge) {
      FinishWedge();
    } else if (code == xeBarline) {
      FinishBarline();
    } else if (code == xeDirection) {
      FinishDirection();
    }
    SetScopeAt(level, 0);
  }
}

uint8_t TKVMusicXMLWalk::ScopeAt(int32_t Depth) const {
  return Depth >= 0 && size_t(Depth) < FScopes.size() ? FScopes[size_t(Depth)] : 0;
}

void TKVMusicXMLWalk::SetScopeAt(int32_t Depth, uint8_t Code) {
  if (Depth >= 0 && size_t(Depth) < FScopes.size()) FScopes[size_t(Depth)] = Code;
}

void TKVMusicXMLWalk::Handle(TKVXMLElement Code) {
  if (Code == xeNone && HandleJumpName(LowerCase(Trim(FEntry->Name)))) {
    SetScope(0);
    return;
  }
  if (ClearsScope(Code)) {
    // An unpitched note is placed where its display step and octave say.
    bool unpitched = Code == xeNone && ParentIs(xeNote) && SameText(Trim(FEntry->Name), "unpitched");
    SetScope(unpitched ? XMLScopeUnpitched : 0);
    FUnpitched = FUnpitched || unpitched;
    return;
  }
  if (HandleHeader(Code) || HandleMeasure(Code) || HandleLayout(Code) || HandleNote(Code) ||
      HandleNotation(Code) || HandleDirection(Code))
    return;
  if (IsScopeOnly(Code)) SetScope(Code);
}

int32_t TKVMusicXMLWalk::Number(int32_t Default) const {
  long long value = 0;
  if (!TryStrToInt(Trim(Text()), value)) return Default;
  return int32_t(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

long double TKVMusicXMLWalk::Decimal() const {
  std::string text = Trim(Text());
  double value = 0;
  if (!TryStrToFloat(text, value)) throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

// Exporters write positions as decimals ("-80.00", "6.58"): each is taken to
// the nearest whole tenth (halves to even) before the integer arithmetic.
// Read as whole numbers they all became 0, which drew verses on their staff
// and over each other. Text that is no number counts as 0.
int16_t TKVMusicXMLWalk::TenthsOffset() const {
  double tenths = 0;
  if (!TryStrToFloat(Text(), tenths)) return 0;
  return Clamp16(int64_t(RoundExtended(tenths)) * 24 / 5);
}

long double TKVMusicXMLWalk::Scaled() const { return Decimal() * FMillimeters * 10 / FTenths; }

int32_t TKVMusicXMLWalk::PageUnits(long double Tenths) {
  return RoundExtended(Tenths * ScreenPixelsPerInch / 254) * 8;
}

int32_t TKVMusicXMLWalk::LineSpaceUnits(int32_t Spaces) const {
  return PageUnits(FScore.Page().InternalValue(pvLineSpace) * Spaces);
}
