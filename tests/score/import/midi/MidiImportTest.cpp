// The MIDI import on hand-built files: what notation each kind of content
// becomes.

#include <gtest/gtest.h>

#include "score/import/ImportErrors.h"
#include "score/import/midi/MidiImportTestSupport.h"
#include "score/model/Column.h"
#include "support/LayoutDump.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/NotationSupport.h"
#include "score/model/ScoreImporters.h"
#include "score/model/SimpleElements.h"
#include "score/model/ScoreRecords.h"
#include "support/Raised.h"

namespace {

// Each {key, start, length} on Channel, note-ons and note-offs in time order.
struct TNoteSpec {
  int Key, Start, Length;
};
void AddNotes(TMidiTrackBuilder& t, const std::vector<TNoteSpec>& notes, int channel = 0) {
  std::vector<std::tuple<int, int, int>> events;  // time, on (offs first), key
  for (const TNoteSpec& n : notes) {
    events.emplace_back(n.Start, 1, n.Key);
    events.emplace_back(n.Start + n.Length, 0, n.Key);
  }
  std::sort(events.begin(), events.end());
  int now = 0;
  for (auto [time, on, key] : events) {
    if (on)
      t.NoteOn(uint32_t(time - now), channel, key, 100);
    else
      t.NoteOff(uint32_t(time - now), channel, key);
    now = time;
  }
  t.EndOfTrack();
}

// One track at division 128 (file ticks are score ticks); program Program
// first unless negative.
TBytes NotesFile(const std::vector<TNoteSpec>& notes, int channel = 0, int program = -1, bool running = false) {
  TMidiFileBuilder file(0, 128);
  TMidiTrackBuilder& t = file.AddTrack();
  t.RunningStatus(running);
  if (program >= 0) t.Program(0, channel, program);
  AddNotes(t, notes, channel);
  return file.Bytes();
}

std::string Dump(TKVPart* part) {
  std::string out;
  for (int m = 0; m < part->GetMeasureCount(); ++m) out += "|" + std::to_string(m) + "\n" + DumpItems(*part->GetMeasure(m));
  return out;
}

class MidiImport : public MidiImportTest {};

TBytes ScaleFile(bool running) {
  return NotesFile({{60, 0, 128}, {62, 128, 128}, {64, 256, 128}, {65, 384, 128}, {67, 512, 128}, {69, 640, 128},
                    {71, 768, 128}, {72, 896, 128}},
                   0, -1, running);
}

// Program 0 and a note at middle C make a grand staff.
TEST_F(MidiImport, ScaleBecomesAGrandStaffOfQuarters) {
  Import(ScaleFile(false));
  EXPECT_EQ(Dump(Part(0)),
            "|0\nM1:0@0=0\nM2:1@0=0\nM2:2@0=0\nN60@0/128 v00\nR@0/512 v10\nN62@128/128 v00\nN64@256/128 v00\n"
            "N65@384/128 v00\n|1\nN67@0/128 v00\nR@0/512 v10\nN69@128/128 v00\nN71@256/128 v00\nN72@384/128 v00\n");
  EXPECT_EQ(piece->GetColumnCount(), 2);
  EXPECT_EQ(DumpItems(*piece->GetColumn(0)), "M27:0@0=1\nM4:0@0=1028\nM37:0@0=0\n");
  EXPECT_EQ(piece->MeasureRecordCount(), 2);
}

// The first half of a note across the bar line ends there, tied to the
// rest; a note that collides with another goes to a second voice.
TEST_F(MidiImport, NotesAcrossBarLinesAreTied) {
  Import(NotesFile({{60, 480, 100}, {64, 256, 640}}, 0, 40));
  EXPECT_EQ(Dump(Part(0)),
            "|0\nM2:1@0=0\nR@0/256 v00\nR@0/256 v01\nN64@256/256 v00 tie\nR@256/128 v01\nR@384/64 v01\nR@448/32 v01\n"
            "N60@480/32 v01 tie\n|1\nN64@0/384 v00 dot\nN60@0/64 v01\nR@64/64 v01\nR@128/128 v01\nR@256/256 v01\n"
            "R@384/128 v00\n");
  TKVNote* first = WrittenNotes(*Part(0))[1];
  EXPECT_EQ(first->PlayedLength(), 32);  // it sounds up to its bar line
  EXPECT_EQ(NoteStarts(*Part(0)).size(), 2u);
}

// Notes of one start and value make a chord; one of another value goes to
// the second voice, and so does a fourth note, there being two voices at
// most. The same key twice at one place is written once.
TEST_F(MidiImport, ChordsAndTwoVoicesOnOneStaff) {
  TKVMidiImportResult result =
      Import(NotesFile({{79, 0, 128}, {76, 0, 128}, {72, 0, 192}, {67, 0, 192}, {84, 384, 10}, {84, 394, 10}}, 0, 40));
  EXPECT_EQ(DumpItems(*Measure(0, 0)),
            "M2:1@0=0\nN76@0/128 v00 chord\nN79@0/128 v00 chord\nN67@0/192 v01 dot chord\nN72@0/192 v01 dot chord\n"
            "R@128/128 v00\nR@192/64 v01\nR@256/128 v00\nR@256/256 v01\nN84@384/32 v00\nR@416/32 v00\nR@448/64 v00\n");
  ASSERT_EQ(result.MergedDuplicates.size(), 1u);
  EXPECT_EQ(result.MergedDuplicates[0].Time, 394u);
}

// Every note-on is struck once with its key (one voice): a chord's note of a
// longer value sounds on into the note its tie leads to, also when it comes
// a whole chord value late (moved onto the chord's beat by the grid); the
// tail of a note whose first value is a duplicate is tied on; the top octave
// keeps its signs.
TEST_F(MidiImport, EveryNoteIsStruckOnce) {
  for (const auto& [notes, struck, merged] : std::vector<std::tuple<std::vector<TNoteSpec>, std::string, size_t>>{
           {{{60, 128, 192}, {55, 128, 128}, {52, 128, 320}}, "52@128+256 55@128+128 60@128+192 ", 0},
           {{{60, 0, 8}, {60, 10, 630}}, "60@0+512 ", 1},
           {{{121, 0, 128}, {121, 128, 128}}, "121@0+128 121@128+128 ", 0},
           {{{67, 128, 64}, {60, 192, 224}}, "67@128+64 60@192+128 ", 0}}) {
    score = std::make_unique<TKVScore>();
    score->ImportOptions.ImportMaxVoices = 1;
    EXPECT_EQ(Import(NotesFile(notes, 0, 40)).MergedDuplicates.size(), merged);
    EXPECT_EQ(StruckNotes(piece->Layout()), struck);
    EXPECT_EQ(NoteStarts(*Part(0)).size() + score->MidiImportNotice.Merged, notes.size());
  }
}

// The signs of the notes of a part, "-" for none, "|" between measures.
std::string Signs(TKVPart* part) {
  std::string out;
  for (int m = 0; m < part->GetMeasureCount(); ++m) {
    if (m) out += "|";
    for (TKVItem* item : part->GetMeasure(m)->Items())
      if (auto* n = dynamic_cast<TKVNote*>(item)) {
        auto* sign = n->GetItemCount() ? dynamic_cast<TKVMark*>(n->GetItem(0)) : nullptr;
        out += !sign ? "-" : sign->Variant() == 0 ? "b" : sign->Variant() == 2 ? "#" : "n";
      }
  }
  return out;
}

// Black keys come as sharps, those above D and A as flats; a sign stands
// where the key and the signs before it in the measure do not give the note.
TEST_F(MidiImport, AccidentalsFollowTheKeyAndTheMeasure) {
  const std::initializer_list<TNoteSpec> notes = {{66, 0, 128},   {66, 128, 128}, {63, 256, 128},
                                                  {70, 384, 128}, {65, 512, 128}, {66, 640, 128}};
  Import(NotesFile(notes, 0, 40));
  EXPECT_EQ(Signs(Part(0)), "#-bb|-#");
  score = std::make_unique<TKVScore>();
  TMidiFileBuilder file(0, 128);
  TMidiTrackBuilder& t = file.AddTrack();
  t.KeySignature(0, 1);  // G major: F sharp
  AddNotes(t, notes);
  Import(file.Bytes());
  EXPECT_EQ(Signs(Part(0)), "--bb|n#");
  EXPECT_EQ(WrittenNotes(*Part(0))[2]->Pitch(), 0x52);  // E flat: octave 5, step E
  // One line in two alterations at one time: two voices, each with its sign.
  score = std::make_unique<TKVScore>();
  Import(NotesFile({{60, 0, 128}, {61, 0, 128}}, 0, 40));
  EXPECT_EQ(DumpItems(*Measure(0, 0)).substr(0, 50), "M2:1@0=0\nN60@0/128 v00 natural\nN61@0/128 v01 sharp");
}

// Tempo changes from any track land quantised in their columns; of two at
// one place the later stays.
TEST_F(MidiImport, TempoChangesBecomeTempoMarks) {
  TMidiFileBuilder file(1, 128);
  file.AddTrack().Tempo(0, 500000).Tempo(1000, 600000).Tempo(4, 400000).EndOfTrack();
  AddNotes(file.AddTrack(), {{60, 0, 128}});
  Import(file.Bytes());
  EXPECT_EQ(DumpItems(*piece->GetColumn(0)), "M27:0@0=1\nM4:0@0=1028\nM37:0@0=0\nM6:2@0=120\n");
  EXPECT_EQ(DumpItems(*piece->GetColumn(1)), "M6:2@480=150\n");
  EXPECT_EQ(static_cast<TKVMark*>(piece->GetColumn(1)->GetItem(0))->OffsetY(), -128);
}

// A time signature takes effect at the next bar line; its measures have
// their own length, and a note across their bar line is tied.
TEST_F(MidiImport, MeterChangesMidPiece) {
  TMidiFileBuilder file(1, 128);
  file.AddTrack().TimeSignature(0, 4, 2).TimeSignature(1000, 3, 2).EndOfTrack();
  AddNotes(file.AddTrack(), {{64, 1280, 256}});
  Import(file.Bytes());
  EXPECT_EQ(DumpItems(*piece->GetColumn(2)), "M4:0@0=772\nM37:0@0=0\n");
  EXPECT_EQ(DumpItems(*piece->GetColumn(1)), "");
  EXPECT_EQ(Dump(Part(0)), "|0\nM2:1@0=0\nR@0/512 v00\n|1\nR@0/512 v00\n|2\nR@0/256 v00\nN64@256/128 v00 tie\n"
                           "|3\nN64@0/128 v00\nR@128/256 v00\n");
}

// Channel 10 takes the drum clef on each staff and no clef changes; the
// score's drum map places its notes.
TEST_F(MidiImport, DrumsOnChannel10) {
  score->ImportOptions.ImportClefChanges = 1;
  // Key 38 on middle C's line, drawn with the head of drum set 0.
  auto entry = std::make_unique<TKVDrumEntry>();
  entry->Data.setU8(TKVDrumEntry::SoundingKey, 38);
  entry->Data.setU8(TKVDrumEntry::StaffPosition, 58);
  entry->Data.setU8(TKVDrumEntry::Enabled, 1);
  score->DrumEntries().push_back(std::move(entry));
  score->NamedRecords().AddObject("Drums", new TKVNamedRecord);
  score->BuildDrumMap();
  Import(NotesFile({{36, 0, 128}, {38, 128, 128}, {36, 256, 128}, {36, 384, 128}, {72, 512, 128}, {74, 640, 128}}, 9));
  EXPECT_EQ(Part(0)->Channel(), 9);
  EXPECT_EQ(Part(0)->GetStaffCount(), 2);
  EXPECT_EQ(DumpItems(*Measure(0, 0)).substr(0, 26), "M1:0@0=0\nM2:15@0=0\nM2:15@0");
  const std::vector<TKVNote*> notes = WrittenNotes(*Part(0));
  EXPECT_EQ(notes[1]->Pitch(), 0x50);  // staff position 58: middle C's line
  EXPECT_EQ(notes[1]->MidiKey, 38);
  EXPECT_EQ(DumpItems(*Measure(0, 1)).find("M2:"), std::string::npos);
}

// A one-staff part changes to the bass clef under low notes and back once
// its notes rise far enough.
TEST_F(MidiImport, ClefChangesFollowThePitch) {
  score->ImportOptions.ImportClefChanges = 1;
  Import(NotesFile({{40, 0, 128}, {40, 128, 128}, {40, 256, 128}, {40, 384, 128}, {72, 512, 128}, {72, 640, 128}},
                   0, 40));
  EXPECT_EQ(DumpItems(*Measure(0, 0)).substr(0, 9), "M2:2@0=0\n");
  EXPECT_EQ(DumpItems(*Measure(0, 1)).substr(0, 9), "M2:1@0=0\n");
  // The layout finds the changes in its clef lists.
  EXPECT_EQ(Measure(0, 0)->GetClefOffsetAt(0, 256), ClefLineOffset(2));
  EXPECT_EQ(Measure(0, 1)->GetClefOffsetAt(0, 256), ClefLineOffset(1));
}

// A named part gets a label left of its first measure; a part without
// notes is dropped; a controller lands unquantised in its column.
TEST_F(MidiImport, PartLabelsControllersAndEmptyParts) {
  score->ImportOptions.ImportPartLabels = 1;
  TMidiFileBuilder file(1, 128);
  AddNotes(file.AddTrack().Text(0, 3, "Flute"), {{72, 0, 128}});
  file.AddTrack().Text(0, 3, "Silent").Controller(0, 1, 7, 100).EndOfTrack();
  file.AddTrack().Controller(700, 2, 1, 64).EndOfTrack();
  Import(file.Bytes());
  ASSERT_EQ(piece->GetPartCount(), 1);
  auto* label = dynamic_cast<TKVLyric*>(Measure(0, 0)->GetItem(0));
  ASSERT_TRUE(label && label->Kind() == 35);
  EXPECT_EQ(label->Text(), "Arial");
  EXPECT_EQ(label->Lines(), TKVWideList{u"Flute"});
  EXPECT_EQ(label->OffsetX(), -text::CurrentMeasurer().TextWidthW({"Arial", 80, 0}, u"Flute"));
  auto* event = dynamic_cast<TKVMIDIEvent*>(piece->GetColumn(1)->GetItem(0));
  ASSERT_TRUE(event);
  EXPECT_EQ(event->Position(), 188);
  EXPECT_EQ(event->MidiData(), (std::vector<uint8_t>{0xB2, 1, 64}));
}

// With triplets allowed, three even notes over a beat become a tuplet;
// without, every start and value lies on the quantum.
TEST_F(MidiImport, TripletsOnlyWithTheOption) {
  const std::initializer_list<TNoteSpec> notes = {{72, 0, 42}, {74, 43, 42}, {76, 85, 43}, {77, 128, 384}};
  Import(NotesFile(notes, 0, 40));
  for (TKVNote* n : WrittenNotes(*Part(0))) EXPECT_EQ((n->Position() | n->Duration()) % 32, 0);
  score = std::make_unique<TKVScore>();
  score->ImportOptions.ImportTriplets = 1;
  Import(NotesFile(notes, 0, 40));
  std::string dump = DumpItems(*Measure(0, 0));
  EXPECT_NE(dump.find("M85:3@0=64\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("N74@42/43"), std::string::npos) << dump;
}

// Every truncation of a file imports what it holds or is refused with the
// import's error; a chunk length beyond the file reads what is there.
TEST_F(MidiImport, DamagedFilesImportWhatIsThere) {
  const TBytes whole = ScaleFile(true);
  for (size_t size = 0; size < whole.size(); ++size) {
    score = std::make_unique<TKVScore>();
    try {
      Import(TBytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)));
      EXPECT_LE(WrittenNotes(*Part(0)).size(), 8u);
    } catch (const EImportError&) {
    }
  }
  TMidiFileBuilder file(0, 128);
  AddNotes(file.AddTrack().DeclaredLength(0xFFFFFF00), {{60, 0, 128}, {64, 128, 128}});
  score = std::make_unique<TKVScore>();
  Import(file.Bytes());
  EXPECT_EQ(WrittenNotes(*Part(0)).size(), 2u);
  // A hundred thousand note-ons of one key and no note-off: at most sixteen
  // sound at once, so each lasts a few ticks and the import stays bounded
  // (voices run out for some of them).
  TMidiFileBuilder held(0, 128);
  TMidiTrackBuilder& t = held.AddTrack();
  for (int i = 0; i < 100000; ++i) t.NoteOn(i ? 16 : 0, 0, 60, 90);
  t.EndOfTrack();
  score = std::make_unique<TKVScore>();
  Import(held.Bytes());
  const std::string struck = StruckNotes(piece->Layout());
  const size_t kept = size_t(std::count(struck.begin(), struck.end(), ' ')) + score->MidiImportNotice.Merged;
  EXPECT_TRUE(kept > 50000 && kept <= 100000) << kept;
}

// A file without notes lasts as long as its longest track, end-of-track
// event included, in whole measures; a file with notes ends with the
// measure of its last note however late its tracks end.
TEST_F(MidiImport, AFileWithoutNotesLastsAsLongAsItsTracks) {
  for (const auto& [end, notes, columns] : std::vector<std::tuple<uint32_t, bool, int>>{
           {5 * 512, false, 5}, {4 * 512 + 1, false, 5}, {0, false, 1}, {8 * 512, true, 1}}) {
    SCOPED_TRACE(end);
    TMidiFileBuilder file(1, 128);
    file.AddTrack().Tempo(0, 500000).EndOfTrack(end);
    TMidiTrackBuilder& t = file.AddTrack().Controller(0, 0, 7, 90).Controller(0, 0, 64, 127);
    if (notes) t.NoteOn(0, 0, 60, 100).NoteOff(128, 0, 60);
    t.EndOfTrack();
    score = std::make_unique<TKVScore>();
    Import(file.Bytes());
    EXPECT_EQ(piece->GetColumnCount(), columns);
    EXPECT_EQ(piece->MeasureRecordCount(), columns);
    EXPECT_EQ(score->MidiImportNotice.NoNotes, !notes);
  }
  // Silence beyond the measures the import makes is refused as too large.
  TMidiFileBuilder endless(0, 128);
  endless.AddTrack().Controller(0, 0, 64, 127).EndOfTrack(10001 * 512);
  score = std::make_unique<TKVScore>();
  EXPECT_EQ(RaisedBy<EImportError>([&] { Import(endless.Bytes()); }), SMidiTooLarge);
}

// A file that is not MIDI, or would need more measures than the import
// makes, is refused by LoadFromFile with the score as it was.
TEST_F(MidiImport, RefusedFilesLeaveTheScoreAsItWas) {
  RegisterMidiImporter();
  Import(ScaleFile(false));
  const std::string before = Dump(Part(0));
  const std::string path = testing::TempDir() + "refused.mid";
  TMidiFileBuilder huge(0, 128);
  AddNotes(huge.AddTrack(), {{60, 10001 * 512, 128}});
  for (const auto& [bytes, message] : {std::pair{TBytes{'R', 'I', 'F', 'F', 'x'}, SNotMidiFile},
                                       std::pair{huge.Bytes(), SMidiTooLarge}}) {
    TMemoryStream(bytes).SaveToFile(path);
    EXPECT_EQ(RaisedBy<EImportError>([&] { score->LoadFromFile(path); }), message);
    ASSERT_EQ(score->GetPieceCount(), 1);
    EXPECT_EQ(Dump(score->GetPiece(0)->GetPart(0)), before);
  }
  std::remove(path.c_str());
  RegisterScoreImporter(TKVImportFormat::MIDI, {});
}

}  // namespace
