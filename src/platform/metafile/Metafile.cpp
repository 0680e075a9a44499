#include "platform/metafile/Metafile.h"

#include <string>

#include "base/Log.h"
#include "platform/metafile/Player.h"

namespace metafile {

TMetafileData::TMetafileData(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)), FHeader(ReadHeader(FBytes)) {}

TPlayResult TMetafileData::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) {
  if (rect.Width() == 0 || rect.Height() == 0) return {};
  TPlayResult result;
  {
    TPlayer player(canvas, FHeader, rect, FBitmaps);
    result = player.Play(FBytes);
  }
  if (!FLogged && (result.Skipped || result.Damage)) {
    FLogged = true;
    std::string line = std::string(Enhanced() ? "Enhanced metafile" : "Metafile") + " of " +
                       std::to_string(result.Records) + " records drawn";
    if (result.Skipped) line += ", " + std::to_string(result.Skipped) + " of them skipped (not drawn here)";
    if (result.Damage) line += "; it stops where " + std::string(result.Damage);
    Log(line);
  }
  return result;
}

}  // namespace metafile
