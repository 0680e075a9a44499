// Velocities from dynamics records, the measure records a piece hands out,
// the search for a free MIDI channel and the live controller messages.

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "score/model/ItemFactory.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "support/FakeScoreView.h"

namespace {

// A piece with two parts of four measures and hand-filled measure records
// (the layout's job) of the given lengths.
class PieceDynamics : public ::testing::Test {
protected:
  PieceDynamics() {
    piece = score.NewPiece();
    for (TKVPart*& part : parts) {
      part = piece->NewPart();
      for (int m = 0; m < 4; ++m) part->NewMeasure();
    }
    for (int m = 0; m < 4; ++m) {
      auto record = std::make_unique<TKVMeasureRecord>();
      record->Length = 512;
      piece->Layout().MeasureRecords.push_back(std::move(record));
    }
    piece->Layout().MeasureRecordCount = 4;
    score.OnGetDinamics = [](TObject*, int32_t type, int32_t variant) {
      if (type == 110 && variant <= 12) return 20 + variant * 10;  // p = 20, pp = 30 ...
      if (type == 110) return 32;
      return 16;  // accents
    };
  }

  TKVMeasureRecord& Record(int m) { return *piece->Layout().MeasureRecords[size_t(m)]; }
  // A mark of Kind and Variant in measure M of part P, with a dynamics record
  // at Position.
  TKVDynamicRecord& Dynamic(int m, int p, uint8_t kind, uint8_t variant, uint16_t position, uint16_t length = 0) {
    auto* mark = static_cast<TKVMark*>(CreateItemByKind(kind, parts[p]->GetMeasure(m)));
    mark->SetVariant(variant);
    mark->SetValue(length);
    TKVDynamicRecord& record = Record(m).AddDynamic();
    record.Item = mark;
    record.PartIndex = uint16_t(p);
    record.Position = position;
    return record;
  }

  TKVScore score;
  TKVPiece* piece;
  TKVPart* parts[2];
};

// A crescendo of 256 ticks met at level 64 with an amount of 32 rises from 64
// to 96; half-way it gives 80.
TEST_F(PieceDynamics, CrescendoRisesOverItsLength) {
  TKVDynamicRecord& cresc = Dynamic(1, 0, 110, 50, 128, 256);
  piece->CalcVelocities();
  EXPECT_EQ(cresc.StartVelocity, 64);
  EXPECT_EQ(cresc.EndVelocity, 96);
  EXPECT_EQ(cresc.Length, 256);
  TKVMeasure* measure = parts[0]->GetMeasure(1);
  EXPECT_EQ(piece->GetDynamicValue(measure, 128 + 128), 80);
  EXPECT_EQ(piece->GetDynamicValue(measure, 128), 64);
  EXPECT_EQ(piece->GetDynamicValue(measure, 500), 96);
  EXPECT_EQ(piece->GetDynamicValue(measure, 100), 64) << "before it";
  // Into the next measure: 512 - 128 + 0 ticks past its start.
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(2), 0), 96);
  // The other part has no dynamic.
  EXPECT_EQ(piece->GetDynamicValue(parts[1]->GetMeasure(2), 0), 64);
}

TEST_F(PieceDynamics, LevelsCarryFromMarkToMarkPerPart) {
  TKVDynamicRecord& piano = Dynamic(0, 0, 110, 0, 0);      // p: 20
  TKVDynamicRecord& dim = Dynamic(0, 0, 110, 51, 256, 128);  // by 32, but p is already below ppp (40)
  TKVDynamicRecord& accent = Dynamic(1, 0, 117, 3, 64);      // level + 16
  TKVDynamicRecord& forte = Dynamic(1, 1, 110, 6, 0);        // other part: f = 80
  TKVDynamicRecord& unknown = Dynamic(2, 0, 110, 60, 0);
  piece->CalcVelocities();
  EXPECT_EQ(piano.StartVelocity, 20);
  EXPECT_EQ(std::tie(dim.StartVelocity, dim.EndVelocity), std::make_tuple(uint8_t(20), uint8_t(20)));
  EXPECT_EQ(accent.StartVelocity, 36);
  EXPECT_EQ(accent.Length, 0);
  EXPECT_EQ(forte.StartVelocity, 80);
  EXPECT_EQ(std::tie(unknown.StartVelocity, unknown.EndVelocity), std::make_tuple(uint8_t(64), uint8_t(64)));
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(1), 100), 36) << "the accent is the latest record";
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(1), 10), 20) << "before it the diminuendo's end";
}

TEST_F(PieceDynamics, OwnSettingsOfTextsAndMarks) {
  auto setting = [](bool relative, int16_t value) {
    auto s = std::make_unique<TKVDynamicsSetting>();
    s->Set(relative, value);
    return s;
  };
  TKVDynamicRecord& absolute = Dynamic(0, 0, 160, 0, 0);
  static_cast<TKVMark*>(absolute.Item)->SetDynamics(setting(false, 100));
  auto* text = static_cast<TKVLyric*>(CreateItemByKind(34, parts[0]->GetMeasure(0)));
  text->SetDynamics(setting(true, -40));
  TKVDynamicRecord& relative = Record(0).AddDynamic();
  relative.Item = text;
  relative.Position = 128;
  // A relative text placed past the end of its measure gets no negative span.
  auto* late = static_cast<TKVLyric*>(CreateItemByKind(34, parts[0]->GetMeasure(1)));
  late->SetDynamics(setting(true, 10));
  TKVDynamicRecord& lateRecord = Record(1).AddDynamic();
  lateRecord.Item = late;
  lateRecord.Position = 600;
  TKVDynamicRecord& bare = Dynamic(2, 0, 160, 0, 0);  // a kind-160 mark without a setting
  piece->CalcVelocities();
  EXPECT_EQ(absolute.StartVelocity, 100);
  EXPECT_EQ(absolute.Length, 0);
  EXPECT_EQ(std::tie(relative.StartVelocity, relative.EndVelocity), std::make_tuple(uint8_t(100), uint8_t(60)));
  EXPECT_EQ(relative.Length, 512 - 128);
  EXPECT_EQ(lateRecord.Length, 0);
  EXPECT_EQ(lateRecord.EndVelocity, 70);
  EXPECT_EQ(bare.StartVelocity, 64);
}

TEST_F(PieceDynamics, TextsAskTheHostForTheirTerms) {
  auto add = [this](int m, const std::u16string& line) -> TKVDynamicRecord& {
    auto* text = static_cast<TKVLyric*>(CreateItemByKind(34, parts[0]->GetMeasure(m)));
    text->Lines() = {line};
    TKVDynamicRecord& record = Record(m).AddDynamic();
    record.Item = text;
    return record;
  };
  TKVDynamicRecord& word = add(0, u"Allegro");
  TKVDynamicRecord& cresc = add(1, u"cresc.");
  TKVDynamicRecord& forte = add(2, u"forte");
  score.OnGetTerms = [](TObject*, int32_t kind, TKVWideList* text, int32_t& v1, int32_t& v2, std::string&) {
    EXPECT_EQ(kind, 1);
    if (text->front() == u"cresc.") return v1 = 1, v2 = 20, 1;
    if (text->front() == u"forte") return v1 = 0, v2 = 90, 1;
    return 0;
  };
  piece->CalcVelocities();
  EXPECT_EQ(word.Disabled, 1);
  EXPECT_EQ(std::tie(cresc.StartVelocity, cresc.EndVelocity), std::make_tuple(uint8_t(64), uint8_t(84)));
  EXPECT_EQ(forte.StartVelocity, 90);
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(0), 10), 64) << "a disabled record is passed over";
}

TEST_F(PieceDynamics, LocalRecordAppliesOnlyAtItsOwnPoint) {
  Dynamic(0, 0, 110, 0, 0);  // p
  TKVDynamicRecord& local = Dynamic(1, 0, 117, 0, 64);
  local.Local = 1;
  piece->CalcVelocities();
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(1), 64), 36);
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(1), 65), 20);
  EXPECT_EQ(piece->GetDynamicValue(parts[0]->GetMeasure(2), 0), 20);
}

TEST_F(PieceDynamics, RangeLengthRepeatsTheLastLaidOutRecord) {
  Record(3).Length = 384;
  EXPECT_EQ(piece->GetRangeLength(3, 5), 3 * 384);
  EXPECT_EQ(piece->GetRangeLength(0, 3), 3 * 512 + 384);
  EXPECT_EQ(piece->GetRangeLength(2, 1), 0);
  EXPECT_EQ(piece->GetRangeLength(6, 6), 384);
  EXPECT_EQ(piece->GetRangeLength(0, INT32_MAX), INT32_MAX) << "held at the 32-bit limit";
  piece->Layout().MeasureRecordCount = 0;
  EXPECT_EQ(piece->GetRangeLength(0, 3), 0);
}

TEST_F(PieceDynamics, MeasureRecordIsClampedIntoTheLaidOutRecords) {
  piece->Layout().MeasureRecordCount = 2;  // four allocated, two laid out
  EXPECT_EQ(piece->GetMeasureRecord(1), &Record(1));
  EXPECT_EQ(piece->GetMeasureRecord(2), &Record(1));
  EXPECT_EQ(piece->GetMeasureRecord(-3), &Record(0));
  piece->Layout().MeasureRecordCount = 0;
  EXPECT_EQ(piece->GetMeasureRecord(0), nullptr);
  piece->Layout().MeasureRecordCount = 9;  // more than allocated
  EXPECT_EQ(piece->GetMeasureRecord(8), &Record(3));
}

// ---- free channels ----

// A part of the given channel with one voice; Own >= 0 gives the voice
// settings of its own on that channel.
TKVPart* AddPart(TKVPiece* piece, uint8_t channel, int own = -1) {
  TKVPart* part = piece->NewPart();
  part->SetChannel(channel);
  TKVVoice* voice = part->NewStaff()->NewVoice();
  if (own >= 0) {
    voice->Data().setU8(VoiceBlock::Program, 0);
    voice->Data().setU8(VoiceBlock::Channel, uint8_t(own));
  }
  return part;
}

TEST(FreeChannel, SkipsChannelsInUseAndNeverGivesNine) {
  TKVScore score;
  TKVPiece* piece = score.NewPiece();
  EXPECT_EQ(piece->FindFreeChannel(), 1);
  AddPart(piece, 1);
  AddPart(piece, 0, 2);  // the voice's own channel counts, not the part's
  EXPECT_EQ(piece->FindFreeChannel(), 3);
  for (uint8_t channel = 3; channel <= 8; ++channel) AddPart(piece, channel);
  EXPECT_EQ(piece->FindFreeChannel(), 10);
  for (uint8_t channel = 10; channel <= 14; ++channel) AddPart(piece, channel);
  TKVPart* last = AddPart(piece, 15);
  EXPECT_EQ(piece->FindFreeChannel(), 0) << "1-8 and 10-15 all taken";
  EXPECT_EQ(piece->FindFreeChannel(last), 15) << "the part asking is left out";
  // A part without voices does not hold its channel, and it does not make
  // the parts after it hold theirs.
  TKVPart* silent = piece->NewPart();
  silent->SetChannel(4);
  EXPECT_EQ(piece->FindFreeChannel(), 0);
}

// ---- live controller messages ----

struct TControllerLog {
  std::vector<std::vector<int>> messages;
};

class LiveControllers : public ::testing::Test {
protected:
  LiveControllers() {
    score.AddWindow(&view);
    view.OnPlayShort = [this](TObject* sender, uint8_t status, uint8_t data1, uint8_t data2, int32_t vst, bool show) {
      EXPECT_EQ(sender, part);
      EXPECT_EQ(vst, 0);
      EXPECT_TRUE(show);
      sent.push_back({status, data1, data2});
    };
    part = score.NewPiece()->NewPart();
    part->SetChannel(0x13);  // only the low four bits count
    score.OnItemChanged = [this](TObject* sender, TObject*) { events.push_back(sender == part ? "part" : "?"); };
    score.OnChanged = [this](TObject* sender) { events.push_back(sender == part ? "changed part" : "?"); };
  }
  TKVScore score;
  TFakeScoreView view;
  TKVPart* part;
  std::vector<std::vector<int>> sent;
  std::vector<std::string> events;
};

TEST_F(LiveControllers, SentOnlyWhilePlayingAndOnlyOnAChange) {
  part->SetVolume(100);
  EXPECT_TRUE(sent.empty()) << "not playing";
  EXPECT_EQ(events, (std::vector<std::string>{"part", "changed part"}));
  view.SetPlaying(true);
  part->SetVolume(100);
  EXPECT_TRUE(sent.empty()) << "no change";
  part->SetVolume(255);
  part->SetPan(255);
  part->SetPan(40);
  part->SetPan(200);  // a stored byte above 127 is no MIDI data byte
  EXPECT_EQ(sent, (std::vector<std::vector<int>>{{0xB3, 7, 127}, {0xB3, 10, 40}, {0xB3, 10, 127}}));
  view.OnPlayShort = nullptr;
  part->SetVolume(1);
}

TEST_F(LiveControllers, VolumeNotSetSendsFullAndPanNotSetSendsCentre) {
  view.SetPlaying(true);
  part->SetVolume(10);
  part->SetVolume(255);
  part->SetPan(10);
  part->SetPan(255);
  EXPECT_EQ(sent, (std::vector<std::vector<int>>{{0xB3, 7, 10}, {0xB3, 7, 127}, {0xB3, 10, 10}, {0xB3, 10, 63}}));
}

}  // namespace
