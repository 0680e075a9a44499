#pragma once
// The main window's messages, named: each is the number of its text in the
// window's section ("FProgramModule") of the UI language files, whose
// sources (data/lang/*.lang) list them as "message N = text". A number
// that gets a text in one language file gets it in all of them.

enum TProgramMessage : int {
  pmOpenFilter = 1,         // the open dialog's filter
  pmErrorCaption = 3,       // the caption of every error box
  pmSaveFilter = 5,         // the save dialog's filter
  pmNoCompression = 6,      // the codec cannot compress the take
  pmCannotOpen = 7,         // a file (%s) cannot be opened
  pmNotWave = 8,            // the take is no readable WAVE file
  pmWriteError = 9,         // writing or converting failed
  pmSaveCaption = 10,       // the replace question's caption after Save
  pmSaveAsCaption = 11,     // ... after Save as
  pmReplaceQuestion = 12,   // the file %s exists: replace it?
  pmExitCaption = 13,       // the close query's caption
  pmUnsavedQuestion = 14,   // the take is not saved: save it first?
  pmNoMidiDevice = 15,      // the MIDI output device did not open
  pmSaveStopped = 16,       // saving %s was stopped (the take's label)
  pmNoFolder = 17,          // the folder %s does not exist
  pmMergedNotes = 18,       // %s notes merged by the MIDI import
  pmHighVelocities = 19,    // %s data bytes of MIDI messages read without their top bit
  pmNoNotes = 20,           // the file holds no playable notes
  pmTakeCutShort = 21,      // not every frame of the take could be written
  pmEndedByTrack = 22,      // %s notes without a note-off last to the end of their track
  pmRecordQuestion = 23,    // the take is not saved: save it before recording another?
  pmFolderUnreadable = 24,  // the folder %s cannot be read: %s (the cause)
  pmNoFile = 25,            // the file %s does not exist
  pmCannotRead = 26,        // the file %s cannot be read: %s (the cause)
  pmCannotWrite = 27,       // the file %s cannot be written: %s (the cause)
  // The causes the system gives most, in the words of the language.
  pmPermissionDenied = 28,  // the user may not do it
  pmDiskFull = 29,          // no room left on the disk
  pmReadOnly = 30,          // the file system is read-only
  pmNameTooLong = 31,       // the name is too long
  pmNotFound = 32,          // no such file or folder
  pmNoTake = 33,            // Save as before any take was recorded
};
