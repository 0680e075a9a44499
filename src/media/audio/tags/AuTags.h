#pragma once
// Descriptive tags of an audio file (title, artist, album and the like): a
// dictionary of named values, sorted by name without regard to case. Each
// kind of tag fixes its set of names when it is made; a value can be set
// only for a name of that set. A value is nothing, an integer, a byte string
// or a UTF-16 string. Byte strings are Latin-1 where they meet UTF-16 (the
// character set ID3 gives its single-byte texts); a UTF-16 text read as a
// byte string shows "?" for characters Latin-1 does not have.
//
// The ID3 kinds also read their tag from an open file (a POSIX descriptor)
// and write it into a file by name; the base class only says whether the
// file is there.

#include <cstdint>
#include <map>
#include <string>
#include <variant>

using TTagValue = std::variant<std::monostate, int64_t, std::string, std::u16string>;

class TAuTags {
public:
  TAuTags() = default;
  virtual ~TAuTags() = default;
  TAuTags(const TAuTags&) = delete;
  TAuTags& operator=(const TAuTags&) = delete;

  // Both clear Dest (or this) and copy every value the other holds under a
  // name the target has.
  virtual void AssignTo(TAuTags& dest) const;
  virtual void Assign(const TAuTags& source);

  // True when File is an open descriptor; reading also clears the values.
  // Every kind leaves its values alone when File is not an open descriptor.
  virtual bool TagPresent(int file);
  virtual bool ReadFromFile(int file);
  // True when the file exists.
  virtual bool WriteToFile(const std::string& fileName);

  int Count() const { return int(FValues.size()); }
  // The name at Index in sorted order; "" outside the range.
  std::string Names(int index) const;
  // Nothing when the name is missing.
  TTagValue Value(const std::string& name) const;
  // Only for an existing name and a value other than the one held; then the
  // tags are no longer empty and are changed.
  void SetValue(const std::string& name, const TTagValue& value);
  // Integers as they are, strings converted (0 when not a number), else 0.
  int64_t AsInteger(const std::string& name) const;
  // Strings as they are, integers in decimal, nothing as "".
  std::string AsString(const std::string& name) const;
  std::u16string AsWideString(const std::string& name) const;
  // Every value nothing; empty and changed.
  void Clear();

  bool Empty() const { return FEmpty; }
  bool Changed() const { return FChanged; }

protected:
  static bool IsOpen(int file);
  // Adds a name (with nothing) while the kind builds its set.
  void AddName(const std::string& name, TTagValue initial = {});

private:
  struct TCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  std::map<std::string, TTagValue, TCaseLess> FValues;
  bool FEmpty = true;
  bool FChanged = false;
};

// Latin-1 bytes as UTF-16 and back ("?" for what Latin-1 lacks).
std::u16string Latin1ToUtf16(const std::string& text);
std::string Utf16ToLatin1(const std::u16string& text);
