#include "score/import/midi/MidiImport.h"

#include <exception>
#include <memory>

#include "score/import/ImportErrors.h"
#include "score/import/midi/MidiReader.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/ScoreImporters.h"

namespace {

constexpr uint8_t DrumSymbolByte = 3;  // the entry's symbol index, 255 for none

TKVMidiDrumMap DrumMapOf(const TKVScore& score) {
  TKVMidiDrumMap map{};
  for (size_t key = 0; key < map.size(); ++key)
    if (const TKVDrumEntry* entry = score.DrumMapBySoundingKey[key]) {
      map[key].Enabled = entry->Data.u8(TKVDrumEntry::Enabled) != 0;
      map[key].StaffPosition = entry->Data.u8(TKVDrumEntry::StaffPosition);
      map[key].SymbolIndex = entry->Data.u8(DrumSymbolByte);
    }
  return map;
}

bool HoldsNotes(const TKVPiece& piece) {
  for (int32_t p = 0; p < piece.GetPartCount(); ++p) {
    const TKVPart& part = *piece.GetPart(p);
    for (int32_t m = 0; m < part.GetMeasureCount(); ++m)
      for (const TKVItem* item : part.GetMeasure(m)->Items())
        if (item->Kind() == ItemKind::Note) return true;
  }
  return false;
}

}  // namespace

TKVMidiImportState ReadMidiImport(TKVScore& Score, TStream& Stream) {
  const TKVMidiDrumMap drums = DrumMapOf(Score);
  TKVMidiImportState state = ReadMidiFile(Stream, &drums);
  CheckMidiImportLimits(state, Score.ImportOptions);
  return state;
}

TKVMidiImportResult BuildMidiScore(TKVScore& Score, TKVMidiImportState& State) {
  const TByteBlock settings = Score.Settings().Block();
  const std::string thirdText = Score.FileText(2);
  Score.BeginUpdate();
  TKVMidiConversion conversion(Score, State);
  std::exception_ptr failure;
  try {
    conversion.Run();
    Score.Settings().SetOption(0, 1);
    Score.Settings().SetOption(1, 1);
    Score.ImportedLayoutFlag = Score.ImportOptions.ImportLayoutFlag;
  } catch (...) {
    failure = std::current_exception();
    try {
      conversion.Discard();
    } catch (...) {
      // The piece is gone; a handler's complaint about it changes nothing.
    }
    Score.Settings().Block() = settings;
    Score.FileText(2) = thirdText;
  }
  Score.Reformat(0);
  Score.InvalidateViews();
  Score.EndUpdate();
  if (failure) std::rethrow_exception(failure);
  if (State.CutShort) Score.ImportWarning = SMidiFileCutShort;
  TKVScore::TKVMidiImportNotice& notice = Score.MidiImportNotice;
  notice.Merged = uint32_t(conversion.Merged().size());
  notice.HighVelocities = State.HighVelocities;
  notice.EndedByTrack = State.EndedByTrack;
  notice.NoNotes = !HoldsNotes(*Score.GetPiece(Score.GetPieceCount() - 1));
  return {conversion.Merged()};
}

TKVMidiImportResult ImportMIDI(TKVScore& Score, TStream& Stream) {
  TKVMidiImportState state = ReadMidiImport(Score, Stream);
  return BuildMidiScore(Score, state);
}

void RegisterMidiImporter() {
  TKVScoreImporter importer;
  importer.Read = [](TKVScore& Score, TStream& Stream) {
    auto state = std::make_shared<TKVMidiImportState>(ReadMidiImport(Score, Stream));
    return [state](TKVScore& Target) { BuildMidiScore(Target, *state); };
  };
  RegisterScoreImporter(TKVImportFormat::MIDI, std::move(importer));
}
