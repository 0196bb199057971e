// Profile values through the Windows profile functions (GetPrivateProfileStringA).
#pragma once

#include "config/ProfileSource.h"

namespace yar {

class TWin32ProfileSource final : public TProfileSource {
public:
    // fileName is made a full path first: the profile functions look for a bare name in the
    // Windows directory instead of the current one.
    explicit TWin32ProfileSource(const std::string& fileName);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override;
    std::vector<std::string> ReadKeyNames(const std::string& section) const override;
    std::vector<std::string> ReadSectionLines(const std::string& section) const override;

    const std::string& FileName() const { return FileName_; }

private:
    std::string FileName_;
};

} // namespace yar
