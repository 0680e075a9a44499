#pragma once
// An embedded object as this system can hold one: no object server runs
// here, so the object is its storage bytes, kept exactly as given, and what
// can be read from them: the extent and preview picture of its presentation
// streams and the user type name of its class. It draws the preview (a
// bitmap or a metafile), or a framed placeholder naming its type; every verb fails because no server is
// registered for its class.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/Canvas.h"
#include "platform/ole/CompoundFile.h"

namespace forms {
class TGraphic;
}

namespace ole {

// Draw aspects.
constexpr std::uint32_t DVASPECT_CONTENT = 1, DVASPECT_ICON = 4;
// Clipboard formats of presentations this system draws: a Windows metafile,
// a device-independent bitmap, an enhanced metafile.
constexpr std::uint32_t CF_METAFILEPICT = 3, CF_DIB = 8, CF_ENHMETAFILE = 14;
// What running a verb gives: no server is registered for the object's class.
constexpr std::uint32_t REGDB_E_CLASSNOTREG = 0x80040154;

// One presentation stream ("\2OlePres000" and following).
struct TPresentation {
  std::uint32_t Format = 0;  // clipboard format; 0 for none or a registered name
  std::uint32_t Aspect = 0;
  std::int32_t Width = 0, Height = 0;  // HIMETRIC (0.01 mm)
  std::vector<std::uint8_t> Data;      // a packed DIB (CF_DIB) or the metafile's bytes
};

// Reads a presentation stream; raises ECompoundFileError when it is cut short.
// The picture of a CF_DIB, CF_METAFILEPICT or CF_ENHMETAFILE presentation
// is drawn; any other presentation counts as none.
TPresentation ReadPresentation(const std::vector<std::uint8_t>& stream);
// The ANSI user type name of a "\1CompObj" stream, as UTF-8 ("" when cut short).
std::string ReadUserType(const std::vector<std::uint8_t>& stream);

// A one-pixel grey frame of Rect with Name centred in it, clipped to Rect.
void DrawPlaceholder(canvas::TCanvas& canvas, const canvas::TRect& rect, const std::string& name);

class TEmbeddedObject {
public:
  TEmbeddedObject();
  ~TEmbeddedObject();

  // Keeps Bytes and reads what it can of them; a damaged compound file
  // leaves no presentation and no type name (and one log line).
  void LoadStorage(std::vector<std::uint8_t> bytes);
  const std::vector<std::uint8_t>& StorageBytes() const { return FBytes; }
  bool Damaged() const { return FDamaged; }
  // The streams of the storage (none when damaged).
  const std::vector<TStorageEntry>& Streams() const { return FStreams; }
  const std::vector<TPresentation>& Presentations() const { return FPresentations; }
  const std::string& UserType() const { return FUserType; }
  // Width and height in HIMETRIC of the first presentation of Aspect; 0 x 0
  // when there is none.
  canvas::TSize ExtentHimetric(std::uint32_t aspect) const;
  // The preview of Aspect stretched into Rect, or the placeholder.
  void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect, std::uint32_t aspect) const;
  // Runs a verb: the result code (never success, there being no server).
  std::uint32_t DoVerb(int verb) const;

private:
  std::vector<std::uint8_t> FBytes;
  bool FDamaged = false;
  std::vector<TStorageEntry> FStreams;
  std::vector<TPresentation> FPresentations;
  std::vector<std::unique_ptr<forms::TGraphic>> FPreviews;  // per presentation, null without a picture
  std::string FUserType;
};

}  // namespace ole
