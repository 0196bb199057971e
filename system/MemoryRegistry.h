// The registry kept in memory, for tests of everything that writes or reads it. Each root is a
// tree of its own (no HKEY_CLASSES_ROOT view of the Classes keys, no current user below
// HKEY_USERS). Key and value names longer than Windows allows are refused. Subkeys list in the
// order of their upper-cased names, as Windows keeps them; Wine lists by lower case instead, so
// names holding "[", "]", "^", "_" or "`" list in another order there.
#pragma once

#include <array>
#include <map>
#include <string>

#include "system/Registry.h"

namespace yar {

class TMemoryRegistry final : public TRegistry {
public:
    TMemoryRegistry();

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
    std::optional<TRegValue> ReadValue(TRegRoot root, const std::string& key,
                                       const std::string& name) const override;
    bool WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                    const TRegValue& value) override;
    bool KeyExists(TRegRoot root, const std::string& key) const override;
    bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) override;
    bool DeleteKey(TRegRoot root, const std::string& key) override;
    std::vector<std::string> SubKeyNames(TRegRoot root, const std::string& key) const override;

private:
    // Creates key and its parents: whether the key itself is new; nothing when a name is too long.
    std::optional<bool> MakeKey(TRegRoot root, const std::string& key);

    struct TKey {
        std::string Name;                        // as created
        std::map<std::string, TRegValue> Values; // by upper-cased name
    };
    // Every key of a root by its upper-cased path (names joined by "\"); the root itself is "".
    // Sorted so, the keys below one key follow it in one run, its direct subkeys in Windows' order.
    using TKeys = std::map<std::string, TKey>;

    std::array<TKeys, 4> Roots_;
};

} // namespace yar
