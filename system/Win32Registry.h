// The registry through advapi32 (RegCreateKeyExA and its kin). Paths are brought into the one form
// the system takes first: it refuses a leading "\" that the install writes.
#pragma once

#include "system/Registry.h"

namespace yar {

class TWin32Registry final : public TRegistry {
public:
    TWin32Registry() = default;

    bool CreateKey(TRegRoot root, const std::string& key) override;
    bool CreateNewKey(TRegRoot root, const std::string& key) override;
    bool WriteString(TRegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override;
    std::optional<std::string> ReadString(TRegRoot root, const std::string& key,
                                          const std::string& name) const override;
    bool WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                      uint32_t value) override;
    std::optional<uint32_t> ReadInteger(TRegRoot root, const std::string& key,
                                        const std::string& name) const override;
    // Through the wide calls: text values come and go as the UTF-16 the registry holds.
    std::optional<TRegValue> ReadValue(TRegRoot root, const std::string& key,
                                       const std::string& name) const override;
    bool WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                    const TRegValue& value) override;
    bool KeyExists(TRegRoot root, const std::string& key) const override;
    bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) override;
    bool DeleteKey(TRegRoot root, const std::string& key) override;
    std::vector<std::string> SubKeyNames(TRegRoot root, const std::string& key) const override;
};

} // namespace yar
