#pragma once
// Builds score files of the two older generations (first byte FA or F5 hex)
// byte by byte from the format's description: the header's rungs, each
// written when the header version is at least its number (texts, lists and
// drum entries empty), the page block by its version, old named records,
// part and staff records of the latest versions whose lengths count from
// their marker byte, staff descriptors in the form of the file's revision,
// column marks and drawing objects. Damage: a wrong marker, a length that
// lies (LengthDelta); a cut file is the bytes cut.

#include <map>

#include "support/ScoreFileBuilder.h"

struct TOldNamedRecord {
  TBytes Bytes;
  std::string Name;
  std::vector<std::pair<TBytes, std::vector<std::string>>> SubRecords;  // bytes; an "=" one's strings
};
struct TOldStaffRecord {
  uint16_t Measures = 0;
  TBytes Content = {};  // after the measure count
  uint8_t Marker = 252;
  int32_t LengthDelta = 0;
};
// A drawing object's sized bytes, then what follows them in the stream.
struct TOldDrawing {
  TBytes Record, After = {};
};
TOldDrawing OldText(const std::string& Text, const std::vector<std::string>& Lines);
TOldDrawing OldPicture(uint16_t Flag, uint16_t Type, const TBytes& Picture);

struct TOldPartRecord {
  std::vector<TOldStaffRecord> Staves;
  std::vector<std::vector<TBytes>> Columns;  // the marks of each column
  std::vector<TOldDrawing> Drawings;
  std::vector<uint16_t> Groups;
  std::vector<TBytes> Descriptors;  // 16 data bytes each
  uint8_t DescriptorSize = 16;      // from revision 0355 hex
  std::string Name;
  uint8_t Marker = 251;
  int32_t LengthDelta = 0;
};

struct TOldScoreFile {
  uint8_t FormatByte = 0xFA;
  std::string Title;             // F5 only
  uint16_t Revision = 0x0300;    // written for F5; FA files count as 0300 hex
  uint16_t HeaderVersion = 33;
  std::map<int, int64_t> Rungs;  // the one-value rungs by number (else 0)
  uint16_t PageVersion = 11;
  std::vector<TBytes> PageLengths = std::vector<TBytes>(7, TBytes(10, 0));  // six lengths, Interval (80-bit)
  std::vector<uint16_t> PageWords = {0, 27, 1, 0};  // orientation, paper size, ruler, Metrix
  uint16_t SkippedRows = 0, PairsPerRow = 64;       // rung 13
  std::vector<TOldNamedRecord> NamedRecords;
  std::vector<TOldPartRecord> Parts;

  TBytes Bytes() const;
};
