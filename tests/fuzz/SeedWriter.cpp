// Writes the fuzz targets' seed inputs from the test builders and through
// the codec layer: `fuzz_seeds DIR` fills DIR/score, DIR/midi, DIR/wave,
// DIR/ole (embedded objects made by gsf and ImageMagick), DIR/bmp (the BMP
// forms ImageMagick does not write, as files and packed) and DIR/metafile
// (both kinds, written by libuemf).
// The corpus files and the compiled language files are added by scripts/fuzz.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Streams.h"
#include "platform/codec/Acm.h"
#include "platform/codec/RiffWave.h"
#include "platform/codec/WaveSave.h"
#include "score/model/ScoreFileSamples.h"
#include "support/BmpBuilder.h"
#include "support/MidiFileBuilder.h"
#include "support/OleFiles.h"
#include "support/OldScoreFileBuilder.h"
#include "support/metafile/MetafileWriter.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const TBytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void ScoreSeeds(const fs::path& dir) {
  Write(dir / "sample.sfd", sample::File().Bytes());
  Write(dir / "full.sfd", sample::FullFile().Bytes());
  TScoreFile early;
  early.Version = 4;
  early.Pieces = {sample::Piece()};
  Write(dir / "version4.sfd", early.Bytes());
  TOldScoreFile older;  // two part records (FA), one (F5)
  older.Parts.assign(2, {{{2, {1, 2}}, {0}}, {{{'G'}, {'c'}}}, {OldText("T", {"a"}), OldPicture(1, 257, {1, 2}), {{'?'}}}, {1, 1}});
  Write(dir / "older-fa.sfd", older.Bytes());
  older.FormatByte = 0xF5, older.Revision = 0x0355, older.Parts.resize(1), older.Parts[0].Descriptors = {TBytes(16, 1)};
  Write(dir / "older-f5.sfd", older.Bytes());
}

TBytes Song(int format, uint16_t division, bool running) {
  TMidiFileBuilder file(format, division);
  TMidiTrackBuilder& first = file.AddTrack();
  first.Text(0, 3, "Song").Tempo(0, 500000).TimeSignature(0, 3, 2).KeySignature(0, -2, 1);
  first.RunningStatus(running).Program(0, 0, 40).Controller(0, 0, 7, 100).Controller(0, 0, 10, 30);
  for (int i = 0; i < 8; ++i) {
    first.Text(0, 5, i % 2 ? "-la" : "\\Sing").NoteOn(0, 0, 60 + i, 90).NoteOn(0, 0, 64 + i, 80);
    first.NoteOff(uint32_t(division / 2), 0, 60 + i).NoteOn(0, 0, 64 + i, 0);
  }
  first.PitchBend(0, 0, 9000).ChannelPressure(0, 0, 20).SysEx(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
  first.EndOfTrack(0);
  if (format != 0) {
    TMidiTrackBuilder& drums = file.AddTrack();
    for (int i = 0; i < 6; ++i) drums.NoteOn(uint32_t(division / 4), 9, 35 + 2 * i, 100).NoteOff(10, 9, 35 + 2 * i);
    drums.Tempo(0, 400000).TimeSignature(0, 6, 3).EndOfTrack();
  }
  return file.Bytes();
}

void MidiSeeds(const fs::path& dir) {
  Write(dir / "format0.mid", Song(0, 96, false));
  Write(dir / "format1-running.mid", Song(1, 480, true));
  Write(dir / "smpte.mid", Song(1, 0xE728, false));
  Write(dir / "rmid.rmi", TMidiFileBuilder::WrapRmid(Song(1, 192, true)));
}

// A short PCM take, and the same sound through every codec the layer has.
void WaveSeeds(const fs::path& dir) {
  using namespace codec;
  fs::create_directories(dir);
  const TWaveFormat pcm = TWaveFormat::Pcm(1, 8000, 16);
  const std::string source = (dir / "pcm16.wav").string();
  {
    TFileStream file(source, fmCreate);
    TWaveFileWriter writer(file, pcm.Bytes(), false);
    for (int i = 0; i < 800; ++i) {
      int16_t sample = int16_t(8000 * std::sin(i * 0.2));
      uint8_t bytes[2] = {uint8_t(sample), uint8_t(uint16_t(sample) >> 8)};
      writer.Write(bytes, 2);
    }
    writer.Finish(0);
  }
  for (uint16_t tag : {WAVE_FORMAT_ADPCM, WAVE_FORMAT_ALAW, WAVE_FORMAT_MULAW, WAVE_FORMAT_IMA_ADPCM,
                       WAVE_FORMAT_GSM610, WAVE_FORMAT_MPEGLAYER3}) {
    TWaveFormat target;
    target.SetFormatTag(tag);
    if (acmFormatSuggest(nullptr, pcm, target, ACM_FORMATSUGGESTF_WFORMATTAG) == MMSYSERR_NOERROR)
      ConvertWaveFile(source, (dir / ("tag" + std::to_string(tag) + ".wav")).string(), target, 0);
  }
  for (uint16_t bits : {8, 16}) {
    TMemoryStream stereo;
    TWaveFileWriter writer(stereo, TWaveFormat::Pcm(2, 11025, bits).Bytes(), true);
    uint8_t frames[64];
    for (size_t i = 0; i < sizeof frames; ++i) frames[i] = uint8_t(128 + 100 * std::sin(double(i)));
    writer.Write(frames, sizeof frames);
    writer.Finish(32);
    stereo.SaveToFile((dir / ("pcm" + std::to_string(bits) + "-stereo.wav")).string());
  }
}

}  // namespace

// Embedded objects' streams: a picture with its preview, an icon without
// one, a large Contents in the allocation table rather than the mini stream.
void OleSeeds(const fs::path& dir) {
  using namespace test_support;
  TOleBytes dib = DibFromImageMagick("-size 5x3 gradient:red-blue -colors 16");
  TOleBytes picture = GsfCompoundFile({{"\x01" "CompObj", CompObjStream("Paint Picture")},
                                       {"\x02" "OlePres000", PresentationStream(8, 1, 2540, 1270, dib)},
                                       {"Contents", TOleBytes(100, 1)}});
  Write(dir / "picture.bdoc", BdocStream(1, picture));
  Write(dir / "icon.bdoc", BdocStream(4, GsfCompoundFile({{"\x02" "OlePres000", PresentationStream(3, 4, 847, 847, {1, 2})},
                                                           {"Contents", TOleBytes(5000, 2)}})));
}

// The BMP forms ImageMagick does not write: an OS/2 2.x header, bit fields
// of odd widths, RLE streams with every code; each also packed, as a
// clipboard or a metafile record holds it.
void BmpSeeds(const fs::path& dir) {
  const std::vector<std::uint32_t> palette = {0xFF, 0xFF00, 0xFF0000};
  const std::pair<const char*, TBmpBuilder> forms[] = {
      {"os2-v2", {.HeaderSize = 64, .Width = 5, .Height = 3, .Bits = 4, .Used = 3, .Palette = palette}},
      {"fields565", {.Width = 5, .Height = -3, .Bits = 16, .Compression = 3, .Used = 3, .Masks = {0xF800, 0x7E0, 0x1F},
                     .Palette = palette, .Gap = 2}},
      {"fields1010102", {.HeaderSize = 124, .Width = 3, .Height = 2, .Bits = 32, .Compression = 3,
                         .Masks = {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}}},
      {"alphabitfields", {.Width = 3, .Height = 2, .Bits = 32, .Compression = 6, .Masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000}}},
      {"rle8", {.Width = 7, .Height = 4, .Compression = 1, .Used = 3, .Palette = palette,
                .Rows = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 0, 0, 0, 0, 1}}},
      {"rle4", {.Width = 9, .Height = 3, .Bits = 4, .Compression = 2, .Used = 3, .Palette = palette,
                .Rows = {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 2, 1, 2, 0xAB, 0, 1}}}};
  for (const auto& [name, bmp] : forms) {
    Write(dir / (std::string(name) + ".bmp"), bmp.File());
    Write(dir / (std::string(name) + ".dib"), bmp.Packed());
  }
}

// Metafiles of either kind with a record of most families: objects made,
// selected and deleted, saved states, figures, text, a bitmap, a clip, a
// raster operation of brushes and, in the enhanced kind, a path, a world
// transform, gradients and bitmaps blended, keyed, masked and slanted.
void MetafileSeeds(const fs::path& dir) {
  for (bool enhanced : {false, true}) {
    test_metafile::TMetafileWriter w(enhanced, 64, 48);
    const std::uint32_t pen = w.Pen(1, 2, 0x0000FF), brush = w.Brush(2, 0x00FF00, 3);
    w.Select(pen), w.Select(brush);
    w.SaveDc();
    w.IntersectClip({2, 2, 60, 44});
    w.Polygon({{2, 2}, {30, 4}, {10, 30}});
    w.PolyPolygon({{{40, 4}, {60, 4}, {50, 20}}, {{44, 6}, {56, 6}, {50, 16}}});
    w.RestoreDc(-1);
    w.Ellipse({5, 5, 40, 30});
    w.Pie({30, 20, 60, 46}, {60, 30}, {45, 46});
    w.Select(w.Font(-12, 700, true, 450, "Arial"));
    w.Text(4, 40, "Seed", {6, 6, 6, 6});
    w.StretchDib({44, 30, 60, 46}, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, 0x008800C6);
    w.Rop2(7);
    w.Rectangle({20, 20, 40, 40});
    w.Rop2(13);
    const std::vector<std::uint32_t> four{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    w.Gradient({{0, 0, 0xFF00, 0, 0, 0}, {30, 20, 0, 0xFF00, 0, 0}, {10, 40, 0, 0, 0xFF00, 0}}, {0, 1, 1, 2}, 0);
    w.Gradient({{0, 0, 0xFF00, 0, 0, 0}, {30, 20, 0, 0xFF00, 0, 0}, {10, 40, 0, 0, 0xFF00, 0}}, {0, 1, 2}, 2);
    w.AlphaBlend({30, 2, 50, 12}, 2, 1, {0x80800000, 0xFF00FF00}, 200, true);
    w.TransparentBlt({2, 30, 20, 46}, 2, 2, four, 0x0000FF);
    w.MaskBlt({40, 10, 42, 12}, 2, 2, four, {0xFFFFFF, 0, 0, 0xFFFFFF}, 0xAACC0020);
    w.PlgBlt({{50, 2}, {62, 10}, {44, 14}}, 2, 2, four, {0xFFFFFF, 0, 0, 0xFFFFFF});
    w.BeginPath();
    w.Rectangle({10, 10, 20, 20});
    w.EndPath();
    w.StrokeAndFillPath();
    w.WorldTransform(0.8f, 0.6f, -0.6f, 0.8f, 10, 0);
    w.Beziers({{0, 0}, {10, 20}, {20, 0}, {30, 20}});
    w.Delete(pen);
    Write(dir / (enhanced ? "families.emf" : "families.wmf"), w.Finish());
  }
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const fs::path dir = argv[1];
  ScoreSeeds(dir / "score");
  MidiSeeds(dir / "midi");
  WaveSeeds(dir / "wave");
  OleSeeds(dir / "ole");
  BmpSeeds(dir / "bmp");
  MetafileSeeds(dir / "metafile");
  return 0;
}
