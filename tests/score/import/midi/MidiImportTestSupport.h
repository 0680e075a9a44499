#pragma once
// A score laid out by the real layout service (fake fonts) into which the
// tests import MIDI files, and the views of the result they compare.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "platform/musicfont/MusicFont.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/midi/MidiImport.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "support/MidiFileBuilder.h"

class MidiImportTest : public testing::Test {
protected:
  MidiImportTest() {
    text::InstallMeasurer(nullptr);
    musicfont::InstallMusicFont(nullptr);
    RegisterScoreLayout();
    score = std::make_unique<TKVScore>();
  }
  ~MidiImportTest() override {
    score.reset();
    SetLayoutServiceFactory({});
  }

  TKVMidiImportResult Import(const TBytes& bytes) {
    TMemoryStream stream(bytes);
    TKVMidiImportResult result = ImportMIDI(*score, stream);
    piece = score->GetPiece(score->GetPieceCount() - 1);
    return result;
  }
  TKVPart* Part(int index) { return piece->GetPart(index); }
  TKVMeasure* Measure(int part, int index) { return Part(part)->GetMeasure(index); }

  std::unique_ptr<TKVScore> score;
  TKVPiece* piece = nullptr;
};

// The notes of a part in measure and item order.
std::vector<TKVNote*> WrittenNotes(const TKVPart& part);
// The notes that begin a sounding note: every note but those a tie of the
// note before reaches (the same key in the same voice where the tie ends).
std::vector<TKVNote*> NoteStarts(const TKVPart& part);
// One line per item of a measure or column: notes as "N<key>@<pos>/<duration>
// v<staff voice hex> <signs>", rests as "R@<pos>/<duration> v..", marks as
// "M<kind>:<variant>@<pos>=<value>", others by kind.
std::string DumpItems(const TKVItemHolder& holder);
