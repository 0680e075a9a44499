#pragma once
// Where the program finds its files. Language, help and skin files lie
// beside the program. The settings file, the log and the working file of a
// take lie there too when that folder is writable (tested once, at start);
// an installed program, whose folder is not, keeps them under the same
// names in $XDG_CONFIG_HOME/sonarid (~/.config/sonarid by default), so that
// it still keeps its settings and can record.

#include <string>

#include "base/Strings.h"

struct TProgramPlace {
  std::string ProgramFile;  // the program's full path
  std::string DataFolder;   // with a trailing '/'

  std::string ProgramFolder() const { return ExtractFilePath(ProgramFile); }
  std::string SettingsFile() const { return DataFolder + "KorvaneSonarid.ini"; }
  std::string LogFile() const { return DataFolder + "Sonarid.log"; }
  std::string RecordFile() const { return DataFolder + "Untitled.wav"; }
  // Where the take being recorded is kept as it arrives (a crash leaves it there).
  std::string JournalFile() const { return DataFolder + "Recording.wav"; }
};

// A file can be made in Folder (tried, so that a read-only file system or
// missing rights count even for a privileged user).
bool IsWritableFolder(const std::string& folder);
// The place of the program at ProgramFile by the rule above; the fallback
// folder is made when missing. Raises EFCreateError when neither can be
// written.
TProgramPlace LocateProgram(const std::string& programFile);
