// Playing the cells of a tick by their item's kind, and the list of what
// sounds: the countdown to each note-off and the silence at the end.

#include <algorithm>

#include "base/Log.h"
#include "base/Strings.h"

#include "player/ClipPlayer.h"
#include "player/PlayEngine.h"
#include "player/Window.h"
#include "score/layout/ItemFields.h"
#include "score/layout/measure/TempoMarks.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr uint8_t Sounding = 0x40, TiedIn = 0x80;  // note play-state bits; Sounding also a lyric's highlight

// Whether a tie goes on from Note to a note that continues its sound.
bool TiesOn(const TKVNote& Note) {
  return std::any_of(Note.Items().begin(), Note.Items().end(), [](const TKVItem* item) {
    const auto* liga = ItemCast<const TKVLiga>(item);
    return liga && liga->Flag(LigaFlag::Tie);
  });
}

// A muted voice, its part (and with Staff its staff) keep silent.
bool Muted(const TKVVoice* Voice, bool Staff) {
  if (!Voice) return false;
  const TKVStaff* staff = Voice->Staff();
  const TKVPart* part = staff ? staff->Part() : nullptr;
  return Voice->Mute || (Staff && staff && staff->Mute) || (part && part->Mute);
}

TKVVoice* VoiceOf(const TKVItem* Item) {
  if (auto* note = ItemCast<const TKVNote>(Item)) return note->Voice;
  if (auto* effect = ItemCast<const TKVEffect>(Item)) return effect->Voice;
  if (auto* mark = ItemCast<const TKVMark>(Item)) return mark->Voice;
  return nullptr;
}

bool PartMuted(const TKVItem& Item) {
  const TKVPart* part = ItemPart(&Item);
  return part && part->Mute;
}

}  // namespace

std::string TKVPlayEngine::Where(const TKVItem& Item) {
  const TKVMeasure* measure = Item.GetMeasure();
  return measure ? Format(" in measure %d at %u", measure->Index() + 1, unsigned(ItemPosition(&Item))) : "";
}

// The handlers run on the play thread, where nobody could answer an error:
// the first failures of a run go to the log, the rest are counted and
// Finish logs the count. The run goes on either way.
void TKVPlayEngine::Failed(const std::string& What) noexcept {
  try {
    if (++FFailures > LoggedFailures) return;
    std::string reason = "unknown error";
    try {
      throw;
    } catch (const std::exception& e) {
      reason = e.what();
    } catch (...) {
    }
    Log("Play: " + What + " failed: " + reason);
  } catch (...) {
  }
}

uint8_t TKVPlayEngine::DataByte(int32_t Value) { return uint8_t(std::clamp(Value, 0, 127)); }

void TKVPlayEngine::Short(uint8_t Status, uint8_t Data1, uint8_t Data2, int32_t AVST, bool Show) {
  try {
    FView.OnPlayShort(this, Status, Data1, Data2, AVST, Show);
  } catch (...) {
    Failed(Format("MIDI message %02X %02X %02X", Status, Data1, Data2));
  }
}

void TKVPlayEngine::Long(const uint8_t* Data, size_t Length, int32_t AVST) {
  if (Length == 0) return;
  try {
    FView.OnPlayLong(this, Data, uint16_t(std::min<size_t>(Length, 65535)), AVST);
  } catch (...) {
    Failed(Format("MIDI data of %zu bytes starting %02X", Length, Data[0]));
  }
}

void TKVPlayEngine::Click(int Beat) {
  const TKVMetronome& m = FView.Metronome;
  Short(uint8_t(0x90 | (m.Channels[Beat] & 15)), DataByte(m.Keys[Beat]), DataByte(m.Velocities[Beat]), 0, false);
}

bool TKVPlayEngine::PlayCell(const TKVPositionEntry& Cell) {
  TKVItem* item = Cell.Item;
  switch (item ? item->Kind() : 0) {
    case ItemKind::Note:
      if (auto* note = ItemCast<TKVNote>(item)) return PlayNote(*note, Cell.Word);
      return false;
    case ItemKind::Effect:
      if (auto* effect = ItemCast<TKVEffect>(item)) return PlayEffect(*effect);
      return false;
    case ItemKind::Rest:
      EndLyrics(*item, ItemPosition(item), false);
      return true;
    case ItemKind::Syllable:
      if (auto* lyric = ItemCast<TKVLyric>(item)) PlayLyric(*lyric);
      return true;
    case ItemKind::LyricText:
    case ItemKind::DynamicSymbol:
      PlayAction(Cell);
      return true;
    case ItemKind::TempoMark:
      if (auto* mark = ItemCast<TKVMark>(item))
        if (int32_t tempo = TempoOfMark(*mark)) SetTempo(tempo);
      return true;
    case ItemKind::Fermata:
      // The first hold of the tick sets the count, later ones may raise it.
      FHoldCount = FHold ? std::max(FHoldCount, Cell.Word) : Cell.Word;
      FHold = true;
      return true;
    case ItemKind::Pedal:
      if (auto* mark = ItemCast<TKVMark>(item)) return PlayPedal(*mark, true);
      return false;
    case ItemKind::Portamento:
      if (auto* mark = ItemCast<TKVMark>(item)) return PlaySustain(*mark, Cell.Word);
      return false;
    case ItemKind::MidiEvent:
      if (auto* event = ItemCast<TKVMIDIEvent>(item)) {
        const std::vector<uint8_t>& data = event->MidiData();
        SendBytes(data.data(), std::min<size_t>(data.size(), event->DataLength()));
      }
      return true;
    case ItemKind::Sound:
      if (auto* sound = ItemCast<TKVSound>(item)) PlayClip(*sound, 0);
      return true;
    default:
      return false;
  }
}

// Slash heads (2 and 4) show the rhythm only and never sound.
// A tied note takes over the sounding note of its key without a message;
// with none sounding (a start inside the tie, or a tie across a jump met
// the first time through) it is struck, unless a strike of its key on its
// channel (another voice's or part's) cut off the tie it continues: a key
// is struck once for each note that begins. Each note-off repeats the key
// its note-on sent, whatever the transposition has become since.
bool TKVPlayEngine::PlayNote(TKVNote& Note, uint16_t Value) {
  if (Value == 0 || Note.HeadType() == 2 || Note.HeadType() == 4 || Muted(Note.Voice, true)) return false;
  const TKVPart* part = ItemPart(&Note);
  const int32_t avst = part ? part->VSTHandle : 0;
  const uint8_t channel = Note.Channel & 15;
  TSounding entry{&Note, ItemKind::Note, channel, Note.MidiKey, DataByte(Note.MidiKey + FView.Tone()), Value};
  const bool tied = (Note.PlayState & TiedIn) != 0;
  const size_t cutTie = size_t(channel) * 128 + (Note.MidiKey & 0x7F);
  bool takesOver = false;
  if (auto old = FindSounding(ItemKind::Note, channel, Note.MidiKey); old != FSounding.end()) {
    auto* oldNote = static_cast<TKVNote*>(old->Item);
    oldNote->PlayState &= uint8_t(~Sounding);
    if (tied) {
      entry.SentKey = old->SentKey;
      takesOver = true;
    } else {
      Short(uint8_t(0x80 | channel), old->SentKey, 0, avst);
      if (TiesOn(*oldNote)) FCutTies.set(cutTie);
    }
    old->Item = nullptr;
  } else if (tied && FCutTies.test(cutTie)) {
    FCutTies.set(cutTie, TiesOn(Note));
    return true;
  }
  if (tied) FCutTies.reset(cutTie);
  if (!takesOver) {
    if (Note.Tuning) {
      FTuning[5] = uint8_t(Note.Instrument & 0x7F);
      FTuning[7] = entry.SentKey;
      Long(FTuning.data(), FTuning.size(), avst);
    }
    if (FProgramOverride[channel] == 0xFFFF) SendInstrument(channel, Note.Instrument, avst);
    Short(uint8_t(0x90 | channel), entry.SentKey, DataByte(Note.Velocity()), avst);
  }
  Note.PlayState |= Sounding;
  FSounding.push_back(entry);
  FView.PlayEnded = 1;
  return true;
}

// Effects belong to their note's part but send with no plug-in handle and
// ignore the program overrides.
bool TKVPlayEngine::PlayEffect(TKVEffect& Effect) {
  if (Muted(Effect.Voice, false)) return false;
  const uint8_t channel = Effect.Channel & 15;
  if (auto old = FindSounding(ItemKind::Effect, channel, Effect.MidiKey); old != FSounding.end()) {
    Short(uint8_t(0x80 | channel), old->SentKey, 0, 0);
    old->Item = nullptr;
  }
  const uint8_t key = DataByte(Effect.MidiKey + FView.Tone());
  SendInstrument(channel, Effect.Instrument, 0);
  Short(uint8_t(0x90 | channel), key, DataByte(Effect.Data().u8(EffectBlock::Velocity)), 0);
  FSounding.push_back({&Effect, ItemKind::Effect, channel, Effect.MidiKey, key, Effect.Length()});
  return true;
}

// The layout leaves a pedal's cell word at 0, so a pedal plays whatever
// its word says.
bool TKVPlayEngine::PlayPedal(TKVMark& Mark, bool MuteCheck) {
  if (MuteCheck && PartMuted(Mark)) return false;
  Short(uint8_t(0xB0 | (Mark.Channel & 15)), 64, Mark.Variant() == 1 ? 127 : 0, 0);
  return true;
}

bool TKVPlayEngine::PlaySustain(TKVMark& Mark, uint16_t Value) {
  if (Value == 0 || PartMuted(Mark)) return false;
  const uint8_t channel = Mark.Channel & 15;
  FSounding.push_back({&Mark, ItemKind::Portamento, channel, 0, 0, Value});
  Short(uint8_t(0xB0 | channel), 65, 127, 0);
  return true;
}

void TKVPlayEngine::PlayLyric(TKVLyric& Lyric) {
  const TKVMeasure* measure = Lyric.GetMeasure();
  for (TSounding& s : FSounding) {
    const TKVMeasure* other = s.Item && s.Kind == ItemKind::Syllable ? s.Item->GetMeasure() : nullptr;
    if (other && measure && other->Part() == measure->Part()) {
      Unhighlight(s);
      break;
    }
  }
  Lyric.State |= Sounding;
  FSounding.push_back({&Lyric, ItemKind::Syllable});
  FView.PlayEnded = 1;
}

void TKVPlayEngine::PlayClip(TKVSound& Sound, int32_t OffsetSeconds) {
  try {
    FView.ClipPlayer().Run(Sound, OffsetSeconds);
  } catch (...) {
    Failed("sound clip" + Where(Sound));
  }
  if (std::none_of(FSounding.begin(), FSounding.end(), [&](const TSounding& s) { return s.Item == &Sound; }))
    FSounding.push_back({&Sound, ItemKind::Sound});
}

// A text (34) or user symbol (160) with a play action that the layout
// counted in the measure's timing: its MIDI bytes, or its tempo change.
void TKVPlayEngine::PlayAction(const TKVPositionEntry& Cell) {
  if (Cell.Action == PositionAction::MidiMessage) {
    if (auto* lyric = ItemCast<TKVLyric>(Cell.Item)) SendBytes(lyric->MidiBytes.data(), lyric->MidiBytes.size());
    if (auto* mark = ItemCast<TKVMark>(Cell.Item)) SendBytes(mark->MidiBytes.data(), mark->MidiBytes.size());
    return;
  }
  // The word holds the tempo + 100 (a negative change wraps in 16 bits); a
  // positive first value makes it absolute, as the layout timed it.
  const int32_t value = int16_t(Cell.Word) - 100;
  SetTempo(int8_t(Cell.Param) > 0 ? value : int64_t(Play().Tempo) + value);
}

void TKVPlayEngine::SendInstrument(uint8_t Channel, uint32_t Instrument, int32_t AVST) {
  if (Instrument == FInstrument[Channel]) return;
  const auto control = uint8_t(0xB0 | Channel);
  if (Instrument & 0x800000) Short(control, 0, uint8_t((Instrument >> 16) & 0x7F), AVST);
  if (Instrument & 0x8000) Short(control, 32, uint8_t((Instrument >> 8) & 0x7F), AVST);
  Short(uint8_t(0xC0 | Channel), uint8_t(Instrument & 0x7F), 0, AVST);
  FInstrument[Channel] = Instrument;
}

void TKVPlayEngine::SendBytes(const uint8_t* Bytes, size_t Length) {
  Long(Bytes, Length, 0);
  if (Length > 1 && (Bytes[0] & 0xF0) == 0xC0) FProgramOverride[Bytes[0] & 15] = Bytes[1];
}

std::vector<TKVPlayEngine::TSounding>::iterator TKVPlayEngine::FindSounding(uint8_t Kind, uint8_t Channel,
                                                                            uint8_t Key) {
  return std::find_if(FSounding.begin(), FSounding.end(), [&](const TSounding& s) {
    return s.Item && s.Kind == Kind && s.Channel == Channel && s.Key == Key;
  });
}

// From the last entry to the first, so that what started later ends first.
void TKVPlayEngine::Countdown() {
  for (size_t i = FSounding.size(); i-- > 0;) {
    TSounding& s = FSounding[i];
    if (!s.Item || (s.Kind != ItemKind::Note && s.Kind != ItemKind::Effect && s.Kind != ItemKind::Portamento)) continue;
    if (s.Remaining != 0 && !Muted(VoiceOf(s.Item), false)) {
      --s.Remaining;
      continue;
    }
    TKVItem* item = s.Item;
    s.Item = nullptr;
    if (s.Kind == ItemKind::Portamento) {
      Short(uint8_t(0xB0 | s.Channel), 65, 0, 0);
      continue;
    }
    Short(uint8_t(0x80 | s.Channel), s.SentKey, 0, 0);
    if (auto* note = ItemCast<TKVNote>(item)) {
      note->PlayState &= uint8_t(~Sounding);
      FView.PlayEnded = 1;
      EndLyrics(*note, note->Position(), true);
    }
  }
}

void TKVPlayEngine::Unhighlight(TSounding& S) {
  static_cast<TKVLyric*>(S.Item)->State &= uint8_t(~Sounding);
  S.Item = nullptr;
  FView.PlayEnded = 1;
}

void TKVPlayEngine::EndLyrics(const TKVItem& By, uint16_t Position, bool AtStart) {
  const TKVMeasure* measure = By.GetMeasure();
  if (!measure) return;
  for (TSounding& s : FSounding) {
    const TKVMeasure* other = s.Item && s.Kind == ItemKind::Syllable ? s.Item->GetMeasure() : nullptr;
    if (!other || other->Part() != measure->Part()) continue;
    const uint16_t start = static_cast<TKVLyric*>(s.Item)->Position();
    if (other->Index() < measure->Index() ||
        (other == measure && (start < Position || (AtStart && start == Position))))
      Unhighlight(s);
  }
}

void TKVPlayEngine::Silence() {
  for (size_t i = FSounding.size(); i-- > 0;) {
    TSounding& s = FSounding[i];
    if (!s.Item) continue;
    switch (s.Kind) {
      case ItemKind::Note:
        static_cast<TKVNote*>(s.Item)->PlayState &= uint8_t(~Sounding);
        [[fallthrough]];
      case ItemKind::Effect:
        Short(uint8_t(0x80 | s.Channel), s.SentKey, 0, 0);
        break;
      case ItemKind::Syllable:
        Unhighlight(s);
        break;
      case ItemKind::Sound:
        try {
          FView.ClipPlayer().Stop(*static_cast<TKVSound*>(s.Item));
        } catch (...) {
          Failed("stopping sound clip" + Where(*s.Item));
        }
        break;
      default:
        break;
    }
  }
  FSounding.clear();
}

void TKVPlayEngine::RemoveEnded() {
  std::erase_if(FSounding, [](const TSounding& s) { return !s.Item; });
}
