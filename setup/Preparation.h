// TPreparation: the expansion of the set into the working directory, without a window. It finds each
// volume (a floppy asked for while it is missing), checks it against the program's manifest, copies the
// setup program and its configuration along and expands the archives. The preparation window (TUnzip)
// shows it; a run that shows nothing uses it as it is.
#pragma once

#include "archive/Segment.h"
#include "setup/WindowPrompts.h"
#include "system/Win32Files.h"

#include <cstdint>
#include <string>

namespace yar {

class TSetupRun;

class TPreparation {
public:
    // Works on run's state and configuration; the segment reader's boxes cover promptOwner (none for
    // a run that shows nothing, which asks nothing).
    explicit TPreparation(TSetupRun& run, HWND promptOwner = nullptr);
    virtual ~TPreparation();
    TPreparation(const TPreparation&) = delete;
    TPreparation& operator=(const TPreparation&) = delete;

    TWindowPrompts Prompts; // the segment reader's retry box
    TSegCompEZ SegCompEZ1;

    // The expansion itself; a failure cancels the run as a failed preparation.
    void Expand();

    // Before volume SegNumber is opened: asks for it while it is missing; before volume 1 also writes
    // the program running and the install.cfg it follows into the working directory as install.exe and
    // install.cfg.
    void SegCompEZ1SegBefore(TSegMode SegMode, const std::string& SegName, uint16_t SegNumber);
    // Before each file is written: it goes straight into the working directory.
    void SegCompEZ1CheckFile(std::string& filepath, TCProcessMode mode);
    void SegCompEZ1ShowProgress(int32_t& PercentageDone);

    // The volume last looked for.
    const std::string& VolumePath() const { return FVolumePath; }

protected:
    // What a window showing the preparation adds; nothing without one.
    virtual void ServeWindows() {}
    // The gauge runs over maximum steps, one per setup file copied and one per file expanded.
    virtual void GaugeStart(int /*maximum*/) {}
    virtual void SetupFileCopied() {}
    // A file of the set is about to be written; the one before it is complete.
    virtual void FileExpanding() {}
    // The expansion has ended, whichever way.
    virtual void ExpansionEnded() {}
    void Log(const std::string& event) const;

    TSetupRun& FRun;
    TWin32Files FFiles;

private:
    // With a manifest in this program, each volume is checked against it.
    void BindVolumesToManifest();
    void CopySetupFiles();
    // A file of the setup program's own, into the working directory.
    void WriteSetupFile(const char* name, const std::string& bytes);

    std::string FVolumePath;
};

} // namespace yar
