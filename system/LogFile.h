// The file /LOG writes. The default log lies in the temporary directory, where every user may create
// names: it is always a new file of a name drawn at random, and no log is ever opened through a link.
#pragma once

#include "system/Streams.h"
#include "util/RunLog.h"

#include <functional>
#include <memory>
#include <string>

namespace yar {

// Eight lower-case hex digits from SystemRandomWord: a name part that
// another user cannot guess beforehand. Raises ELogError when the system gives no random bytes.
std::string RandomNamePart();

class TLogFile final : public TLogSink {
public:
    // How many drawn names CreateNew tries before it gives up: each taken name costs one.
    static constexpr int kNameTries = 16;

    // The file the user named, created or emptied. A symbolic link, junction or other reparse point, a
    // file of more than one name (a hard link), a directory or device at the name is refused, never
    // followed. Raises ELogError "Cannot create the log file <path>" with the reason.
    static std::unique_ptr<TLogFile> OpenNamed(const std::string& path);
    // A file that did not exist, at the first of nextPath's names that is free (nothing at all there,
    // not even a link). Raises ELogError "Cannot create a new log file <last path tried>" when none is.
    static std::unique_ptr<TLogFile> CreateNew(const std::function<std::string()>& nextPath);

    ~TLogFile() override;
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    const std::string& Path() const { return FPath; }
    // The line and CR LF, handed to the system before the call returns.
    void WriteLine(const std::string& line) override;

private:
    TLogFile(THandle handle, std::string path) : FHandle(handle), FPath(std::move(path)) {}
    THandle FHandle;
    std::string FPath;
};

} // namespace yar
