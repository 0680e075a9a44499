// The score tree as a whole: building, walking and freeing it, with the
// exact sequence of score events, and the consistency of the lists when
// parts of it are freed on their own.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "base/Exceptions.h"
#include "score/model/Column.h"
#include "score/model/Lyric.h"
#include "score/model/Liga.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"
#include "support/Raised.h"

namespace {

using Entries = std::vector<std::string>;

// Names an object by its place in the tree, as it stands when the event fires.
std::string Describe(const TObject* object) {
  if (!object) return "nil";
  if (dynamic_cast<const TKVPiece*>(object)) return "piece";
  if (auto* part = dynamic_cast<const TKVPart*>(object)) return "part" + std::to_string(part->Index());
  if (auto* staff = dynamic_cast<const TKVStaff*>(object))
    return "staff" + std::to_string(staff->Part()->Index()) + "." + std::to_string(staff->Index());
  if (auto* voice = dynamic_cast<const TKVVoice*>(object))
    return "voice" + Describe(voice->Staff()).substr(5) + "/" + std::to_string(voice->Index());
  return "other";
}

// Records every tree event of a score into a journal.
void Record(TKVScore& score, TEventJournal& journal) {
  score.OnAddItem = [&journal](TObject* s, TObject* o) { journal.Add("add " + Describe(s) + " " + Describe(o)); };
  score.OnDeleteItem = [&journal](TObject* s, TObject* o) {
    journal.Add("delete " + Describe(s) + " " + Describe(o));
  };
  score.OnItemChanged = [&journal](TObject* s, TObject* o) {
    journal.Add("changed " + Describe(s) + " " + Describe(o));
  };
}

struct TTree {
  TKVPiece* piece;
  TKVPart* parts[2];
  TKVStaff* staves[2];  // of part 0
  TKVVoice* own0;       // first voice of staff 0.0
  TKVVoice* cross;      // second voice of staff 0.0, also written on staff 0.1
  TKVVoice* own1;       // voice of staff 0.1
  TKVMeasure* measures[2];  // of part 0
  TKVNote* notes[2];        // one per measure of part 0
};

// Score -> piece -> 2 parts; part 0 with 2 staves, 3 voices (one of them a
// guest on the second staff), 2 measures with a note each carrying a tie
// and a lyric; part 1 with one staff, one voice, two measures.
TTree Build(TKVScore& score) {
  TTree t{};
  t.piece = score.NewPiece();
  t.parts[0] = t.piece->NewPart();
  t.parts[1] = t.piece->NewPart();
  t.staves[0] = t.parts[0]->NewStaff();
  t.staves[1] = t.parts[0]->NewStaff();
  t.own0 = t.staves[0]->NewVoice();
  t.own1 = t.staves[1]->NewVoice();
  t.cross = t.staves[0]->NewVoice();
  t.cross->SetSecondStaff(t.staves[1]);
  t.staves[1]->AddVoice(t.cross, -1);
  t.parts[1]->NewStaff()->NewVoice();
  for (int m = 0; m < 2; ++m) {
    t.measures[m] = t.parts[0]->NewMeasure();
    t.parts[1]->NewMeasure();
    t.notes[m] = new TKVNote(t.measures[m]);
    t.notes[m]->SetText("n" + std::to_string(m));
    new TKVLiga(t.notes[m]);
    new TKVLyric(t.notes[m]);
  }
  return t;
}

class TreeLifecycle : public ::testing::Test {
protected:
  TreeLifecycle() { Record(*score, journal); }
  TEventJournal journal;
  TFakeLayoutScope layout;
  std::unique_ptr<TKVScore> score = std::make_unique<TKVScore>();
};

TEST_F(TreeLifecycle, BuildingAnnouncesEveryPartStaffAndVoiceInOrder) {
  Build(*score);
  EXPECT_EQ(journal.Entries(), (Entries{
                                   "add piece nil",
                                   "add part0 nil",
                                   "add part1 nil",
                                   "add staff0.0 nil",
                                   // the second staff takes its place, then is announced
                                   "changed staff0.1 nil",
                                   "add staff0.1 nil",
                                   "add voice0.0/0 nil",
                                   // the voice numbering over the part moves the new voice to 1
                                   "changed voice0.1/0 nil",
                                   "add voice0.1/0 nil",
                                   // a voice before it in part order renumbers the voice of staff 0.1
                                   "changed voice0.0/1 nil",
                                   "changed voice0.1/0 nil",
                                   "add voice0.0/1 nil",
                                   // the guest is announced with its second staff as owner
                                   "add voice0.0/1 staff0.1",
                                   "add staff1.0 nil",
                                   "add voice1.0/0 nil",
                               }));
}

TEST_F(TreeLifecycle, WalkingFindsEveryLinkInPlace) {
  TTree t = Build(*score);
  ASSERT_EQ(score->GetPieceCount(), 1);
  EXPECT_EQ(t.piece->GetPartCount(), 2);
  EXPECT_EQ(t.parts[0]->GetStaffCount(), 2);
  EXPECT_EQ(t.staves[0]->GetVoiceCount(), 2);
  ASSERT_EQ(t.staves[1]->GetVoiceCount(), 2);
  EXPECT_EQ(t.staves[1]->GetVoice(1), t.cross);
  // The guest keeps the index of its own staff; its place in the second
  // staff is asked for separately.
  EXPECT_EQ(t.cross->Index(), 1);
  EXPECT_EQ(t.cross->GetIndex(t.staves[1]), 1);
  EXPECT_EQ(t.cross->GetIndex(nullptr), 1);
  EXPECT_EQ(t.own1->Index(), 0);
  // The part numbers own voices in staff order and lists each once.
  EXPECT_EQ(t.parts[0]->VoiceList(), (std::vector<TKVVoice*>{t.own0, t.cross, t.own1}));
  EXPECT_EQ(t.own0->Number(), 0);
  EXPECT_EQ(t.cross->Number(), 1);
  EXPECT_EQ(t.own1->Number(), 2);
  for (int m = 0; m < 2; ++m) {
    EXPECT_EQ(t.measures[m]->Index(), m);
    EXPECT_EQ(t.measures[m]->GetItem(0), t.notes[m]);
    ASSERT_EQ(t.notes[m]->GetItemCount(), 2);
    EXPECT_EQ(t.notes[m]->GetItem(0)->Kind(), 30);
    EXPECT_EQ(t.notes[m]->GetItem(1)->Kind(), 33);
    EXPECT_EQ(t.notes[m]->GetItem(0)->GetMeasure(), t.measures[m]);
  }
}

TEST_F(TreeLifecycle, FreeingTheScoreReleasesTheGuestBeforeItsOwnerFreesIt) {
  Build(*score);
  journal.Clear();
  score.reset();
  EXPECT_EQ(journal.Entries(), (Entries{
                                   "delete voice1.0/0 nil",
                                   "delete staff1.0 nil",
                                   "delete part1 nil",
                                   "delete voice0.0/1 staff0.1",
                                   "delete voice0.1/0 nil",
                                   "delete staff0.1 nil",
                                   "delete voice0.0/1 nil",
                                   "delete voice0.0/0 nil",
                                   "delete staff0.0 nil",
                                   "delete part0 nil",
                                   "delete piece nil",
                               }));
}

TEST_F(TreeLifecycle, FreeingAMeasureRenumbersThoseAfterIt) {
  TKVPart* part = score->NewPiece()->NewPart();
  for (int i = 0; i < 4; ++i) part->NewMeasure();
  delete part->GetMeasure(1);
  delete part->GetMeasure(2);  // the last, as when a part is freed
  ASSERT_EQ(part->GetMeasureCount(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(part->GetMeasure(i)->Index(), i);
}

TEST_F(TreeLifecycle, FreeingACrossStaffVoiceLeavesBothStaves) {
  TTree t = Build(*score);
  journal.Clear();
  delete t.cross;
  EXPECT_EQ(journal.Entries(), (Entries{"delete voice0.0/1 nil",
                                        // the voice of staff 0.1 moves up to number 1
                                        "changed voice0.1/0 nil", "delete voice0.0/1 staff0.1"}));
  EXPECT_EQ(t.staves[0]->GetVoiceCount(), 1);
  EXPECT_EQ(t.staves[1]->GetVoiceCount(), 1);
  EXPECT_EQ(t.parts[0]->VoiceList(), (std::vector<TKVVoice*>{t.own0, t.own1}));
}

TEST_F(TreeLifecycle, FreeingTheOwnStaffOfACrossStaffVoiceTakesItOutOfTheOther) {
  TTree t = Build(*score);
  delete t.staves[0];
  EXPECT_EQ(t.parts[0]->GetStaffCount(), 1);
  EXPECT_EQ(t.staves[1]->Index(), 0);
  EXPECT_EQ(t.staves[1]->GetVoiceCount(), 1);
  EXPECT_EQ(t.staves[1]->GetVoice(0), t.own1);
  EXPECT_EQ(t.parts[0]->VoiceList(), (std::vector<TKVVoice*>{t.own1}));
  EXPECT_EQ(t.own1->Number(), 0);
}

// Removal never depends on a registration switch: an object freed while its
// owner's switch is set must not stay listed.
TEST_F(TreeLifecycle, SwitchesNeverKeepAFreedObjectListed) {
  TTree t = Build(*score);
  t.piece->SetRegistrationSwitch(1);
  t.parts[0]->SetRegistrationSwitch(1);
  t.measures[0]->SetRegistrationSwitch(1);
  t.notes[0]->SetRegistrationSwitch(1);
  delete t.notes[0]->GetItem(0);
  EXPECT_EQ(t.notes[0]->GetItemCount(), 1);
  delete t.notes[0];
  EXPECT_EQ(t.measures[0]->GetItemCount(), 0);
  delete t.measures[1];
  EXPECT_EQ(t.parts[0]->GetMeasureCount(), 1);
  delete t.parts[1];
  EXPECT_EQ(t.piece->GetPartCount(), 1);
  // While set, new children stay out of the lists; their creator lists them.
  auto* loose = new TKVNote(t.measures[0]);
  EXPECT_EQ(t.measures[0]->GetItemCount(), 0);
  t.measures[0]->InsertItem(5, loose);
  EXPECT_EQ(t.measures[0]->GetItem(0), loose);
}

// A note whose beam group runs over the bar line stands in the beam order of
// both measures; freeing it (whatever its kind or flags) clears both.
TEST_F(TreeLifecycle, FreeingANoteTakesItOutOfTheBeamOrderOfItsNeighbours) {
  TTree t = Build(*score);
  auto* carried = new TKVNote(t.measures[1]);
  carried->SetKind(43);
  t.measures[0]->Notes() = {t.notes[0], carried};
  t.measures[1]->Notes() = {carried, t.notes[1]};
  delete carried;
  EXPECT_EQ(t.measures[0]->Notes(), (std::vector<TKVNote*>{t.notes[0]}));
  EXPECT_EQ(t.measures[1]->Notes(), (std::vector<TKVNote*>{t.notes[1]}));
  t.measures[0]->Notes().push_back(t.notes[1]);
  delete t.measures[1];
  EXPECT_EQ(t.measures[0]->Notes(), (std::vector<TKVNote*>{t.notes[0]}));
}

struct TNilOwnerCase {
  const char* text;
  std::function<void()> create;
};

TEST(TreeOwners, NilOwnerIsRefusedWithItsText) {
  const TNilOwnerCase cases[] = {
      {"Is not owner of the Score", [] { TKVPiece piece(nullptr); }},
      {"Is not owner of the Piece", [] { TKVPart part(nullptr); }},
      {"Is not owner of the Piece", [] { TKVColumn column(nullptr); }},
      {"Is not owner of the Line", [] { TKVStaff staff(nullptr); }},
      {"Is not owner of the Voice", [] { TKVVoice voice(nullptr); }},
      {"Is not owner of the measure", [] { TKVMeasure measure(nullptr); }},
  };
  for (const TNilOwnerCase& c : cases) EXPECT_EQ(RaisedBy(c.create), c.text);
}

TEST(TreeOwners, VoiceAddedAtAnyIndexOutsideTheListGoesToTheEnd) {
  TKVScore score;
  TKVStaff* staff = score.NewPiece()->NewPart()->NewStaff();
  TKVVoice* a = staff->NewVoice();
  TKVVoice* b = staff->NewVoice();
  for (int32_t index : {2, 7, -3}) {
    staff->RemoveVoice(b);
    staff->AddVoice(b, index);
    EXPECT_EQ(staff->GetVoice(1), b) << index;
  }
  staff->RemoveVoice(b);
  staff->AddVoice(b, 0);
  EXPECT_EQ(staff->GetVoice(0), b);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
}

}  // namespace
