#pragma once
// Builds score files of the older generations (first byte FA or F5 hex) byte
// by byte from the format's description (texts, lists, named records and drum
// entries empty).
// Damage: a wrong marker, a length that lies (LengthDelta), the bytes cut.

#include <map>

#include "support/ScoreFileBuilder.h"

struct TOldStaffRecord {  // staff version 9
  uint16_t Measures = 0;
  TBytes Content = {};  // after the measure count
};
struct TOldDrawing {  // the object's sized bytes, then what follows them
  TBytes Record, After = {};
};
TOldDrawing OldText(const std::string& Text, const std::vector<std::string>& Lines);
TOldDrawing OldPicture(uint16_t Flag, uint16_t Type, const TBytes& Picture);

struct TOldPartRecord {  // part version 12
  std::vector<TOldStaffRecord> Staves = {};
  std::vector<std::vector<TBytes>> Columns = {};  // the marks of each column
  std::vector<TOldDrawing> Drawings = {};
  std::vector<uint16_t> Groups = {};
  std::vector<TBytes> Descriptors = {};  // 16 data bytes each
  uint8_t DescriptorSize = 16;      // from revision 0355 hex
  std::string Name = {};
  uint8_t Marker = 251;
  int32_t LengthDelta = 0;
};

struct TOldScoreFile {
  uint8_t FormatByte = 0xFA;
  std::string Title;             // F5 only
  uint16_t Revision = 0x0300;    // written for F5; FA files count as 0300 hex
  uint16_t HeaderVersion = 33;   // rungs 1 to HeaderVersion are written
  std::map<int, int64_t> Rungs;  // the one-value rungs by number (else 0)
  uint16_t SkippedRows = 0, PairsPerRow = 64;  // rung 13
  std::vector<TOldPartRecord> Parts;

  TBytes Bytes() const;
};
