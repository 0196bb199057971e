// The language of a run's texts, chosen at the start and again as more is known: install.cfg's
// "Languages" list once it is read, the set's own language files once the set is expanded.
#pragma once

#include "config/Languages.h"

#include <optional>
#include <string>
#include <vector>

namespace yar {

class TRunLog;

// The built-in language files, and the set's lang-<code>.ini files expanded into workDir (none for an
// empty workDir), each replacing a built-in one of its code. The working directory is the run's own: no
// other account can have put a file there.
std::vector<TLanguageFile> RunLanguageFiles(const std::string& workDir);

// Chooses among files (see ChooseLanguage), shows the chosen language's texts from now on (the
// application's title too) and returns its code. A language whose texts the system's code page cannot
// show is passed over for English, and logged.
std::string UseRunLanguage(const std::vector<TLanguageFile>& files, const std::vector<std::string>& allowed,
                           const std::optional<std::string>& forced, TRunLog* log);

} // namespace yar
