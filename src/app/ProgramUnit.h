#pragma once
// What the main window's unit holds for the whole run: the program's place
// and its settings file, opened before the main window exists and freed
// after it. Every window of the recording application reads and writes the
// settings through this one reference; keys are written at once.

#include <functional>
#include <string>

#include "app/ProgramPlace.h"
#include "platform/canvas/Bitmap.h"
#include "platform/forms/IniFiles.h"

void InitializeProgramUnit(const TProgramPlace& place);
void FinalizeProgramUnit();

const TProgramPlace& ProgramPlace();
// The settings file; nil outside the unit's life.
forms::TIniFile* IniFile();
// Runs Write on the settings file in one update bracket, so that what it
// writes reaches the disk at once and together. A file that cannot be
// written costs a line in the log, not the program: the values stay in
// memory and reach the disk with the next write that succeeds.
void WriteSettings(const std::function<void(forms::TIniFile&)>& Write);

// A picture of the program's skin (beside the program, in "skin/"); an
// empty bitmap when it is missing or unreadable, so that a damaged
// installation still starts.
canvas::TBitmap SkinPicture(const std::string& name);
std::string SkinFile(const std::string& name);
