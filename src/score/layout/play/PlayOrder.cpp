#include "score/layout/play/PlayOrder.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/play/TieLinks.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Piece.h"
#include "score/model/RepeatNumber.h"
#include "score/model/Score.h"

namespace {

constexpr uint8_t JumpLink = 4, FineLink = 5;
constexpr uint8_t KeepVoltaFlag = 0x02;  // of the score's flag word
// Records a piece's replays and repeat-start searches may visit: far beyond
// any real score, small enough to end at once when repeat ends without
// starts multiply.
constexpr int64_t MaxRecordVisits = int64_t(1) << 20;

// The link record of a jump mark or a text, or nil.
const TKVDynamicsSetting* LinkOf(const TKVItem* Mark) {
  if (Mark->Kind() == ItemKind::DynamicSymbol)
    if (auto* mark = ItemCast<const TKVMark>(Mark)) return mark->Dynamics();
  if (Mark->Kind() == ItemKind::LyricText)
    if (auto* text = ItemCast<const TKVLyric>(Mark)) return text->Dynamics();
  return nullptr;
}

const TKVDynamicsSetting* LinkOf(const TKVItem* Mark, uint8_t Kind) {
  const TKVDynamicsSetting* link = LinkOf(Mark);
  return link && link->ActionKind() == Kind ? link : nullptr;
}

int16_t LinkValue(const TKVDynamicsSetting& Link) { return int16_t(Link.SecondValue()); }

// Case-insensitive (ASCII letters) comparison of a text line with a label.
bool SameLabel(const std::u16string& Line, const std::string& Label) {
  auto fold = [](uint32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
  if (Line.size() != Label.size()) return false;
  for (size_t i = 0; i < Line.size(); ++i)
    if (fold(Line[i]) != fold(uint8_t(Label[i]))) return false;
  return true;
}

class TPlayOrder {
public:
  TPlayOrder(TKVScore& Score, TKVPiece& Piece, double& ScoreTime)
      : FLayout(Piece.Layout()),
        FScoreTime(ScoreTime),
        FSeparate(Piece.Data().u8(PieceBlock::Separate) != 0),
        FKeepVolta((Score.Flags() & KeepVoltaFlag) != 0) {}

  void Build();

private:
  TKVMeasureRecord& Record(int32_t I) { return *FLayout.MeasureRecords[size_t(I)]; }
  bool PlaysFull() const { return FLayout.PlayCount >= MaxPlaysPerPiece; }
  // No more replays: the plays are full or the work is used up.
  bool Exhausted() const { return PlaysFull() || FVisits >= MaxRecordVisits; }
  // The record has no volta, or its volta takes the pass after the counter.
  bool Playable(const TKVMeasureRecord& R) const {
    return !R.Volta || CompareRepeatNumber(ItemCast<const TKVMark>(R.Volta), FPass + 1) == 0;
  }
  void AddPlay(int32_t Index);
  void RepeatMeasure(int32_t Index, const TKVItem& Mark);
  // Plays record Index on the way through the piece; Next is where the way
  // goes on (back to a repeat's start when one is taken).
  bool PlayMeasure(int32_t Index, int32_t& Next);
  bool PlayMeasureMarks(int32_t Index, bool Played, int32_t& Next);
  // Whether the repeat end Mark of record Index goes back now, and where to.
  bool TakeRepeat(int32_t Index, const TKVItem& Mark, int32_t& Next);
  // The first record of the run of records with voltas that holds Index;
  // -1 when Index has no volta.
  int32_t VoltaRunStart(int32_t Index);
  bool VoltaRunTakes(int32_t Index, int32_t Pass);
  // A jump back to Target: the replay starts at pass 0 unless the score
  // keeps the volta passes on jumps. Replays nothing once Result is false.
  void JumpBack(const TKVItem& Mark, int32_t Target, int32_t Index, bool& Result);
  bool PlayRange(const TKVItem& Mark, int32_t First, int32_t Last);
  int32_t FindRepeatStart(int32_t N);
  int32_t FindMarkBackwards(int32_t N, uint8_t Kind);
  int32_t FindLabel(int32_t N, const std::string& Label);
  int32_t JumpTarget(const TKVDynamicsSetting& Link, int32_t N);

  TKVPieceLayoutRecords& FLayout;
  double& FScoreTime;
  double FPieceTime = 0;
  const bool FSeparate;
  const bool FKeepVolta;
  int16_t FPass = 0;   // repeat pass of the replay being made
  int16_t FJumps = 0;  // D.C. and D.S. jumps taken
  std::vector<const TKVItem*> FActiveRanges;  // marks whose ranges are being replayed
  int64_t FVisits = 0;
  int32_t FReached = 0;  // records the way has reached
  int32_t FLastRepeatEnd = -1;
  std::vector<int32_t> FRunStarts;  // by record: where its run of voltas starts, -1 without a volta
  // On the way through: the repeat ends that went back since their record
  // was last passed, the record a repeat went back to (its start does not
  // lower the pass again), and a pass count to drop once the way leaves the
  // endings or the repeat it belongs to.
  std::unordered_set<const TKVItem*> FTaken;
  int32_t FArrivedAt = -1;
  bool FPassEnds = false;
};

void TPlayOrder::AddPlay(int32_t Index) {
  if (PlaysFull()) return;
  std::vector<std::unique_ptr<TKVPlayRecord>>& plays = FLayout.PlayRecords;
  if (plays.size() <= size_t(FLayout.PlayCount)) plays.push_back(std::make_unique<TKVPlayRecord>());
  TKVPlayRecord& play = *plays[size_t(FLayout.PlayCount++)];
  const TKVMeasureRecord& R = Record(Index);
  play = TKVPlayRecord{};
  play.Measure = uint32_t(Index);
  play.VoltaPass = uint8_t(FPass);
  play.StartTime = FSeparate ? FPieceTime : FScoreTime;
  if (!FSeparate) FScoreTime += R.Duration;
  FPieceTime += R.Duration;
}

// A measure-repeat sign plays its measure count - 1 more times.
void TPlayOrder::RepeatMeasure(int32_t Index, const TKVItem& Mark) {
  auto* mark = ItemCast<const TKVMark>(&Mark);
  for (int32_t i = 1; mark && i < mark->Value() && !PlaysFull(); ++i) AddPlay(Index);
}

bool TPlayOrder::PlayMeasure(int32_t Index, int32_t& Next) {
  TKVMeasureRecord& R = Record(Index);
  const bool first = Index >= FReached;
  if (first) R.StartTime = FSeparate ? FPieceTime : FScoreTime;
  if (!R.Volta && FPassEnds) FPass = 0, FPassEnds = false;
  // An ending that no repeat end comes after can never be gone back to: it
  // plays on the way through, whatever its passes.
  const bool played = Playable(R) || VoltaRunStart(Index) > FLastRepeatEnd;
  if (played) AddPlay(Index);
  // An ending's pass count ends with the endings.
  if (played && R.Volta) FPassEnds = true;
  // A measure the walk does not play points at the play before it.
  if (first) R.PlayIndex = uint16_t(std::max(FLayout.PlayCount - 1, 0));
  return PlayMeasureMarks(Index, played, Next);
}

int32_t TPlayOrder::VoltaRunStart(int32_t Index) {
  return size_t(Index) < FRunStarts.size() ? FRunStarts[size_t(Index)] : -1;
}

bool TPlayOrder::VoltaRunTakes(int32_t Index, int32_t Pass) {
  const int32_t count = int32_t(FLayout.MeasureRecords.size());
  // The search counts as work: long runs of endings gone back to many times
  // end with the piece's work.
  for (int32_t i = VoltaRunStart(Index); i >= 0 && i < count && Record(i).Volta && !Exhausted(); ++i, ++FVisits)
    if (CompareRepeatNumber(ItemCast<const TKVMark>(Record(i).Volta), Pass) == 0) return true;
  return false;
}

// A repeat end in an ending goes back for as long as an ending of its run
// takes the next pass; any other goes back once each time the way reaches
// it (a repeat played n times has n - 1 repeat ends). A repeat inside one
// ending does not count the ending's passes.
bool TPlayOrder::TakeRepeat(int32_t Index, const TKVItem& Mark, int32_t& Next) {
  if (FPass >= INT16_MAX - 1) return false;
  const int32_t start = FindRepeatStart(Index), run = VoltaRunStart(Index);
  if (run >= 0 && start < run) {
    if (!VoltaRunTakes(Index, FPass + 2)) return false;
    ++FPass;
  } else {
    if (!FTaken.insert(&Mark).second) return false;
    if (run < 0) ++FPass;
  }
  FPassEnds = false;
  FArrivedAt = Next = start;
  return true;
}

void TPlayOrder::JumpBack(const TKVItem& Mark, int32_t Target, int32_t Index, bool& Result) {
  if (!FKeepVolta) FPass = -1;
  Result = Result && PlayRange(Mark, Target, Index);
}

// A jump back: D.C., D.S. or a mark or text with a jump link.
bool IsJump(const TKVItem* Mark) {
  return Mark->Kind() == ItemKind::DaCapo || Mark->Kind() == ItemKind::DalSegno || LinkOf(Mark, JumpLink);
}

bool TPlayOrder::PlayMeasureMarks(int32_t Index, bool Played, int32_t& Next) {
  bool result = true, repeatEnd = false;
  // A repeat written in the measure of a jump is played first, then the
  // jump is taken (MusicXML's order), wherever the marks stand in it.
  std::vector<const TKVItem*> marks(Record(Index).PlayMarks.begin(), Record(Index).PlayMarks.end());
  std::stable_partition(std::find_if(marks.begin(), marks.end(), IsJump), marks.end(),
                        [](const TKVItem* mark) { return mark->Kind() == ItemKind::RepeatEnd; });
  for (const TKVItem* mark : marks) {
    switch (mark->Kind()) {
      case ItemKind::RepeatStart:
        // Not on the way back to it, and not inside an ending, whose passes
        // are those of the repeat around it.
        if (FPass > 0 && Index != FArrivedAt && !Record(Index).Volta) --FPass;
        break;
      case ItemKind::RepeatEnd:
        // An ending not taken on this pass has no repeat to go back by.
        if (!Played) break;
        repeatEnd = true;
        if (TakeRepeat(Index, *mark, Next)) return result;
        break;
      case ItemKind::FinalBar:
        FPass = 0;
        break;
      case ItemKind::DynamicSymbol:
      case ItemKind::LyricText:
        if (const TKVDynamicsSetting* jump = LinkOf(mark, JumpLink)) {
          JumpBack(*mark, JumpTarget(*jump, Index), Index, result);
        } else if (const TKVDynamicsSetting* fine = LinkOf(mark, FineLink);
                   fine && mark->Kind() == ItemKind::LyricText && FJumps >= LinkValue(*fine) - 1) {
          return false;
        }
        break;
      case ItemKind::MultiMeasureRest:
        RepeatMeasure(Index, *mark);
        break;
      case ItemKind::DaCapo:
      case ItemKind::DalSegno:
        ++FJumps;
        JumpBack(*mark, mark->Kind() == ItemKind::DaCapo ? 0 : FindMarkBackwards(Index, ItemKind::Segno), Index,
                 result);
        break;
      default:
        break;
    }
  }
  // The repeat is done: its pass count ends when the way leaves it.
  if (repeatEnd) FPassEnds = true;
  return result;
}

bool TPlayOrder::PlayRange(const TKVItem& Mark, int32_t First, int32_t Last) {
  // A mark never replays a range it is replaying already: two repeat ends
  // of different owners in one measure would start each other for ever.
  if (Exhausted() || FActiveRanges.size() >= size_t(MaxRangeDepth) ||
      std::find(FActiveRanges.begin(), FActiveRanges.end(), &Mark) != FActiveRanges.end())
    return true;
  ++FPass;
  if (Last < First) return true;
  FActiveRanges.push_back(&Mark);
  bool skipping = false, result = true;
  for (int32_t k = First; k <= Last && result && !Exhausted(); ++k) {
    ++FVisits;
    const TKVMeasureRecord& R = Record(k);
    if (R.Coda) skipping = !skipping;
    if (!skipping && Playable(R)) AddPlay(k);
    // Measure repeats, fines and nested repeat ends act also while a coda
    // pair skips the measures.
    for (const TKVItem* mark : R.PlayMarks) {
      const uint8_t kind = mark->Kind();
      if (kind == ItemKind::MultiMeasureRest) {
        RepeatMeasure(k, *mark);
      } else if (const TKVDynamicsSetting* fine = kind == ItemKind::LyricText ? LinkOf(mark, FineLink) : nullptr;
                 fine && FJumps >= LinkValue(*fine) - 1) {
        result = false;
        break;
      } else if (kind == ItemKind::RepeatEnd && mark != &Mark && mark->Owner() != Mark.Owner()) {
        result = result && PlayRange(*mark, FindRepeatStart(k), k);
      }
    }
  }
  FActiveRanges.pop_back();
  return result;
}

int32_t TPlayOrder::FindRepeatStart(int32_t N) {
  int32_t nesting = 0;
  for (int32_t i = N; i >= 0; --i, ++FVisits) {
    const std::vector<TKVItem*>& marks = Record(i).PlayMarks;
    // A measure's repeat ends close after its repeat starts open: walking
    // back, they come first.
    if (i < N)
      nesting += int32_t(std::count_if(marks.begin(), marks.end(), [](const TKVItem* m) { return m->Kind() == ItemKind::RepeatEnd; }));
    for (const TKVItem* mark : marks)
      if (mark->Kind() == ItemKind::RepeatStart && nesting-- == 0) return i;
  }
  return 0;
}

int32_t TPlayOrder::FindMarkBackwards(int32_t N, uint8_t Kind) {
  for (int32_t i = N; i >= 0; --i)
    for (const TKVItem* mark : Record(i).PlayMarks)
      if (mark->Kind() == Kind) return i;
  return 0;
}

int32_t TPlayOrder::FindLabel(int32_t N, const std::string& Label) {
  for (int32_t i = N; i >= 0; --i)
    for (const TKVItem* mark : Record(i).PlayMarks) {
      auto* text = mark->Kind() == ItemKind::LyricText ? ItemCast<const TKVLyric>(mark) : nullptr;
      if (text && !text->Lines().empty() && SameLabel(text->Lines().front(), Label)) return i;
    }
  return 0;
}

int32_t TPlayOrder::JumpTarget(const TKVDynamicsSetting& Link, int32_t N) {
  switch (Link.FirstValue()) {
    case 0:
      return 0;
    case 1:
      for (int32_t i = 0; i < N; ++i)
        if (Record(i).MeasureNumber >= LinkValue(Link)) return i;
      return N;
    default:
      return FindLabel(N, Link.Text);
  }
}

void TPlayOrder::Build() {
  FLayout.PlayCount = 0;
  FPieceTime = FScoreTime;
  const int32_t records = int32_t(FLayout.MeasureRecords.size());
  const int32_t toPlay = std::min(FLayout.MeasuresToPlay, records);
  for (int32_t i = 0; i < records; ++i) {
    FRunStarts.push_back(!Record(i).Volta ? -1 : i > 0 && Record(i - 1).Volta ? FRunStarts.back() : i);
    for (const TKVItem* mark : Record(i).PlayMarks)
      if (mark->Kind() == ItemKind::RepeatEnd && i < toPlay) FLastRepeatEnd = i;
  }
  for (int32_t m = 0; m < toPlay && !Exhausted(); ++FVisits) {
    int32_t next = m + 1;
    const bool goOn = PlayMeasure(m, next);
    FReached = std::max(FReached, m + 1);
    if (!goOn) break;  // a fine ends the piece
    if (next == m + 1) {
      // Passed: its repeat ends go back again when the way comes round.
      for (const TKVItem* mark : Record(m).PlayMarks) FTaken.erase(mark);
      FArrivedAt = -1;
    }
    m = next;
  }
  const int32_t m = FReached;
  for (int32_t k = 1; k < FLayout.PlayCount; ++k)
    LinkTiesAcrossJumps(Record(int32_t(FLayout.PlayRecords[size_t(k - 1)]->Measure)),
                        Record(int32_t(FLayout.PlayRecords[size_t(k)]->Measure)));
  // Measures the walk did not reach (past a fine, or not to be played) start
  // where the piece ends, so that times never run backwards.
  const double end = FSeparate ? FPieceTime : FScoreTime;
  for (int32_t i = m; i < std::min(FLayout.MeasureRecordCount, records); ++i) Record(i).StartTime = end;
  FLayout.RunningTime = FPieceTime;
}

}  // namespace

void BuildPlayOrder(TKVScore& Score) {
  double& scoreTime = ScoreLayoutRecords(Score).RunningTime;
  scoreTime = 0;
  for (int32_t i = 0; i < Score.GetPieceCount(); ++i) TPlayOrder(Score, *Score.GetPiece(i), scoreTime).Build();
}
