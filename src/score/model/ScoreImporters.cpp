#include "score/model/ScoreImporters.h"

#include <array>
#include <map>

#include "base/Strings.h"

namespace {

std::map<TKVImportFormat, TKVScoreImporter>& Importers() {
  static std::map<TKVImportFormat, TKVScoreImporter> importers;
  return importers;
}

TKVOldFormatLoader& OldLoader() {
  static TKVOldFormatLoader loader;
  return loader;
}

bool FormatOfExtension(const std::string& extension, TKVImportFormat& format) {
  static const std::array<const char*, 4> midi = {".mid", ".midi", ".rmi", ".kar"};
  for (const char* candidate : midi)
    if (SameText(extension, candidate)) return format = TKVImportFormat::MIDI, true;
  if (SameText(extension, ".xml")) return format = TKVImportFormat::MusicXML, true;
  return false;
}

}  // namespace

void RegisterScoreImporter(TKVImportFormat Format, TKVScoreImporter Importer) {
  if (Importer.Import || Importer.Read)
    Importers()[Format] = std::move(Importer);
  else
    Importers().erase(Format);
}

const TKVScoreImporter* FindScoreImporter(const std::string& FileName) {
  TKVImportFormat format;
  if (!FormatOfExtension(ExtractFileExt(FileName), format)) return nullptr;
  auto found = Importers().find(format);
  return found == Importers().end() ? nullptr : &found->second;
}

void RegisterOldFormatLoader(TKVOldFormatLoader Loader) { OldLoader() = std::move(Loader); }

const TKVOldFormatLoader& OldFormatLoader() { return OldLoader(); }
