// The rules of the uninstaller that need nothing of the machine: the messages it shows, how its
// records' patterns match file names, and what it never deletes whatever a record says.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "system/Registry.h"

namespace yar {

// An uninstall that cannot start: nothing has been changed. The message is the one the user sees.
class EUninstallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The question before anything is removed.
std::string RemoveQuestion(const std::string& title);
// No record beside the uninstaller: removed already, or never installed there.
std::string NoRecordMessage(const std::string& recordPath);
// A record that cannot be read or lacks its title or its files.
std::string DamagedRecordMessage(const std::string& recordPath);
// A record the uninstaller does not act on, because it may not be what the install wrote (reason says
// why): "The uninstall information <path> cannot be trusted: <reason>. Nothing was removed."
std::string UntrustedRecordMessage(const std::string& recordPath, const std::string& reason);

// A record refused before anything was changed, as EUninstallError, for a record that may not be the
// install's own.
class EUntrustedRecordError : public EUninstallError {
public:
    using EUninstallError::EUninstallError;
};

// Whether name matches a wildcard pattern as the system's directory listing does: "*" stands for any
// run of characters, "?" for one, case is ignored, and a pattern ending ".*" also matches a name
// without an extension ("Acme.*" matches "Acme", "Acme.lnk" and "Acme.old.pif").
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool HasWildcard(std::string_view name);
// A pattern naming the files of one name with any extension ("Acme Tools.*"): the shortcut records.
// Every other wildcard pattern ("*.*", "*.dll") stands for a whole directory.
bool IsNamePattern(std::string_view pattern);

// The paths that must not be links (reparse points) for path to be listed or removed, top down: when
// path lies below the installation directory (both canonical), every level below that directory down to
// path; else every level below its drive's root down to path. The installation directory itself was
// checked with the record.
std::vector<std::string> PathsThatMustNotBeLinks(const std::string& path, const std::string& TargetDir);

// Whether path is dir or lies below it, ignoring case and a trailing "\".
bool IsWithin(std::string_view path, std::string_view dir);
bool SamePath(std::string_view a, std::string_view b);

// Why a file named by a record is never deleted; empty when it may be. The system's own files
// (win.ini, system.ini, autoexec.bat, config.sys and the like, wherever they are; every INI file of
// the Windows directory and its system directories) are kept, and so is any INI file outside the
// installation directory: the install only wrote values into it, and the file is not its own.
std::string ProtectedFileReason(const std::string& path, const std::string& WindowsDir,
                                const std::string& TargetDir);

// Why a registry key named by a record is never deleted; empty when it may be. key is below its root,
// without a root name, and the rules are the same for every root. Refused: the root and the keys one level
// below it (Software, System ...), the keys the system and other programs share (Software\Microsoft,
// Software\Classes, Software\Policies, System, Control Panel ... with everything below them) and a few shared
// keys themselves (Software\Clients, Software\ODBC ...). A key one level below its root that the install
// made (madeByInstall) may go, unless it is one of the system's own (Software, System ...).
std::string ProtectedKeyReason(const std::string& key, bool madeByInstall = false);

// What the program is asked to do. The registration starts it with the product title after its
// path, which names nothing it needs: the record beside it has the title.
struct TUninstallCommand {
    bool Silent = false; // /S: no questions, no windows, the result in the exit code
    // The helper that removes the uninstaller once it has ended: the process to wait for and the file.
    unsigned long WaitFor = 0;
    std::string RemoveAfter;
    bool WithDirectory = false; // the file's directory goes too, when empty: the install made it

    bool operator==(const TUninstallCommand&) const = default;
};

// The words of a command line are separated by blanks, "..." holds blanks in one word; the first
// word is the program. "/S" (any case) asks for silence; "/REMOVE-AFTER <process id> <file>" starts
// the helper, and "/WITH-DIRECTORY" lets it remove the file's directory too. Other words are left alone.
TUninstallCommand ParseUninstallCommand(std::string_view commandLine);
// The helper's arguments, as ParseUninstallCommand reads them.
std::string RemoveAfterArguments(unsigned long processId, const std::string& file, bool withDirectory);

} // namespace yar
