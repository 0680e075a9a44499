#include "media/audio/tags/Id3v1Tags.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "base/Strings.h"
#include "media/audio/tags/TagFile.h"

namespace {

const char* const kGenres[TId3v1Tags::GenreCount] = {"Blues",
                                                     "Classic Rock",
                                                     "Country",
                                                     "Dance",
                                                     "Disco",
                                                     "Funk",
                                                     "Grunge",
                                                     "Hip-Hop",
                                                     "Jazz",
                                                     "Metal",
                                                     "New Age",
                                                     "Oldies",
                                                     "Other",
                                                     "Pop",
                                                     "R&B",
                                                     "Rap",
                                                     "Reggae",
                                                     "Rock",
                                                     "Techno",
                                                     "Industrial",
                                                     "Alternative",
                                                     "Ska",
                                                     "Death Metal",
                                                     "Pranks",
                                                     "Soundtrack",
                                                     "Euro-Techno",
                                                     "Ambient",
                                                     "Trip-Hop",
                                                     "Vocal",
                                                     "Jazz+Funk",
                                                     "Fusion",
                                                     "Trance",
                                                     "Classical",
                                                     "Instrumental",
                                                     "Acid",
                                                     "House",
                                                     "Game",
                                                     "Sound Clip",
                                                     "Gospel",
                                                     "Noise",
                                                     "AlternRock",
                                                     "Bass",
                                                     "Soul",
                                                     "Punk",
                                                     "Space",
                                                     "Meditative",
                                                     "Instrumental Pop",
                                                     "Instrumental Rock",
                                                     "Ethnic",
                                                     "Gothic",
                                                     "Darkwave",
                                                     "Techno-Industrial",
                                                     "Electronic",
                                                     "Pop-Folk",
                                                     "Eurodance",
                                                     "Dream",
                                                     "Southern Rock",
                                                     "Comedy",
                                                     "Cult",
                                                     "Gangsta",
                                                     "Top 40",
                                                     "Christian Rap",
                                                     "Pop/Funk",
                                                     "Jungle",
                                                     "Native American",
                                                     "Cabaret",
                                                     "New Wave",
                                                     "Psychadelic",
                                                     "Rave",
                                                     "Showtunes",
                                                     "Trailer",
                                                     "Lo-Fi",
                                                     "Tribal",
                                                     "Acid Punk",
                                                     "Acid Jazz",
                                                     "Polka",
                                                     "Retro",
                                                     "Musical",
                                                     "Rock & Roll",
                                                     "Hard Rock",
                                                     "Folk",
                                                     "Folk-Rock",
                                                     "National Folk",
                                                     "Swing",
                                                     "Fast Fusion",
                                                     "Bebob",
                                                     "Latin",
                                                     "Revival",
                                                     "Celtic",
                                                     "Bluegrass",
                                                     "Avantgarde",
                                                     "Gothic Rock",
                                                     "Progressive Rock",
                                                     "Psychedelic Rock",
                                                     "Symphonic Rock",
                                                     "Slow Rock",
                                                     "Big Band",
                                                     "Chorus",
                                                     "Easy Listening",
                                                     "Acoustic",
                                                     "Humour",
                                                     "Speech",
                                                     "Chanson",
                                                     "Opera",
                                                     "Chamber Music",
                                                     "Sonata",
                                                     "Symphony",
                                                     "Booty Bass",
                                                     "Primus",
                                                     "Porn Groove",
                                                     "Satire",
                                                     "Slow Jam",
                                                     "Club",
                                                     "Tango",
                                                     "Samba",
                                                     "Folklore",
                                                     "Ballad",
                                                     "Power Ballad",
                                                     "Rhythmic Soul",
                                                     "Freestyle",
                                                     "Duet",
                                                     "Punk Rock",
                                                     "Drum Solo",
                                                     "A capella",
                                                     "Euro-House",
                                                     "Dance Hall",
                                                     "Goa",
                                                     "Drum & Bass",
                                                     "Club-House",
                                                     "Hardcore",
                                                     "Terror",
                                                     "Indie",
                                                     "BritPop",
                                                     "Negerpunk",
                                                     "Polsk Punk",
                                                     "Beat",
                                                     "Christian Gangsta Rap",
                                                     "Heavy Metal",
                                                     "Black Metal",
                                                     "Crossover",
                                                     "Contemporary Christian",
                                                     "Christian Rock",
                                                     "Merengue",
                                                     "Salsa",
                                                     "Thrash Metal",
                                                     "Anime",
                                                     "JPop",
                                                     "Synthpop"};

// Field offsets in the 128-byte tag.
constexpr int kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97, kZero = 125, kTrack = 126, kGenre = 127;

// A field's text up to its first zero, blanks and control bytes trimmed.
std::string Field(const uint8_t* tag, int at, int size) {
  const uint8_t* end = std::find(tag + at, tag + at + size, 0);
  return Trim(std::string(tag + at, end));
}

void PutField(uint8_t* tag, int at, int size, const std::string& text) {
  std::memcpy(tag + at, text.data(), std::min<size_t>(size_t(size), text.size()));
}

bool EndsWithTag(int file) {
  char mark[3];
  const int64_t size = tagfile::FileSize(file);
  return size >= TId3v1Tags::TagSize && tagfile::ReadAt(file, size - TId3v1Tags::TagSize, mark, 3) &&
         std::memcmp(mark, "TAG", 3) == 0;
}

}  // namespace

TId3v1Tags::TId3v1Tags() {
  for (const char* name : {"artist", "album", "year", "track", "title", "comment"}) AddName(name);
  AddName("genre", int64_t(OtherGenre));
}

bool TId3v1Tags::TagPresent(int file) { return EndsWithTag(file); }

bool TId3v1Tags::ReadFromFile(int file) {
  if (!IsOpen(file)) return false;
  Clear();
  uint8_t tag[TagSize];
  const int64_t size = tagfile::FileSize(file);
  if (size < TagSize || !tagfile::ReadAt(file, size - TagSize, tag, TagSize) || std::memcmp(tag, "TAG", 3) != 0)
    return false;
  SetTitle(Field(tag, kTitle, 30));
  SetArtist(Field(tag, kArtist, 30));
  SetAlbum(Field(tag, kAlbum, 30));
  long long year = 0;
  SetYear(uint16_t(TryStrToInt(Field(tag, kYear, 4), year) ? year : 0));
  const bool hasTrack = (tag[kZero] == 0 || tag[kZero] == ' ') && tag[kTrack] != 0;
  SetComment(Field(tag, kComment, hasTrack ? 28 : 30));
  SetTrack(hasTrack ? tag[kTrack] : 0);
  SetGenreId(tag[kGenre]);
  return true;
}

bool TId3v1Tags::WriteToFile(const std::string& fileName) {
  std::vector<uint8_t> tag(TagSize, 0);
  std::memcpy(tag.data(), "TAG", 3);
  PutField(tag.data(), kTitle, 30, Title());
  PutField(tag.data(), kArtist, 30, Artist());
  PutField(tag.data(), kAlbum, 30, Album());
  PutField(tag.data(), kYear, 4, IntToStr(Year()));
  PutField(tag.data(), kComment, Track() != 0 ? 28 : 30, Comment());
  tag[kTrack] = Track();
  tag[kGenre] = uint8_t(AsInteger("genre"));
  const int file = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  const int64_t cut = EndsWithTag(file) ? TagSize : 0;
  ::close(file);
  return tagfile::Rewrite(fileName, {}, 0, cut, tag);
}

uint8_t TId3v1Tags::GenreId() const {
  const int64_t id = AsInteger("genre");
  return id >= 0 && id < GenreCount ? uint8_t(id) : OtherGenre;
}

void TId3v1Tags::SetGenre(const std::string& name) {
  const std::string wanted = Trim(name);
  for (int id = 0; id < GenreCount; ++id)
    if (SameText(wanted, kGenres[id])) return SetGenreId(uint8_t(id));
}

std::string TId3v1Tags::GenreName(int id) { return id >= 0 && id < GenreCount ? kGenres[id] : ""; }
