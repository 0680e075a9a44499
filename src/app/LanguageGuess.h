#pragma once
// The UI language of a user who has chosen none yet, guessed from the
// languages the user's settings name: any Russian or Ukrainian gives "RUS",
// else any German "DEU", else any French "FRA", else "ENU".

#include <string>
#include <vector>

// Entries are locale names ("uk_UA.UTF-8", "de") or keyboard layouts ("ru",
// "ua"); letter case does not matter.
std::string GuessLanguage(const std::vector<std::string>& languages);
// The locale variables LANGUAGE (each of its entries), LC_ALL, LC_MESSAGES
// and LANG, then the layouts of the system's keyboard settings
// (XKBLAYOUT in /etc/default/keyboard).
std::vector<std::string> UserLanguages();
