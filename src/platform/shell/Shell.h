#pragma once
// What the program asks of the desktop: open a web or mail link in the
// user's programs (through xdg-open) and start a helper program such as the
// sound server's volume control. Programs are started with an argument list,
// never through a command line, and are not waited for. Links of any other
// scheme than http, https and mailto are refused, because they come from
// data files (help pages, language files).

#include <string>

namespace shell {

// True when the link has an accepted scheme (letter case aside).
bool IsOpenableLink(const std::string& link);
// Hands the link to xdg-open; false when it is refused or xdg-open cannot
// be started.
bool OpenLink(const std::string& link);
// Starts the program at Path (no arguments); false when it cannot start.
bool StartProgram(const std::string& path);
// The full path of an executable Name on $PATH, empty when there is none.
std::string FindOnPath(const std::string& name);

}  // namespace shell
