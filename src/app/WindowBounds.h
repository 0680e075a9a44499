#pragma once
// A window's place as the settings keep it: "Left,Top,Width,Height" under
// key Bounds of the window's section.

#include <string>

#include "platform/forms/Forms.h"
#include "platform/forms/IniFiles.h"

// Applies the stored bounds, when there are any: a number that cannot be
// read keeps the window's own value, and a window wholly left of or above
// the screen's origin comes back to 0. With KeepOnScreen, a window beyond
// the screen's right or bottom edge comes back to 0 as well.
void ReadWindowBounds(forms::TIniFile& Ini, const std::string& Section, forms::TCustomForm& Form, bool KeepOnScreen);
void WriteWindowBounds(forms::TIniFile& Ini, const std::string& Section, const forms::TCustomForm& Form);
