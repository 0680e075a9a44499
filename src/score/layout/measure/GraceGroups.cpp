// Grace-note groups: laid out by the column step as a small measure of
// their own. The members get their records one tick after another from the
// group's start, then every record is moved before the main notes (or after
// them for a group that follows its note), and the group's record takes the
// room the members need.

#include <algorithm>
#include <array>
#include <string>

#include "score/layout/measure/ColumnArrangement.h"
#include "score/layout/ItemFields.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/measure/NotePitch.h"
#include "score/layout/staff/StaffHooks.h"
#include "score/layout/staff/StaffLayout.h"
#include "score/layout/staff/StaffObjects.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr uint8_t AttachmentFlag = 0x10;

int32_t Saturate(int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }
// V * A * B / 10000, multiplied out before dividing (a size below 100 % must
// not round the factor itself to 0).
int32_t Percent2(int64_t V, int64_t A, int64_t B) { return Saturate(V * A * B / 10000); }

// Room on one line of the group's accidental stacking, layout units.
struct TGraceLine {
  int32_t HeadExtent = 0, InnerEdge = 0, OuterExtent = 0;
};

// The layout of one group, reset per group.
struct TGraceLayout {
  explicit TGraceLayout(TKVVorschlag& Group) : Group(Group) {}

  TKVVorschlag& Group;
  std::vector<int32_t> Ticks;  // x of each tick within the group
  std::array<TGraceLine, 128> Lines{};
  int32_t X = 0, AccWidth = 0, HeadWidth = 0;
  int32_t Tick = -1;
  int32_t Gap = 0;  // room between two ticks: the spacing base and the group's spacing
  TKVDisplayItem* ChordStem = nullptr;

  // Moves on to Tick when a member starts a new one.
  void Advance(int32_t MemberTick) {
    if (MemberTick == Tick) return;
    X += AccWidth + HeadWidth + Gap;
    AccWidth = HeadWidth = 0;
    Tick = MemberTick;
    Lines = {};
  }
  void EndMember(int32_t MemberTick) {
    if (MemberTick >= 0 && size_t(MemberTick) < Ticks.size()) Ticks[size_t(MemberTick)] = X + AccWidth;
  }
  int32_t XOf(int32_t MemberTick) const {
    return MemberTick >= 0 && size_t(MemberTick) < Ticks.size() ? Ticks[size_t(MemberTick)] : 0;
  }
};

// The staff and voice a member names, falling back to the staff walked and
// to no voice where the part has none.
TKVVoice* EnterMemberStaff(TKVFormatContext& Ctx, TKVStaff& Walked, uint8_t StaffVoice, TKVVoicedItem& Member) {
  TKVStaff* staff = Ctx.Part->GetStaff(StaffVoice >> 4);
  Ctx.Staff = staff ? staff : &Walked;
  return BindVoice(Ctx, Member, StaffVoice);
}

void LayoutGraceRest(TKVFormatContext& Ctx, TGraceLayout& G, TKVStaff& Walked, TKVPause& Rest) {
  Rest.DisplayLink = nullptr;
  Rest.Voice = EnterMemberStaff(Ctx, Walked, Rest.StaffVoice(), Rest);
  G.Advance(Rest.Position());
  int32_t ls = 0, wide = 0;
  CalcStaffSteps(Ctx, *Ctx.Staff, ls, wide);
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Rest, true);
  ApplyItemSize(D, Rest.SizePercent());
  Rest.DisplayLink = &D;
  const int32_t scale = Ctx.Scale(), size = D.SizePercent, dx = G.Group.OffsetX();
  // Laid out by its written value.
  int32_t width = 48, down;
  if (Rest.Value() == 512) {
    D.Bounds = {Percent2(dx - 24, scale, size), 0, ls, ls / 2};
    down = ls;
  } else if (Rest.Value() == 256) {
    D.Bounds = {Percent2(dx - 24, scale, size), -ls / 2, Percent2(48, scale, size), 0};
    down = 2 * ls;
  } else {
    width = ScaleByScore(Ctx, RestGlyphWidth(Ctx.Score, Rest.Value()));
    D.Bounds = {Percent2(dx, scale, size), -2 * ls, Percent2(width, scale, size), 2 * ls};
    down = 2 * ls;
  }
  D.Bounds.Top += down;
  D.Bounds.Bottom += down;
  G.HeadWidth = std::max(G.HeadWidth, width);
  G.EndMember(Rest.Position());
}

int32_t HeadWidthOf(const TKVScore& Score, const TKVNote& Note) {
  return Score.MusicGlyphWidth(Note.Value() == 256 ? '4' : Note.Value() == 512 ? '*' : '5');
}

// A slur of a grace note; its points are the record's second rectangle, as
// for the main notes.
void LayoutGraceSlur(TKVFormatContext& Ctx, TGraceLayout& G, TKVNote& Note, const TKVDisplayItem& Head, int32_t Y,
                     int32_t LineStep, TKVLiga& Slur) {
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Slur, true);
  const int32_t end = G.Group.Position() + Slur.Data().u16(LigaBlock::Length);
  D.Param = uint16_t(std::min(end, 65535));
  int32_t e0 = 0;
  if (end < Ctx.Record->Length)
    e0 = GetClefOffset(Ctx, uint16_t(end)) * LineStep / 2;
  else
    Ctx.Record->ContinuingDisplays.push_back(&D);
  const int32_t scale = Ctx.Scale(), staffSize = Ctx.Staff->SizePercent(), size = Head.SizePercent;
  const uint8_t flags = Slur.Flags();
  const int32_t dy1 = Slur.Data().i16(LigaBlock::FirstOffsetY), dy2 = Slur.Data().i16(LigaBlock::SecondOffsetY);
  const int32_t stem = 8 * Note.StemLength();
  const bool atStem = (flags & 0x20) != 0 && Note.Value() < 512;
  int32_t k = Percent2(24, scale, staffSize), startY;
  if (((flags >> 2) & 3) == 2) {
    startY = Percent2(dy1, scale, staffSize) + Y;
    k = Percent2(64, scale, staffSize);
  } else if ((flags & 1) == 0) {
    startY = (atStem ? Saturate(int64_t(dy1 - stem) * 2 * scale * size / 30000) : Percent2(dy1, scale, size)) + Y - 16;
  } else {
    startY = (atStem ? Saturate(int64_t(dy1 + stem) * 2 * scale * size / 30000) : Percent2(dy1, scale, size)) + Y +
             LineStep + 6;
  }
  D.Bounds2 = {ScaleByScore(Ctx, G.Group.OffsetX() + Slur.FirstOffset()) + k, startY,
               ScaleByScore(Ctx, Slur.SecondOffset()), (flags & 0x10) ? startY : Percent2(dy2 + e0, scale, staffSize)};
}

// An accidental of a grace note: stacked left of the group's heads over the
// three lines above and below the note.
void LayoutGraceSign(TKVFormatContext& Ctx, TGraceLayout& G, TKVNote& Note, int32_t Y, int32_t LineStep,
                     TKVMark& Sign, TKVAlteration& Alteration) {
  if (!ApplySign(Note, Sign.Variant(), Alteration)) return;
  const uint8_t type = Sign.Variant();
  const bool flatLike = type <= 1 || type == 101 || type == 103 || type == 133 || type == 135 || type == 137;
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Sign, true);
  D.Flags |= AttachmentFlag;
  D.SizePercent = Note.DisplayLink ? Note.DisplayLink->SizePercent : D.SizePercent;
  const int32_t h = AccidentalGlyphWidth(Ctx, Sign) + Ctx.Score.Settings().SpacingWord(0);
  // In layout units here: the stacking table holds whole words.
  const int32_t d = StackOnLines(G.Lines, Note.Line() + 3, Note.Line() - 3, h);
  D.LeftSpace = uint16_t(std::clamp(d, 0, 65535));
  G.AccWidth = std::max(G.AccWidth, d);
  const int32_t mx = Sign.OffsetX() + G.Group.OffsetX() - d, my = Sign.OffsetY();
  if (type == 3)
    D.Bounds = ScaleLayoutRect(Ctx, mx, my, h, my + 48, D.SizePercent);
  else if (flatLike)
    D.Bounds = ScaleLayoutRect(Ctx, mx, my - 2 * LineStep + (LineStep >> 1), h, my + 48, D.SizePercent);
  else
    D.Bounds = ScaleLayoutRect(Ctx, mx, my - LineStep, h, my + 96, D.SizePercent);
  D.Bounds.Top += Y;
  D.Bounds.Bottom += Y;
  if ((flatLike && type > 1) || (!flatLike && type > 6 && type != 3)) Note.Tuning = type;
}

// The beam-group entry of a grace note's group, or nil.
TKVBeamGroupRange* GraceBeam(const TKVFormatContext& Ctx, const TKVNote& Note) {
  if (Note.BeamGroup == 0 || Note.BeamGroup > Ctx.Measure->GroupRanges().size()) return nullptr;
  return &Ctx.Measure->GroupRanges()[Note.BeamGroup - 1u];
}

void LayoutGraceStem(TKVFormatContext& Ctx, TGraceLayout& G, TKVNote& Note, int32_t Y, int32_t HeadWidth,
                     bool Tablature) {
  const bool down = Note.StemDown();
  if (G.ChordStem) {
    auto* linked = ItemCast<const TKVNote>(G.ChordStem->Item);
    if (!Note.Flag(NoteFlag::Chord) || !linked || linked->Position() != Note.Position()) G.ChordStem = nullptr;
  }
  const int32_t scale = Ctx.Scale(), staffSize = Ctx.Staff->SizePercent();
  const int32_t y = Y + Percent2(24, scale, staffSize);
  const int32_t extra = Ctx.Score.Settings().StemExtra();
  if (G.ChordStem) {
    G.ChordStem->Bounds.Top = down ? y : y - Percent2(8 * Ctx.Score.StemLength() + extra, scale, staffSize);
    return;
  }
  TKVDisplayItem& stem = AddDisplayItem(Ctx, &Note, true);
  stem.RecordType = DisplayRecordType::Stem;
  ApplyItemSize(stem, Note.SizePercent());
  if (TKVBeamGroupRange* entry = GraceBeam(Ctx, Note)) {
    const int32_t end = y + Percent2((down ? 8 * Note.StemLength() + extra : -8 * Note.StemLength() - extra) * 3 / 4,
                                     scale, staffSize);
    if (!entry->Beam) {
      entry->Beam = &AddDisplayItem(Ctx, &Note, true);
      entry->Beam->RecordType = DisplayRecordType::BeamGroup;
      entry->Beam->Bounds.Top = end;
    } else {
      entry->Beam->Bounds.Bottom = end;
    }
    entry->Beam->Links.push_back(&stem);
  }
  const int32_t t = 6 * Note.StemLength(), u = 3 * extra / 4, dx = G.Group.OffsetX(), hw = HeadWidth;
  if (!down)  // reaches as far up as the beam does
    stem.Bounds = ScaleLayoutRect(Ctx, Tablature ? ((hw + 1) >> 1) + dx : hw - 6 + dx, -(t + u), 6, 0, staffSize);
  else
    stem.Bounds = ScaleLayoutRect(Ctx, Tablature ? -((hw + 1) / 2) + dx : dx, 0, 6, t + u, staffSize);
  stem.Bounds.Top += y;
  stem.Bounds.Bottom += y;
  if (Note.Flag(NoteFlag::Chord)) G.ChordStem = &stem;
}

void LayoutGraceNote(TKVFormatContext& Ctx, TGraceLayout& G, TKVStaff& Walked, TKVNote& Note) {
  Note.DisplayLink = nullptr;
  TKVVoice* voice = EnterMemberStaff(Ctx, Walked, Note.StaffVoice(), Note);
  TKVStaff& staff = *Ctx.Staff;
  int32_t ls = 0, wide = 0;
  CalcStaffSteps(Ctx, staff, ls, wide);
  TKVDisplayItem& D = AddDisplayItem(Ctx, &Note, true);
  ApplyItemSize(D, Note.SizePercent());
  Note.DisplayLink = &D;
  Note.Tuning = 0;
  const bool tablature = staff.Data().u8(StaffBlock::Tablature) != 0;
  const uint16_t tick = G.Group.Position();
  // A displaced head's room belongs to the tick it stands at.
  G.Advance(Note.Position());
  Ctx.PercussionClef = false;
  const int32_t clef = GetClefOffset(Ctx, tick);
  TKVAlteration own;
  int32_t y, w;
  if (!tablature) {
    Note.StaffStep = int16_t(clef + 45 - Note.Line());
    y = Note.StaffStep * ls / 2 - ls / 2;
    w = HeadWidthOf(Ctx.Score, Note);
  } else {
    // The fret is chosen for the key the signs give: a tablature staff has
    // no key signature.
    for (TKVItem* item : Note.Items().Items())
      if (auto* sign = ItemCast<TKVMark>(item); sign && item->Kind() == ItemKind::Accidental)
        ApplySign(Note, sign->Variant(), own);
    Note.MidiKey = NoteKey(Ctx, Note, own.OwnSign ? own.Value : 0);
    ChooseString(staff, Note);
    Ctx.Canvas.Font = {TextFontName(Ctx.Score, 11, ""), 40, 0};
    w = Ctx.Canvas.TextWidth(Note.Fret() == 0 ? std::string("N") : std::to_string(Note.Fret() - 1));
    Ctx.Canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
    y = (staff.LineCount() - Note.String() - 1) * wide - wide / 2;
  }
  int32_t shift = 0;
  if (Note.Flag(NoteFlag::OtherSide)) {
    if (!Note.StemDown()) {
      G.HeadWidth = std::max(G.HeadWidth, 2 * w);
      shift = w - 6;
    } else {
      D.LeftSpace = uint16_t(std::max(w, 0));
      shift = 6 - w;
    }
  }
  G.AccWidth = std::max<int32_t>(G.AccWidth, D.LeftSpace);
  for (int32_t l = Note.Line(); l <= Note.Line() + 1; ++l)
    if (l >= 0 && l < 128) {
      G.Lines[size_t(l)].HeadExtent = std::max<int32_t>(G.Lines[size_t(l)].HeadExtent, D.LeftSpace);
      G.Lines[size_t(l)].OuterExtent = std::max<int32_t>(G.Lines[size_t(l)].OuterExtent, D.LeftSpace);
    }
  for (TKVItem* item : Note.Items().Items()) {
    if (auto* slur = ItemCast<TKVLiga>(item)) {
      LayoutGraceSlur(Ctx, G, Note, D, y, ls, *slur);
    } else if (auto* sign = ItemCast<TKVMark>(item); sign && item->Kind() == ItemKind::Accidental && !tablature) {
      LayoutGraceSign(Ctx, G, Note, y, ls, *sign, own);
    }
  }
  if (!tablature) Note.MidiKey = NoteKey(Ctx, Note, own.OwnSign ? own.Value : KeyAccidental(Ctx, Note.Line()));
  D.Bounds = ScaleLayoutRect(Ctx, G.Group.OffsetX() + shift, 0, w, tablature ? wide : 48, D.SizePercent);
  D.Bounds.Top += y;
  D.Bounds.Bottom += y;
  if (Note.Value() < 512) LayoutGraceStem(Ctx, G, Note, y, w, tablature);
  if (Note.Value() < 128 && Note.BeamGroup == 0 && !Note.StemDown()) G.HeadWidth = std::max(G.HeadWidth, w / 2 + 56);
  G.HeadWidth = std::max(G.HeadWidth, w);
  G.EndMember(Note.Position());
  SetNoteSound(Ctx, Note, voice);
  TKVPositionEntry& entry = InsertPositionEntry(Ctx, &Note, tick + Note.TimeOffset(), 1);
  entry.Word = Note.PlayedLength() ? Note.PlayedLength() : G.Group.Value() ? G.Group.Value() : Note.Duration();
}

// Tick within the group of the member a record belongs to.
int32_t MemberTick(const TKVDisplayItem& D) {
  TKVItem* item = D.Item;
  if (auto* note = ItemCast<TKVNote>(item)) return note->Position();
  if (auto* rest = ItemCast<TKVPause>(item)) return rest->Position();
  if (auto* note = item ? item->OwnerAs<TKVNote>() : nullptr) return note->Position();
  return 0;
}

}  // namespace

void LayoutGraceGroupItem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVVorschlag& Group) {
  if (Group.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Group);
    return;
  }
  BindVoice(Ctx, Group, Group.StaffVoice());
  if (TKVVoice* first = Ctx.Staff->GetVoice(0)) Group.VoiceKey().VoiceNumber = uint16_t(first->Number());
  Ctx.Record->Flags = uint8_t((Ctx.Record->Flags & ~0x30) | 0x20);
  Pass.Collection.push_back(&AddDisplayItem(Ctx, &Group, true));
}

int32_t ArrangeGraceGroup(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVDisplayItem& Record, int32_t Base) {
  auto* group = ItemCast<TKVVorschlag>(Record.Item);
  if (!group || group->GetItemCount() == 0 || group->Position() >= Ctx.Record->Length) return 0;
  TKVStaff& walked = *Ctx.Staff;
  EnterMemberStaff(Ctx, walked, group->StaffVoice(), *group);
  Ctx.Staff = &walked;
  Ctx.Record->Flags = uint8_t((Ctx.Record->Flags & ~0x30) | 0x20);
  TGraceLayout G(*group);
  const int32_t spacing = 8 * group->Spacing();
  G.Gap = Ctx.NoteSpacing + spacing;
  int32_t lastTick = 0;
  for (TKVItem* member : group->Items().Items()) lastTick = std::max<int32_t>(lastTick, ItemPosition(member));
  G.Ticks.assign(size_t(lastTick) + 1, 0);
  const int32_t first = Ctx.Record->DisplayCount;
  for (TKVItem* member : group->Items().Items()) {
    if (member->Kind() == ItemKind::Note)
      LayoutGraceNote(Ctx, G, walked, *static_cast<TKVNote*>(member));
    else if (member->Kind() == ItemKind::Rest)
      LayoutGraceRest(Ctx, G, walked, *static_cast<TKVPause*>(member));
  }
  Ctx.Staff = &walked;
  const int32_t total = G.X + G.AccWidth + G.HeadWidth + G.Gap;
  const bool after = group->After();
  const int32_t width = after ? 8 * Pass.NoteWidth + total + spacing : 8 * Base + total + spacing;
  const int32_t shift = after ? 8 * Pass.NoteWidth + spacing : -width;
  for (int32_t i = first; TKVDisplayItem* D = Ctx.Record->GetDisplay(i); ++i) {
    if (D->RecordType == DisplayRecordType::Item && !D->Item) continue;
    if (D->RecordType != DisplayRecordType::Item && D->RecordType != DisplayRecordType::Stem) continue;
    const int32_t move = Percent2(G.XOf(MemberTick(*D)), Ctx.Scale(), D->SizePercent) + shift;
    (D->Item && D->Item->Kind() == ItemKind::Slur ? D->Bounds2.Left : D->Bounds.Left) += move;
  }
  const uint16_t room = uint16_t(std::clamp(width / 8, 0, 65535));
  if (after) {
    Record.RightSpace = room;
    return 0;
  }
  Record.LeftSpace = room;
  return std::max(room - Base, 0);
}
