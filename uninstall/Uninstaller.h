// The uninstall: reads uninstall.cfg from the installation directory and removes what it records,
// through the system layer it is given, so that the whole run is tested natively against the
// portable system layer and under Wine through the system's own calls.
//
// The record lies where an install put it, and another account may have had a hand in it: it is acted
// on only when it is the install's own (ReadTrustedUninstallData), and even then every path it names is
// made canonical before any rule looks at it (CanonicalPath, long names for short ones), no link on the
// way is followed, and only what the install made goes: directories, folders and keys it recorded as
// made, not whatever existing directory or key a record names.
//
// Order: the [UNINS] files, the directories and folders the install made when empty (the deepest
// first), the registry keys within the keys it made, then, when nothing failed, the product's entry in
// the list of installed programs, the record itself and the installation directory when the install
// made it. After a failure the record and the entry stay, so that the uninstall can be run again for
// what is left.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/UninstallRecord.h"
#include "system/Files.h"
#include "system/Registry.h"

namespace yar {

// Reads dir\uninstall.cfg; raises EUninstallError with NoRecordMessage when it is missing and
// DamagedRecordMessage when it cannot be read, holds no title or records no files. Nothing is checked
// of where it comes from: for other products' records, which only ever keep things.
TUninstallData ReadUninstallData(const TFiles& files, const std::string& dir);

// Reads dir\uninstall.cfg as the uninstall acts on it, once it is sure the record is the one the install
// left; raises EUntrustedRecordError with UntrustedRecordMessage, before any file is opened, when dir is
// no plain local path (CanonicalPath refuses it: a network path is never opened); then when the record
// or dir is a link, when an account other than Administrators, SYSTEM, TrustedInstaller and the one
// running owns either or may change it (UntrustedChangeReason), when the product's entry in the list of
// installed programs is not this directory's or holds no digest (kRecordDigestValue), or when the
// record's SHA-256 differs from it. NoRecordMessage and DamagedRecordMessage as ReadUninstallData. The
// data's TargetDir is dir in its canonical, long form.
TUninstallData ReadTrustedUninstallData(const TFiles& files, const TRegistry& registry,
                                        const std::string& dir);

// Another product's installation, found through its entry in the list of installed programs: what
// it needs is not removed with this one.
struct TOtherProduct {
    std::string Title;
    TUninstallData Data;
};
// Every product listed with an uninstaller whose record can be read, except the one in TargetDir.
std::vector<TOtherProduct> OtherProducts(const TFiles& files, const TRegistry& registry,
                                         const std::string& TargetDir);

enum TUninstallOutcome {
    uoRemoved, // gone, or goes when the uninstaller ends (its own file and directory)
    uoKept,    // left by a rule: the report says which
    uoFailed,  // should have gone and could not
};

struct TReportItem {
    std::string What; // a path, or a registry key with its root name
    TUninstallOutcome Outcome;
    std::string Why; // empty for what was removed at once

    bool operator==(const TReportItem&) const = default;
};

// Exit codes of the program.
enum : int {
    kExitRemoved = 0,    // everything named was removed; what rules kept is in the report
    kExitIncomplete = 1, // something could not be removed
    kExitNoRecord = 2,   // missing, damaged or untrusted record: nothing changed
    kExitDeclined = 3,   // the user answered No
};

struct TUninstallReport {
    std::string Title;
    std::vector<TReportItem> Items;

    bool Failed() const;
    int ExitCode() const { return Failed() ? kExitIncomplete : kExitRemoved; }
    std::vector<TReportItem> Left() const;
    std::size_t RemovedCount() const;
    // What the end message shows: how much went, then each item left and why.
    std::string Text() const;
};

// What the uninstall shows while it runs.
class TUninstallProgress {
public:
    TUninstallProgress() = default;
    virtual ~TUninstallProgress() = default;
    TUninstallProgress(const TUninstallProgress&) = delete;
    TUninstallProgress& operator=(const TUninstallProgress&) = delete;

    virtual void Begin(int steps) = 0;
    // One record taken: a file, folder or key.
    virtual void Step(const std::string& what) = 0;
};

// The work of the helper that removes the uninstaller once it has ended: file goes, read-only or
// not, tried up to tries times with pause between while the system still holds it; then, withDirectory
// (the install made it), its directory when that is empty and no link, and helper, the helper's own
// file, with the private directory it runs from, at restart. True when file is gone.
bool RemoveEndedUninstaller(TFiles& files, const std::string& file, bool withDirectory,
                            const std::string& helper, int tries, const std::function<void()>& pause);

// What the uninstall changes.
struct TUninstallSystem {
    TFiles& Files;
    TRegistry& Registry;
};

class TUninstaller {
public:
    // selfPath: the uninstaller's own program file, which cannot go while it runs; it is reported as
    // removed and left for the program to delete once it has ended.
    TUninstaller(TUninstallData data, const TUninstallSystem& system, TUninstallProgress& progress,
                 std::string selfPath = {});

    TUninstallReport Run();

private:
    // The record's path in canonical, long form; empty (and the record reported as kept with the
    // reason) when CanonicalPath refuses it.
    std::string Canonical(const std::string& record, bool wildcards);
    // path with every existing level in its long form.
    std::string LongForm(const std::string& path) const;
    // The first of PathsThatMustNotBeLinks(path) that is a link; empty when none is.
    std::string LinkOnTheWay(const std::string& path) const;
    void RemoveFiles();
    void RemoveMatches(const std::string& record, const std::string& pattern);
    void RemoveFile(const std::string& path, bool named);
    void RemoveMadeDirectories();
    void RemoveKeys();
    void RemoveKey(const std::string& record, bool madeRecord);
    // Whether the key (root and path) lies within a key the record names as made by the install.
    bool MadeByInstall(TRegRoot root, const std::string& key) const;
    bool MadeDirectory(const std::string& dir) const;
    void RemoveRegistration();
    void RemoveRecordAndDirectory();

    void Note(const std::string& what, TUninstallOutcome outcome, const std::string& why = {});
    bool Handled(const std::string& path);
    std::string OwnerOfFile(const std::string& path) const;
    std::string OwnerOfKey(TRegRoot root, const std::string& key) const;
    bool IsSetupFile(const std::string& path) const;

    TUninstallData Data_;
    TUninstallSystem System_;
    TUninstallProgress& Progress_;
    std::string SelfPath_;
    std::string RecordPath_;
    std::string WindowsDir_;
    std::vector<TOtherProduct> Others_;
    std::vector<std::string> Handled_;         // upper-cased paths already taken
    std::vector<std::string> MadeDirectories_; // canonical
    TUninstallReport Report_;
};

} // namespace yar
