// The answer file of /LOADINF and /SAVEINF, and the choices a run without pages installs with: the
// pages' own values with the answers put over them. Whether the choices come from the pages or from
// answers, the install gets them as one TInstallChoices.
#pragma once

#include "config/SetupConfig.h"
#include "config/SetupState.h"
#include "config/SetupSwitches.h"
#include "engine/InstallChoices.h"
#include "system/Files.h"
#include "system/IniFiles.h"

#include <string>

namespace yar {

// The answer file's one section.
inline constexpr const char* kAnswerSection = "Setup";

// The answers of an INI file: [Setup] Dir, Type (full|min), Folders (desktop,startmenu), Desktop and
// StartMenu (the ticked shortcuts' names, separated by "|", which no file name holds), EndChoice
// (launch|return|restart), Overwrite (yes|no); a missing key gives no answer. Raises ESwitchError when
// the file does not exist or a value is not one of its words.
TSetupAnswers ReadAnswerFile(const TFiles& files, const TIniFiles& ini, const std::string& path);
// Writes every answer given; raises ESwitchError when the file cannot be written.
void WriteAnswerFile(TIniFiles& ini, const std::string& path, const TSetupAnswers& answers);

// The answers the pages gave, as an answer file keeps them.
TSetupAnswers AnswersOf(const TInstallChoices& choices, TEndChoice endChoice);

// The end choice of a run without pages: the answer, else the configuration's preset; a launch that
// /NOLAUNCH forbids, or a choice the ready page would not offer, becomes the return to Windows.
TEndChoice UnattendedEndChoice(const SetupConfig& config, const TSetupAnswers& answers, bool noLaunch);

// What the pages would hold had nobody touched them, with the answers put over them.
TInstallChoices UnattendedChoices(const SetupConfig& config, const SetupState& state,
                                  const TSetupAnswers& answers, TEndChoice endChoice);

} // namespace yar
