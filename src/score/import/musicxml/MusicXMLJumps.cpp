// Repeats, endings and jumps of the first part: endings become voltas with
// the passes they are played on, a repeat's times more repeat ends, and the
// sound element's jumps (and the words that name them) the segno, coda, D.C.,
// D.S. and fine marks of the play order.

#include <algorithm>
#include <memory>

#include "base/Strings.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/Column.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"

namespace {

constexpr uint8_t FineLink = 5;
// A fine ends the piece once a D.C. or D.S. has been taken.
constexpr uint16_t FineAfterJump = 2;
// More would only fill the play order's limits.
constexpr int32_t MaxRepeatTimes = 64;

bool HasDigit(const std::string& text) { return std::any_of(text.begin(), text.end(), ::isdigit); }

// The highest pass a number list names, 0 for none.
int32_t LastPass(const std::string& passes) {
  int32_t last = 0, value = 0;
  for (char c : passes + " ") {
    if (c >= '0' && c <= '9') {
      value = std::min(value * 10 + (c - '0'), 0xFFFF);
    } else {
      last = std::max(last, value);
      value = 0;
    }
  }
  return last;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

bool TKVMusicXMLWalk::HandleJumpName(const std::string& Name) {
  if (Name == "times") {
    if (ParentIs(xeRepeat)) OnRepeatTimes();
    return true;
  }
  const bool sound = ParentIs(xeSound);
  const bool sign = ParentIs(xeDirectionType) && (Name == "segno" || Name == "coda");
  if (!sound && !sign) return false;
  TKVXMLJumps* jumps = ColumnJumps();
  if (!jumps) return true;
  const uint16_t at = uint16_t(sign && FNext < FMeasureLength ? std::max(FNext, 0) : 0);
  if (Name == "segno")
    jumps->Segno = true, jumps->SegnoPosition = sign ? at : jumps->SegnoPosition;
  else if (Name == "coda")
    jumps->Coda = true, jumps->CodaPosition = sign ? at : jumps->CodaPosition;
  else if (Name == "tocoda")
    jumps->ToCoda = true, jumps->ToCodaAtStart = FNext == 0;
  else if (Name == "dacapo")
    jumps->DaCapo = jumps->DaCapo || SameText(Trim(Text()), "yes");
  else if (Name == "dalsegno")
    jumps->DalSegno = true;
  else if (Name == "fine")
    jumps->Fine = true, jumps->FinePosition = uint16_t(FNext);
  else
    return false;
  return true;
}

TKVXMLJumps* TKVMusicXMLWalk::ColumnJumps() {
  if (!FMeasure || !FPart || FPart->Index() != 0 || FMeasure->Index() < 0) return nullptr;
  return &FJumps[FMeasure->Index()];
}

// Words that name a jump: "D.C. al Fine", "D.S. al Coda", "To Coda", "Fine".
void TKVMusicXMLWalk::OnJumpWords(const std::string& Words) {
  TKVXMLJumps* jumps = ColumnJumps();
  if (!jumps) return;
  std::string text = LowerCase(Trim(Words));
  while (!text.empty() && (text.back() == '.' || text.back() == '!')) text.pop_back();
  if (StartsWith(text, "d.c") || StartsWith(text, "da capo")) {
    jumps->DaCapo = true;
  } else if (StartsWith(text, "d.s") || StartsWith(text, "dal segno")) {
    jumps->DalSegno = true;
  } else if (StartsWith(text, "to coda")) {
    jumps->ToCoda = true;
    jumps->ToCodaAtStart = FNext == 0;
  } else if (text == "fine") {
    jumps->Fine = true;
    jumps->FineText = FLyric;
  } else if (text == "coda") {
    jumps->Coda = true;
  } else if (text == "segno") {
    jumps->Segno = true;
  }
}

void TKVMusicXMLWalk::OnEnding() {
  SetScope(xeEnding);
  FEndingNumber.clear();
  FEndingOpened = false;
}

void TKVMusicXMLWalk::OnEndingNumber() {
  FEndingNumber = Text();
  if (FEndingOpened) FEndings.back().Passes = FEndingNumber;
}

// An ending closes at its stop or discontinue, or where the next one
// starts; a stop without a start is ignored.
void TKVMusicXMLWalk::OnEndingType() {
  if (!FMeasure || FMeasure->Index() < 0) return;
  const int32_t column = FMeasure->Index();
  const std::string type = Trim(Text());
  TKVXMLEnding* open = !FEndings.empty() && FEndings.back().Open ? &FEndings.back() : nullptr;
  if (type == "start") {
    if (open) open->Last = std::max(open->First, column - 1), open->Open = false;
    FEndings.push_back({column, column, FEndingNumber, true});
    FEndingOpened = true;
  } else if ((type == "stop" || type == "discontinue") && open) {
    open->Last = std::max(open->First, column);
    open->Open = false;
    open->Closed = type == "stop";
  }
}

void TKVMusicXMLWalk::OnRepeatTimes() {
  if (FMark) FRepeatTimes.emplace_back(FMark, std::clamp(Number(2), 0, MaxRepeatTimes));
}

void TKVMusicXMLWalk::PlaceJumps() {
  PlaceEndings();
  // A repeat end plays its range once each: n times through take n - 1,
  // and one time through none.
  for (auto [mark, times] : FRepeatTimes) {
    if (mark->Kind() != ItemKind::RepeatEnd) continue;
    if (times < 2) mark->SetKind(ItemKind::DoubleBar);
    for (int32_t i = 2; i < times; ++i) {
      auto* again = new TKVMark(mark->Owner());
      again->SetKind(ItemKind::RepeatEnd);
      again->SetPosition(mark->Position());
    }
  }
  const TKVPart* first = FPiece.GetPart(0);
  for (auto& [index, jumps] : FJumps) {
    auto add = [&](int32_t column, uint8_t kind, uint16_t position = 0) {
      auto* mark = new TKVMark(EnsureColumn(column));
      mark->SetKind(kind);
      mark->SetPosition(position);
      // Signs stand above the staff, clear of the notes in it.
      if (kind == ItemKind::Segno || kind == ItemKind::Coda) mark->SetOffsetY(Clamp16(-int64_t(LineSpaceUnits(2))));
    };
    if (jumps.Segno) add(index, ItemKind::Segno, jumps.SegnoPosition);
    if (jumps.Coda) add(index, ItemKind::Coda, jumps.CodaPosition);
    // The measures from the one after the jump up to the coda are left out
    // on the way back: a coda mark opens and closes the part skipped.
    if (jumps.ToCoda) add(jumps.ToCodaAtStart ? index : index + 1, ItemKind::Coda);
    if (jumps.DalSegno || jumps.DaCapo) add(index, jumps.DalSegno ? ItemKind::DalSegno : ItemKind::DaCapo);
    TKVMeasure* measure = first ? first->GetMeasure(index) : nullptr;
    if (!jumps.Fine || !measure) continue;
    TKVLyric* text = jumps.FineText;
    if (!text) {
      text = new TKVLyric(measure);
      text->SetKind(ItemKind::LyricText);
      text->Lines().push_back(u"Fine");
      text->SetPosition(jumps.FinePosition);
    }
    auto link = std::make_unique<TKVDynamicsSetting>();
    link->SetAction(FineLink, 0, FineAfterJump);
    text->SetDynamics(std::move(link));
  }
}

// One volta over the columns of an ending (the layout carries it onto each
// of them, so that the play order takes every measure of it on its passes
// only), standing four line spaces above the staff, clear of the measure
// number. An ending without numbers follows the one that ends just before
// it, or is the first.
void TKVMusicXMLWalk::PlaceEndings() {
  int32_t previousLast = -2, previousPass = 0;
  for (const TKVXMLEnding& ending : FEndings) {
    std::string passes = ending.Passes;
    if (!HasDigit(passes)) passes = std::to_string(ending.First == previousLast + 1 ? previousPass + 1 : 1);
    previousLast = ending.Last;
    previousPass = LastPass(passes);
    if (ending.Last < ending.First) continue;
    auto* volta = new TKVMark(EnsureColumn(ending.First));
    volta->SetKind(ItemKind::Volta);
    volta->SetValue(uint16_t(std::clamp<int32_t>(ending.Last - ending.First + 1, 1, UINT16_MAX)));
    volta->SetText2(passes);
    // Above the staff, with room for its number under the line; a closed
    // ending hooks down a line space at its right end.
    volta->SetOffsetY(Clamp16(-int64_t(LineSpaceUnits(4))));
    if (ending.Closed) volta->SetTextY(Clamp16(LineSpaceUnits(1)));
  }
}
