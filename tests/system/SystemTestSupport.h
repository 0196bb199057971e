// Helpers of the system layer's tests: a directory of the test's own, raw file bytes, bytes shown
// readably in failure messages.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace yar::test {

// A fresh directory for the running test, named after it (CTest runs the cases as parallel
// processes), removed with everything in it, read-only files too.
class TTestDir {
public:
    explicit TTestDir(const std::string& prefix);
    ~TTestDir();
    TTestDir(const TTestDir&) = delete;
    TTestDir& operator=(const TTestDir&) = delete;

    const std::filesystem::path& Path() const { return Path_; }
    // The directory, or name inside it, as the system layer takes paths.
    std::string operator/(const std::string& name) const;

private:
    std::filesystem::path Path_;
};

void PutBytes(const std::string& path, std::string_view bytes);
std::optional<std::string> GetBytes(const std::string& path);
// Every file and directory below root, one line each in path order, a file with its bytes: two trees
// compare equal when nothing was added, removed or changed.
std::string TreeOf(const std::string& root);
// Control characters and bytes from 0x7F escaped, the rest as is.
std::string Visible(std::string_view bytes);

} // namespace yar::test
