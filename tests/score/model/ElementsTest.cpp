// Behaviour of the element classes: what a copy takes along, tie offsets,
// the chord frame's arrays, MIDI data and the media-backed elements.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Exceptions.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Image.h"
#include "score/model/ItemFactory.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/OleObject.h"
#include "score/model/PageTexts.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Vorschlag.h"
#include "support/FakeLayout.h"

namespace {

template <class T>
std::unique_ptr<T> Make(uint8_t kind) {
  return std::unique_ptr<T>(static_cast<T*>(CreateItemByKind(kind, nullptr)));
}

void Fill(TKVItem& item, uint8_t seed) {
  for (size_t i = 0; i < item.Data().Size(); ++i) item.Data().setU8(i, uint8_t(seed + i));
}

TEST(ElementCopy, NoteTakesBlockTextAndCopiesOfItsItemsKeepingItsOwn) {
  auto source = Make<TKVNote>(20);
  Fill(*source, 1);
  source->SetText("ff");
  CreateItemByKind(30, source.get());
  CreateItemByKind(45, source.get());
  auto target = Make<TKVNote>(43);
  CreateItemByKind(50, target.get());
  target->Assign(*source);
  EXPECT_EQ(target->Data(), source->Data());
  EXPECT_EQ(target->Kind(), 43);  // the kind is no block byte
  EXPECT_EQ(target->Text(), "ff");
  ASSERT_EQ(target->GetItemCount(), 3);
  EXPECT_EQ(target->GetItem(0)->Kind(), 50);
  EXPECT_EQ(target->GetItem(1)->Kind(), 30);
  EXPECT_NE(target->GetItem(1), source->GetItem(0));
  EXPECT_EQ(target->GetItem(2)->Owner(), target.get());
  target->Assign(*target);  // a copy onto itself changes nothing
  EXPECT_EQ(target->GetItemCount(), 3);
}

TEST(ElementCopy, ChordTakesBlockAndTextButNotItsEntries) {
  auto source = Make<TKVChord>(31);
  Fill(*source, 3);
  source->SetText("Cm7");
  source->Entries().Add().Text = "m7";
  source->SetNotesSize(4);
  auto target = Make<TKVChord>(31);
  target->Assign(*source);
  EXPECT_EQ(target->Data(), source->Data());
  EXPECT_EQ(target->Text(), "Cm7");
  EXPECT_EQ(target->Entries().Count(), 0);
  EXPECT_TRUE(target->Notes().empty());
}

// Every kind's extra block travels with a copy: the tuplet's slots and the
// time signature's composite meters as well as the key table.
TEST(ElementCopy, MarkTakesExtraBlockTextsAndDynamicsOfEveryKind) {
  for (uint8_t kind : {3, 4, 85}) {
    auto source = Make<TKVMark>(kind);
    Fill(*source, kind);
    source->Extra().Resize(6);
    source->Extra().setU16(4, 0x1234);
    source->SetText1("Arial");
    source->SetText2("1.");
    auto setting = std::make_unique<TKVDynamicsSetting>();
    setting->Set(true, -12);
    setting->Text = "dim.";
    source->SetDynamics(std::move(setting));
    auto target = Make<TKVMark>(kind);
    target->Assign(*source);
    EXPECT_EQ(target->Data(), source->Data());
    EXPECT_EQ(target->ExtraWord(2), 0x1234) << int(kind);
    EXPECT_EQ(target->ExtraWord(3), 0) << "past the extra block";
    EXPECT_EQ(target->Text1(), "Arial");
    EXPECT_EQ(target->Text2(), "1.");
    ASSERT_NE(target->Dynamics(), nullptr);
    EXPECT_NE(target->Dynamics(), source->Dynamics());
    EXPECT_TRUE(target->Dynamics()->Relative());
    EXPECT_EQ(target->Dynamics()->Value(), -12);
    EXPECT_EQ(target->Dynamics()->Text, "dim.");
    target->Assign(*Make<TKVMark>(kind));
    EXPECT_EQ(target->Dynamics(), nullptr) << "a source without a setting drops it";
  }
}

TEST(ElementCopy, LyricRebuildsItsLines) {
  auto source = Make<TKVLyric>(34);
  source->SetText("Arial");
  source->Lines() = {u"cresc.", u"poco"};
  auto target = Make<TKVLyric>(34);
  target->Lines() = {u"old"};
  target->Assign(*source);
  EXPECT_EQ(target->Lines(), source->Lines());
  EXPECT_EQ(target->Text(), "Arial");
  EXPECT_EQ(target->Kind(), 34);
}

TEST(ElementCopy, FreeTextClearsItsSizeAndAppendsLines) {
  auto source = Make<TKVText>(200);
  Fill(*source, 9);
  source->SetText1("Arial");
  source->SetText2("link");
  source->Lines() = {u"Title"};
  auto target = Make<TKVText>(200);
  target->Lines() = {u"kept"};
  target->Assign(*source);
  EXPECT_EQ(target->Data().u16(PageObjectBlock::Width), 0);
  EXPECT_EQ(target->Data().u16(PageObjectBlock::Height), 0);
  EXPECT_EQ(target->Data().u16(TextBlock::Page), source->Data().u16(TextBlock::Page));
  EXPECT_EQ(target->Lines(), (TKVWideList{u"kept", u"Title"}));
  EXPECT_EQ(target->Text2(), "link");
}

TEST(ElementCopy, MidiEventCopiesAsMuchDataAsItsBlockAnnounces) {
  auto source = Make<TKVMIDIEvent>(220);
  const uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0xF7};
  source->SetData(sysex, 4);
  EXPECT_EQ(source->DataLength(), 4);
  auto target = Make<TKVMIDIEvent>(220);
  target->Assign(*source);
  EXPECT_EQ(target->MidiData(), source->MidiData());
  source->Data().setU16(MidiEventBlock::DataLength, 6);  // a block claiming more than the data holds
  target->Assign(*source);
  EXPECT_EQ(target->MidiData(), (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0xF7, 0, 0}));
}

TEST(ElementCopy, AnotherClassIsRefused) {
  auto note = Make<TKVNote>(20);
  auto rest = Make<TKVPause>(21);
  EXPECT_THROW(note->Assign(*rest), EAssignError);
  auto line = Make<TKVLine>(202);
  EXPECT_THROW(line->Assign(*Make<TKVArc>(205)), EAssignError);
}

// ---- chord frames ----

TEST(ChordFrame, CopyKeepsEveryArrayItsBlockAnnounces) {
  auto source = Make<TKVFrame>(36);
  source->Data().setU8(FrameBlock::EntryCount, 6);
  source->SizeArraysFromBlock();
  source->Entries()[5] = {1, 255, 3};
  source->Values()[2] = 1;
  source->RawData() = {9, 8, 7};
  source->SetText("C");
  auto target = Make<TKVFrame>(36);
  target->Assign(*source);
  EXPECT_EQ(target->Entries(), source->Entries());
  EXPECT_EQ(target->Values(), source->Values());
  EXPECT_EQ(target->RawData(), source->RawData());
  EXPECT_EQ(target->GetEntry(5), (TKVFrameEntry{1, 255, 3}));
  EXPECT_EQ(target->Text(), "C");
}

TEST(ChordFrame, IndexPastTheArraysGivesTheFirstEntryOrZero) {
  auto frame = Make<TKVFrame>(36);
  EXPECT_EQ(frame->GetEntry(0), (TKVFrameEntry{}));  // no entry at all
  frame->Data().setU8(FrameBlock::EntryCount, 2);
  frame->SizeArraysFromBlock();
  frame->Entries()[0] = {0, 1, 2};
  EXPECT_EQ(frame->GetEntry(2), (TKVFrameEntry{0, 1, 2}));
  EXPECT_EQ(frame->GetEntry(-1), (TKVFrameEntry{0, 1, 2}));
  frame->Values()[0] = 4;
  EXPECT_EQ(frame->GetValue(5), 4);
  frame->Data().setU8(FrameBlock::ValueCount, 0);
  frame->SizeArraysFromBlock();
  EXPECT_EQ(frame->GetValue(0), 0);
}

// ---- tie and slur offsets ----

struct TOffsetCase {
  uint8_t flags;
  bool stemDown;
  int16_t first, second;
  int16_t expectFirst, expectSecond;
};

class TieOffsets : public ::testing::TestWithParam<TOffsetCase> {};

TEST_P(TieOffsets, DefaultsUnlessSetByTheUser) {
  const TOffsetCase& c = GetParam();
  auto note = Make<TKVNote>(20);
  note->SetFlag(NoteFlag::StemDown, c.stemDown);
  auto* tie = new TKVLiga(note.get());
  tie->SetFlags(c.flags);
  tie->SetFirstOffset(c.first);
  tie->SetSecondOffset(c.second);
  tie->SetDefaultOffsets();
  EXPECT_EQ(tie->FirstOffset(), c.expectFirst);
  EXPECT_EQ(tie->SecondOffset(), c.expectSecond);
}

INSTANTIATE_TEST_SUITE_P(Table, TieOffsets,
                         ::testing::Values(TOffsetCase{0, false, 10, 0, 32, 0}, TOffsetCase{0, true, 10, 0, 0, 0},
                                           TOffsetCase{1, false, -16, 16, 0, -32},
                                           TOffsetCase{0x20, false, 10, 5, 10, 5},
                                           TOffsetCase{0, false, 17, -17, 17, -17}));

// ---- media-backed elements ----

struct TFakeMediaLog {
  int inputsMade = 0;
  int setInputs = 0;
  TStream* stream = nullptr;
  int closes = 0;
};

class TFakeInput : public TKVAudioInput {
public:
  TFakeInput(TKVAudioInputKind kind, TFakeMediaLog& log) : FKind(kind), FLog(log) {}
  TKVAudioInputKind Kind() const override { return FKind; }
  void SetStream(TStream* stream) override { FLog.stream = stream; }
  int32_t GetTotalTime() override { return FLog.stream ? int32_t(FLog.stream->GetSize()) : -1; }

private:
  TKVAudioInputKind FKind;
  TFakeMediaLog& FLog;
};

class TFakeOutput : public TKVAudioOutput {
public:
  explicit TFakeOutput(TFakeMediaLog& log) : FLog(log) {}
  TKVAudioInput* Input() const override { return FInput; }
  void SetInput(TKVAudioInput* input) override {
    FInput = input;
    ++FLog.setInputs;
  }

private:
  TFakeMediaLog& FLog;
  TKVAudioInput* FInput = nullptr;
};

class TFakeContainer : public TKVOleContainer {
public:
  void LoadFromStream(TStream&) override {}
  void Assign(const TKVOleContainer&) override {}
  void AdjustBounds() override {}
  void UpdateObject() override {}
  int32_t Width() const override { return 30; }
  int32_t Height() const override { return 20; }
  void Draw(canvas::TCanvas&, const canvas::TRect&) override {}
};

class TFakeMedia : public TKVNullMediaServices {
public:
  explicit TFakeMedia(TFakeMediaLog& log) : FLog(log) {}
  std::unique_ptr<TKVAudioInput> CreateAudioInput(uint8_t format) override {
    ++FLog.inputsMade;
    return std::make_unique<TFakeInput>(format == 0 ? TKVAudioInputKind::Wave : TKVAudioInputKind::WindowsMedia,
                                        FLog);
  }
  std::unique_ptr<TKVAudioOutput> CreateAudioOutput() override { return std::make_unique<TFakeOutput>(FLog); }
  std::unique_ptr<TKVOleContainer> CreateOleContainer() override { return std::make_unique<TFakeContainer>(); }

private:
  TFakeMediaLog& FLog;
};

class MediaElements : public ::testing::Test {
protected:
  MediaElements() { SetMediaServices(std::make_unique<TFakeMedia>(log)); }
  ~MediaElements() override { SetMediaServices(nullptr); }
  TFakeMediaLog log;
};

TEST_F(MediaElements, SoundMakesOneInputPerFormatAndConnectsIt) {
  auto sound = Make<TKVSound>(221);
  sound->AudioData().WriteBytes(std::vector<uint8_t>(7, 1));
  EXPECT_EQ(sound->GetTotalTime(), 7);
  EXPECT_EQ(sound->GetTotalTime(), 7);
  EXPECT_EQ(log.inputsMade, 1);
  EXPECT_EQ(sound->Output()->Input(), sound->Input());
  sound->SetFormat(2);
  sound->PrepareAudio();
  EXPECT_EQ(log.inputsMade, 2);
  EXPECT_EQ(sound->Input()->Kind(), TKVAudioInputKind::WindowsMedia);
  EXPECT_EQ(sound->Output()->Input(), sound->Input());
  sound->SetFormat(1);
  sound->PrepareAudio();
  EXPECT_EQ(log.inputsMade, 2) << "format 1 uses the same kind of input";
}

TEST_F(MediaElements, SoundCopyTakesTheWholeAudioData) {
  auto source = Make<TKVSound>(221);
  source->AudioData().WriteBytes({1, 2, 3});
  auto target = Make<TKVSound>(221);
  target->AudioData().WriteBytes({9});
  target->Assign(*source);
  EXPECT_EQ(target->AudioData().Bytes(), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(MediaElements, EmbeddedObjectTakesItsSizeAndLaysOutFromItsPage) {
  TFakeLayoutScope layout;
  TKVScore score;
  int changes = 0;
  score.OnChanged = [&changes](TObject*) { ++changes; };
  auto* object = static_cast<TKVOleObject*>(CreateItemByKind(161, &score));
  object->Data().setU16(OleBlock::Page, 3);
  layout.Log.Reformats.clear();
  object->Container().OnClose(nullptr);
  EXPECT_EQ(object->Data().u16(PageObjectBlock::Width), 240);
  EXPECT_EQ(object->Data().u16(PageObjectBlock::Height), 160);
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{2}));
  object->Container().OnObjectChanged(nullptr);
  EXPECT_EQ(changes, 2);
}

TEST(NullMedia, PictureKeepsTheBytesOfAKnownType) {
  TKVNullMediaServices media;
  TMemoryStream stream(std::vector<uint8_t>{'G', 'I', 'F', '8', 0});
  auto image = Make<TKVImage>(201);
  media.LoadPicture(image->Picture(), TKVPicture::gtGIF, stream, 4);
  EXPECT_EQ(image->Picture().Bytes(), (std::vector<uint8_t>{'G', 'I', 'F', '8'}));
  auto copy = Make<TKVImage>(201);
  copy->Assign(*image);
  EXPECT_EQ(copy->Picture().GraphicType(), TKVPicture::gtGIF);
  EXPECT_EQ(copy->Picture().Bytes(), image->Picture().Bytes());
  TMemoryStream other(std::vector<uint8_t>{1, 2});
  media.LoadPicture(image->Picture(), 261, other, 2);
  EXPECT_TRUE(image->Picture().Empty());
  EXPECT_EQ(other.GetPosition(), 0);
  EXPECT_THROW(media.LoadPicture(image->Picture(), TKVPicture::gtJPEG, other, 5), EReadError);
}

}  // namespace
