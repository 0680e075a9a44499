#pragma once
// The ID3v1.1 tag: the last 128 bytes of a file, "TAG", then title, artist
// and album of 30 bytes each, a 4-digit year, a 30-byte comment whose last
// two bytes may be a zero and a track number, and a genre number into the
// list of 148 genre names.

#include "media/audio/tags/AuTags.h"

class TId3v1Tags : public TAuTags {
public:
  static constexpr int TagSize = 128;
  static constexpr int GenreCount = 148;
  static constexpr uint8_t OtherGenre = 12;

  TId3v1Tags();

  // Looks at the last 128 bytes; the file's position is kept.
  bool TagPresent(int file) override;
  // Clears, then reads a present tag; false when there is none. The file's
  // position is kept.
  bool ReadFromFile(int file) override;
  // Writes the tag over an ID3v1 tag the file ends with, else after its end.
  bool WriteToFile(const std::string& fileName) override;

  std::string Title() const { return AsString("title"); }
  std::string Artist() const { return AsString("artist"); }
  std::string Album() const { return AsString("album"); }
  std::string Comment() const { return AsString("comment"); }
  uint16_t Year() const { return uint16_t(AsInteger("year")); }
  uint8_t Track() const { return uint8_t(AsInteger("track")); }
  // The stored number, 12 ("Other") for one past the list.
  uint8_t GenreId() const;
  std::string Genre() const { return GenreName(GenreId()); }

  void SetTitle(const std::string& v) { SetValue("title", v); }
  void SetArtist(const std::string& v) { SetValue("artist", v); }
  void SetAlbum(const std::string& v) { SetValue("album", v); }
  void SetComment(const std::string& v) { SetValue("comment", v); }
  void SetYear(uint16_t v) { SetValue("year", int64_t(v)); }
  void SetTrack(uint8_t v) { SetValue("track", int64_t(v)); }
  void SetGenreId(uint8_t v) { SetValue("genre", int64_t(v)); }
  // Takes a name of the list (blanks around it and letter case ignored); any
  // other text changes nothing.
  void SetGenre(const std::string& name);

  // The list's name for Id ("" past the list).
  static std::string GenreName(int id);
};
