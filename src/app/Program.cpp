#include "app/Program.h"

#include "media/gif/GIFImage.h"
#include "media/services/MediaServices.h"
#include "score/import/midi/MidiImport.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/import/oldformat/OldScoreFile.h"
#include "score/layout/FontServices.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/ScoreImporters.h"

void StartScoreServices() {
  static bool started = false;
  if (started) return;
  InstallFontServices();
  RegisterScoreLayout();
  RegisterMidiImporter();
  RegisterMusicXMLImporter();
  RegisterOldFormatLoader(LoadOldFormat);
  gif::RegisterGIFImage();
  InstallMediaServices();
  started = true;
}
