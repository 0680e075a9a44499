// Copying a whole score: every block and list arrives, as objects of the
// copy's own, with the documented exceptions.

#include <gtest/gtest.h>

#include <memory>

#include "base/Exceptions.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

void Fill(TByteBlock& block, uint8_t seed) {
  for (size_t i = 0; i < block.Size(); ++i) block.setU8(i, uint8_t(seed + i));
}

// Piece with a title and lists; two parts, the first with two staves and a
// cross-staff voice, two measures of notes with a tie and a lyric, a part
// item; a column with a tempo mark; a score item.
void BuildSource(TKVScore& score) {
  TKVPiece* piece = score.NewPiece();
  Fill(piece->Data(), 10);
  piece->SetTitle("Sonata");
  piece->WordLists()[4] = {1, 2};
  piece->ByteList() = {7};
  for (int p = 0; p < 2; ++p) {
    TKVPart* part = piece->NewPart();
    Fill(part->Data(), uint8_t(20 + p));
    part->SetName("Part " + std::to_string(p));
    part->SetSecondName("Synth");
    part->Transpositions() = {{0, -2}};
    part->ByteListA() = {1};
    part->ByteListB() = {2, 3};
    TKVStaff* first = part->NewStaff();
    first->NewVoice();
    if (p == 0) {
      TKVStaff* second = part->NewStaff();
      Fill(second->Data(), 40);
      second->LineArray()[3] = 64;
      second->NewVoice();
      TKVVoice* cross = first->NewVoice();
      Fill(cross->Data(), 50);
      cross->SetSecondStaffRef(0);
      cross->SetSecondStaff(second);
      second->AddVoice(cross, 0);
    }
    for (int m = 0; m < 2; ++m) {
      TKVMeasure* measure = part->NewMeasure();
      Fill(measure->Data(), uint8_t(60 + m));
      measure->Words() = {9};
      auto* note = new TKVNote(measure);
      note->SetPosition(uint16_t(m * 128));
      note->SetText("note");
      new TKVLiga(note);
      static_cast<TKVLyric*>(CreateItemByKind(33, note))->Lines() = {u"la"};
    }
    CreateItemByKind(200, part);
  }
  TKVColumn* column = piece->NewColumn();
  Fill(column->Data(), 70);
  static_cast<TKVMark*>(CreateItemByKind(6, column))->SetValue(90);
  static_cast<TKVText*>(CreateItemByKind(200, &score))->SetText1("Title");
}

void ExpectSameItems(const TKVItemHolder& copy, const TKVItemHolder& source, TObject* owner) {
  ASSERT_EQ(copy.GetItemCount(), source.GetItemCount());
  for (int32_t i = 0; i < source.GetItemCount(); ++i) {
    TKVItem* a = copy.GetItem(i);
    TKVItem* b = source.GetItem(i);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->Owner(), owner);
    EXPECT_EQ(a->Kind(), b->Kind());
    EXPECT_EQ(a->Data(), b->Data()) << int(b->Kind());
    if (auto* note = dynamic_cast<TKVNote*>(a)) {
      EXPECT_EQ(note->Text(), static_cast<TKVNote*>(b)->Text());
      ExpectSameItems(*note, *static_cast<TKVNote*>(b), note);
    }
  }
}

TEST(TreeAssign, ScoreCopyIsDeepAndIndependent) {
  auto source = std::make_unique<TKVScore>();
  BuildSource(*source);
  TKVScore copy;
  copy.SetNoteInterval(5);
  copy.Assign(*source);
  ASSERT_EQ(copy.GetPieceCount(), 1);
  TKVPiece* piece = copy.GetPiece(0);
  TKVPiece* from = source->GetPiece(0);
  EXPECT_EQ(piece->Data(), from->Data());
  EXPECT_EQ(piece->Title(), "") << "the title is not copied";
  EXPECT_EQ(piece->WordLists(), from->WordLists());
  EXPECT_EQ(piece->ByteList(), from->ByteList());
  ASSERT_EQ(piece->GetPartCount(), 2);
  for (int p = 0; p < 2; ++p) {
    TKVPart* part = piece->GetPart(p);
    TKVPart* fromPart = from->GetPart(p);
    EXPECT_EQ(part->Data(), fromPart->Data());
    EXPECT_EQ(part->Name(), fromPart->Name());
    EXPECT_EQ(part->SecondName(), "Synth");
    EXPECT_EQ(part->Transpositions(), fromPart->Transpositions());
    EXPECT_EQ(part->GetTranspose(), -2);
    EXPECT_EQ(part->ByteListA(), fromPart->ByteListA());
    EXPECT_EQ(part->ByteListB(), fromPart->ByteListB());
    ASSERT_EQ(part->GetStaffCount(), fromPart->GetStaffCount());
    for (int32_t s = 0; s < part->GetStaffCount(); ++s) {
      EXPECT_EQ(part->GetStaff(s)->Data(), fromPart->GetStaff(s)->Data());
      EXPECT_EQ(part->GetStaff(s)->LineArray(), fromPart->GetStaff(s)->LineArray());
    }
    ASSERT_EQ(part->GetMeasureCount(), 2);
    for (int32_t m = 0; m < 2; ++m) {
      TKVMeasure* measure = part->GetMeasure(m);
      EXPECT_EQ(measure->Data(), fromPart->GetMeasure(m)->Data());
      EXPECT_EQ(measure->Words(), fromPart->GetMeasure(m)->Words());
      ExpectSameItems(*measure, *fromPart->GetMeasure(m), measure);
    }
    ExpectSameItems(*part, *fromPart, part);
  }
  // The cross-staff voice is linked to the copy's own second staff.
  TKVPart* part = piece->GetPart(0);
  TKVVoice* cross = part->GetStaff(0)->GetVoice(1);
  ASSERT_NE(cross, nullptr);
  EXPECT_EQ(cross->SecondStaff(), part->GetStaff(1));
  EXPECT_EQ(part->GetStaff(1)->GetVoice(0), cross);
  EXPECT_EQ(cross->SecondStaffRef(), 0);
  EXPECT_EQ(part->VoiceList().size(), 3u);
  ASSERT_EQ(piece->GetColumnCount(), 1);
  EXPECT_EQ(piece->GetColumn(0)->Data(), from->GetColumn(0)->Data());
  ExpectSameItems(*piece->GetColumn(0), *from->GetColumn(0), piece->GetColumn(0));
  ASSERT_EQ(copy.GetItemCount(), 1);
  EXPECT_EQ(static_cast<TKVText*>(copy.GetItem(0))->Text1(), "Title");
  EXPECT_EQ(copy.NoteInterval(), 5);
  // The copy stands on its own once the source is gone.
  source.reset();
  EXPECT_EQ(copy.GetPiece(0)->GetPart(0)->GetMeasure(1)->GetItem(0)->GetMeasure(),
            copy.GetPiece(0)->GetPart(0)->GetMeasure(1));
}

TEST(TreeAssign, StaffCopySkipsGuestsAndNotesTheSecondStaff) {
  TKVScore score;
  TKVPart* part = score.NewPiece()->NewPart();
  TKVStaff* a = part->NewStaff();
  TKVStaff* b = part->NewStaff();
  TKVVoice* cross = a->NewVoice();
  cross->SetSecondStaff(b);
  b->AddVoice(cross, -1);
  b->NewVoice();
  TKVStaff* c = part->NewStaff();
  c->Assign(*b);
  EXPECT_EQ(c->GetVoiceCount(), 1) << "the guest stays with its own staff";
  TKVStaff* d = part->NewStaff();
  d->Assign(*a);
  ASSERT_EQ(d->GetVoiceCount(), 1);
  EXPECT_EQ(d->GetVoice(0)->SecondStaffRef(), 2);
  EXPECT_EQ(d->GetVoice(0)->SecondPosition(), 0);
  part->ResolveSecondStaffs();
  EXPECT_EQ(d->GetVoice(0)->SecondStaff(), b);
  EXPECT_EQ(b->GetVoiceCount(), 3);
  EXPECT_EQ(b->GetVoice(0), d->GetVoice(0));
}

TEST(TreeAssign, SecondStaffReferenceOutsideThePartLinksNothing) {
  TKVScore score;
  TKVPart* part = score.NewPiece()->NewPart();
  TKVStaff* staff = part->NewStaff();
  TKVVoice* toNowhere = staff->NewVoice();
  toNowhere->SetSecondStaffRef(9);
  TKVVoice* toItself = staff->NewVoice();
  toItself->SetSecondStaffRef(1);
  part->ResolveSecondStaffs();
  EXPECT_EQ(toNowhere->SecondStaff(), nullptr);
  EXPECT_EQ(toItself->SecondStaff(), nullptr);
  EXPECT_EQ(toNowhere->SecondStaffRef(), 0);
  EXPECT_EQ(staff->GetVoiceCount(), 2);
  EXPECT_EQ(toItself->Number(), 1);
}

TEST(TreeAssign, EveryTreeClassRefusesAnotherClass) {
  TKVScore score;
  TKVPiece* piece = score.NewPiece();
  TKVPart* part = piece->NewPart();
  TKVStaff* staff = part->NewStaff();
  EXPECT_THROW(piece->Assign(*part), EAssignError);
  EXPECT_THROW(part->Assign(*piece), EAssignError);
  EXPECT_THROW(staff->Assign(*part), EAssignError);
  EXPECT_THROW(staff->NewVoice()->Assign(*staff), EAssignError);
  EXPECT_THROW(part->NewMeasure()->Assign(*staff), EAssignError);
  EXPECT_THROW(piece->NewColumn()->Assign(*part), EAssignError);
}

}  // namespace
