// The record readers of the element classes: each reads its block and then
// its field groups through the record frame.

#include <algorithm>
#include <initializer_list>

#include "base/Exceptions.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Image.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/OleObject.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace {

// Below this revision grace notes were stored without their positions.
constexpr uint16_t RevisionGracePositions = 1026;
// The picture header's tag for a stored graphic.
constexpr uint16_t PictureTag = 1;

bool OneOf(uint8_t kind, std::initializer_list<uint8_t> kinds) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// A dynamics setting of a lyric or a mark: a 16-bit length L; when L > 0 a
// new setting takes L bytes (at most its five) and then its text.
void ReadDynamicsSetting(TStream& stream, std::unique_ptr<TKVDynamicsSetting>& setting) {
  uint16_t length = stream.ReadU16();
  if (length == 0) return;
  setting = std::make_unique<TKVDynamicsSetting>();
  ReadOnto(stream, setting->Data, length);
  ReadStreamString(stream, setting->Text);
}

}  // namespace

void TKVItem::ReadItemRecord(TStream& Stream, const std::function<void(TStream&, uint16_t)>& Groups) {
  ReadRecord(Stream, [&](TStream& s, uint16_t version) {
    if (version > 0) ReadBlock(s, FData);
    if (Groups) Groups(s, version);
  });
}

void TKVItem::ReadData(TStream& Stream) { ReadItemRecord(Stream); }
void TKVLiga::ReadData(TStream& Stream) { ReadItemRecord(Stream); }
void TKVEffect::ReadData(TStream& Stream) { ReadItemRecord(Stream); }
void TKVLine::ReadData(TStream& Stream) { ReadItemRecord(Stream); }
void TKVRectangle::ReadData(TStream& Stream) { ReadItemRecord(Stream); }
void TKVArc::ReadData(TStream& Stream) { ReadItemRecord(Stream); }

void TKVNote::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadItemList(s, this, TKVUnknownItem::Skip);
    if (version > 2) ReadStreamString(s, FText);
  });
  if (Data().u8(NoteBlock::Symbol) == 1) SetFlag(NoteFlag::Cue, true);
  TKVVoiceKey& key = VoiceKey();
  key.PartIndex = 0;
  TKVMeasure* measure = GetMeasure();
  if (!measure) return;
  TKVPart* part = measure->Part();
  key.PartIndex = uint8_t(part->Index());
  key.StaffIndex = StaffVoice() >> 4;
  key.VoiceIndex = StaffVoice() & 15;
  TKVStaff* staff = part->GetStaff(key.StaffIndex);
  if (TKVVoice* voice = staff ? staff->GetVoice(key.VoiceIndex) : nullptr) key.VoiceNumber = uint16_t(voice->Number());
}

void TKVPause::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadItemList(s, this, TKVUnknownItem::Skip);
    if (version > 2) ReadStreamString(s, FText);
  });
}

void TKVChord::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) {
      uint16_t count = s.ReadU16();
      for (uint16_t i = 0; i < count; ++i) {
        TKVChordEntry& entry = FEntries.Add();
        ReadOnto(s, entry.Record, s.ReadU16());
        ReadStreamString(s, entry.Text);
      }
    }
    if (version > 2) FNotes = ReadByteArray(s);
    if (version > 3) ReadStreamString(s, FText);
  });
}

void TKVVorschlag::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadItemList(s, this, TKVUnknownItem::Skip);
  });
  TKVMeasure* measure = GetMeasure();
  TKVScore* score = measure ? measure->Score() : nullptr;
  if (!score || score->FormatRevision() >= RevisionGracePositions) return;
  uint16_t position = 0;
  for (TKVItem* item : Items()) {
    auto* note = ItemCast<TKVNote>(item);
    if (!note) continue;
    note->SetPosition(position);
    position = uint16_t(position + note->Duration());
  }
}

void TKVMark::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    const uint8_t kind = Kind();
    // The extra block takes exactly the bytes its group holds.
    auto readExtra = [&](int64_t size) {
      std::vector<uint8_t> bytes = s.ReadBytes(size);
      FExtra.Resize(bytes.size());
      FExtra.Write(0, bytes.data(), bytes.size());
    };
    if (version > 1) {
      if (kind == ItemKind::Tuplet) {
        readExtra(int64_t(Variant()) * 2);
      } else if (kind == ItemKind::Volta) {
        ReadStreamString(s, FText2);
      }
    }
    namespace K = ItemKind;
    if (version > 2 && OneOf(kind, {K::Meter, K::MeasureNumber, K::RehearsalMark, K::Fingering, K::ContinuedGlyph,
                                    K::TechniqueLetter, K::BarreLine, K::HarmonicLine}))
      ReadStreamString(s, FText1);
    if (version > 3 && OneOf(kind, {K::ContinuedGlyph, K::BarreLine, K::HarmonicLine}))
      Data().setU8(MarkBlock::LineStyle, s.ReadU8());
    if (version > 4) ReadDynamicsSetting(s, FDynamics);
    if (version > 5 && kind == ItemKind::KeySignature) readExtra(MarkBlock::KeyTableBytes);
    if (version > 6 && OneOf(kind, {K::Clef, K::TempoMark, K::MultiMeasureRest, K::Tuplet, K::ExtensionLine, K::DaCapo,
                                    K::DalSegno, K::OctaveLine, K::Volta}))
      ReadStreamString(s, FText1);
    if (version > 7 && kind == ItemKind::Meter) {
      uint16_t count = s.ReadU16();
      if (count > 0) readExtra(int64_t(count) * 2);
    }
  });
}

void TKVLyric::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadStreamWideList(s, FLines);
    if (version > 2) ReadStreamString(s, FText);
    if (version > 3) ReadDynamicsSetting(s, FDynamics);
  });
}

void TKVBend::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadStreamString(s, FText1);
    if (version > 2) ReadStreamString(s, FText2);
  });
}

void TKVFrame::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    SizeArraysFromBlock();
    if (version > 1) FRawData = ReadByteArray(s);
    if (version > 2) FValues = s.ReadBytes(ValueCount());
    if (version > 3) {
      std::vector<uint8_t> bytes = s.ReadBytes(int64_t(EntryCount()) * FrameBlock::EntryBytes);
      for (size_t i = 0; i < FEntries.size(); ++i)
        std::copy_n(&bytes[i * FrameBlock::EntryBytes], FrameBlock::EntryBytes, FEntries[i].begin());
    }
    if (version > 4) ReadStreamString(s, FText);
  });
}

// A stored graphic is handed to the media support as exactly its own bytes;
// the reader then moves past them whatever the decoder took, so the text
// after a picture of an unknown type is still read from its place.
void TKVImage::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) {
      uint16_t tag = s.ReadU16();
      uint16_t type = s.ReadU16();
      uint32_t length = s.ReadU32();
      if (tag == PictureTag) {
        if (int64_t(length) > s.Remaining()) throw EReadError();
        int64_t end = s.GetPosition() + length;
        {
          TKVRecordWindow graphic(s, end);
          MediaServices().LoadPicture(FPicture, type, graphic, length);
        }
        s.SetPosition(end);
      }
    }
    if (version > 2) ReadStreamString(s, FText);
  });
}

void TKVText::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadStreamWideList(s, FLines);
    if (version > 2) ReadStreamString(s, FText1);
    if (version > 3) ReadStreamString(s, FText2);
  });
}

void TKVPageMark::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) ReadStreamString(s, FText);
  });
}

// The block's data length is made to agree with the data actually read, so
// that nothing later sends bytes the file did not hold.
void TKVMIDIEvent::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) FData = s.ReadBytes(DataLength());
  });
  TKVItem::Data().setU16(MidiEventBlock::DataLength, uint16_t(FData.size()));
}

// A stored length beyond the record's bytes fails the record before any
// allocation.
void TKVSound::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version <= 1) return;
    uint32_t low = s.ReadU32();
    uint64_t length = uint64_t(s.ReadU32()) << 32 | low;
    if (length > uint64_t(s.Remaining())) throw EReadError();
    FAudioData.Clear();
    if (length) FAudioData.CopyFrom(s, int64_t(length));
    FAudioData.SetPosition(0);
  });
}

void TKVOleObject::ReadData(TStream& Stream) {
  ReadItemRecord(Stream, [this](TStream& s, uint16_t version) {
    if (version > 1) FContainer->LoadFromStream(s);
  });
}
