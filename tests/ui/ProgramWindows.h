#pragma once
// The program's four windows as the language files see them: every
// component the language sources name, with the published properties its
// class offers (and a few others a path must not reach). The forms layer's
// windows must offer the same names and kinds.

#include <memory>
#include <string>
#include <vector>

#include "FakePublished.h"

// The window whose section is Section ("FProgramModule", "FHelperModule",
// "FMessageBlock", "FAboutModule"); nil for any other name.
std::unique_ptr<TFakeObject> MakeProgramWindow(const std::string& section);

const std::vector<std::string>& ProgramWindowSections();
