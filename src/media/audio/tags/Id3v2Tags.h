#pragma once
// The ID3v2 tag (versions 2.2, 2.3 and 2.4) at the start of a file: a
// 10-byte header, then frames of a text each. Twelve frames are kept, under
// the three-letter IDs of version 2.2 (frame-ID set 0) or the four-letter
// IDs of versions 2.3 and 2.4 (set 1); the properties read the IDs of the
// current set. Reading takes text frames in single bytes, UTF-16 with or
// without a byte-order mark, and UTF-8. Writing writes a version 2.4 tag.

#include "media/audio/tags/AuTags.h"

class TId3v2Tags : public TAuTags {
public:
  TId3v2Tags();

  // True when a header of version 2.2, 2.3 or 2.4 starts at the file's
  // position; the position is kept.
  bool TagPresent(int file) override;
  // Clears, then reads the tag at the file's position. True when the header
  // is valid and the whole tag lies in the file; the position is then at
  // the tag's end, else as it was.
  bool ReadFromFile(int file) override;
  // Puts a version 2.4 tag at the start of the file in place of one it
  // holds: texts held in UTF-16 go out as UTF-8 when Unicode is set, else
  // every text in single bytes.
  bool WriteToFile(const std::string& fileName) override { return WriteToFile(fileName, true); }
  bool WriteToFile(const std::string& fileName, bool unicode);

  uint8_t FrameIdSet() const { return FFrameIdSet; }
  void SetFrameIdSet(uint8_t set) { FFrameIdSet = set ? 1 : 0; }

  std::u16string Artist() const { return AsWideString(Id(fArtist)); }
  std::u16string Album() const { return AsWideString(Id(fAlbum)); }
  std::u16string Genre() const { return AsWideString(Id(fGenre)); }
  std::u16string Title() const { return AsWideString(Id(fTitle)); }
  std::u16string Comment() const { return AsWideString(Id(fComment)); }
  std::u16string Composer() const { return AsWideString(Id(fComposer)); }
  std::u16string Encoder() const { return AsWideString(Id(fEncoder)); }
  std::u16string Copyright() const { return AsWideString(Id(fCopyright)); }
  std::u16string Language() const { return AsWideString(Id(fLanguage)); }
  std::u16string Link() const { return AsWideString(Id(fLink)); }
  std::string Year() const { return AsString(Id(fYear)); }
  std::string Track() const { return AsString(Id(fTrack)); }

  void SetArtist(const std::u16string& v) { SetValue(Id(fArtist), v); }
  void SetAlbum(const std::u16string& v) { SetValue(Id(fAlbum), v); }
  void SetGenre(const std::u16string& v) { SetValue(Id(fGenre), v); }
  void SetTitle(const std::u16string& v) { SetValue(Id(fTitle), v); }
  void SetComment(const std::u16string& v) { SetValue(Id(fComment), v); }
  void SetComposer(const std::u16string& v) { SetValue(Id(fComposer), v); }
  void SetEncoder(const std::u16string& v) { SetValue(Id(fEncoder), v); }
  void SetCopyright(const std::u16string& v) { SetValue(Id(fCopyright), v); }
  void SetLanguage(const std::u16string& v) { SetValue(Id(fLanguage), v); }
  void SetLink(const std::u16string& v) { SetValue(Id(fLink), v); }
  void SetYear(const std::string& v) { SetValue(Id(fYear), v); }
  void SetTrack(const std::string& v) { SetValue(Id(fTrack), v); }

private:
  enum TFrame {
    fAlbum,
    fArtist,
    fGenre,
    fTitle,
    fTrack,
    fYear,
    fComment,
    fComposer,
    fEncoder,
    fCopyright,
    fLanguage,
    fLink,
    FrameCount
  };
  std::string Id(TFrame frame) const { return Id(frame, FFrameIdSet); }
  static std::string Id(TFrame frame, uint8_t set);
  void ReadFrames(int file, int64_t at, int64_t end, int version);

  uint8_t FFrameIdSet = 1;
};
