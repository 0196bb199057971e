// The registry as the install uses it: keys and string values below one of the roots. One
// implementation calls advapi32, the other keeps the keys in memory for tests of the callers.
//
// Rules both follow. A key path is a list of key names separated by "\"; a leading "\" (the install
// writes "\" + key), doubled and trailing separators add nothing, and an empty path is the root
// itself. Key and value names match without regard to case (Windows-1252 letters included), and a
// key keeps the case it was created with. An empty value name is the key's default value. Paths,
// names and values end at their first NUL, as C strings do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yar {

enum TRegRoot { rrClassesRoot, rrCurrentUser, rrLocalMachine, rrUsers };

// A value as the registry holds it: its type, any number Windows takes (REG_SZ 1, REG_EXPAND_SZ 2,
// REG_BINARY 3, REG_DWORD 4, REG_MULTI_SZ 7, REG_QWORD 11 ...), and its data byte for byte: the system's
// registry keeps text in UTF-16, the memory registry in the program's own text.
struct TRegValue {
    uint32_t Type = 0;
    std::string Bytes;

    bool operator==(const TRegValue&) const = default;
};
inline constexpr uint32_t kRegString = 1;
inline constexpr uint32_t kRegExpandString = 2;
inline constexpr uint32_t kRegNumber = 4;

// Windows refuses longer key names and value names.
inline constexpr std::size_t kMaxRegKeyNameLength = 255;
inline constexpr std::size_t kMaxRegValueNameLength = 16383;

class TRegistry {
public:
    TRegistry() = default;
    virtual ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Creates key and its missing parents; true when the key exists afterwards.
    virtual bool CreateKey(TRegRoot root, const std::string& key) = 0;
    // Creates key and its missing parents, as CreateKey; true only when this call made the key itself,
    // false when it was there already or cannot be made.
    virtual bool CreateNewKey(TRegRoot root, const std::string& key) = 0;
    // Sets a string value (REG_SZ) of an existing key; false when the key is missing or the
    // value cannot be written.
    virtual bool WriteString(TRegRoot root, const std::string& key, const std::string& name,
                             const std::string& value) = 0;
    // A string value; nothing when the key or the value is missing or the value holds no string.
    virtual std::optional<std::string> ReadString(TRegRoot root, const std::string& key,
                                                  const std::string& name) const = 0;
    // A number value (REG_DWORD) of an existing key, and back; nothing when missing or of another type.
    virtual bool WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                              uint32_t value) = 0;
    virtual std::optional<uint32_t> ReadInteger(TRegRoot root, const std::string& key,
                                                const std::string& name) const = 0;
    // Any value as its type and bytes, and back exactly: what a rollback restores. Nothing when the key or
    // the value is missing; false when the key is missing or the value cannot be written.
    virtual std::optional<TRegValue> ReadValue(TRegRoot root, const std::string& key,
                                               const std::string& name) const = 0;
    virtual bool WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                            const TRegValue& value) = 0;
    virtual bool KeyExists(TRegRoot root, const std::string& key) const = 0;
    // Deletes one value of a key; true when it existed and is gone.
    virtual bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) = 0;
    // Deletes key with everything below it; true when it existed and is gone. A root is never
    // deleted.
    virtual bool DeleteKey(TRegRoot root, const std::string& key) = 0;
    // The names of the keys directly below key, as created; empty when key is missing.
    virtual std::vector<std::string> SubKeyNames(TRegRoot root, const std::string& key) const = 0;
};

// Every call passed on to another TRegistry: the base of a layer that changes only some of them.
class TForwardingRegistry : public TRegistry {
public:
    explicit TForwardingRegistry(TRegistry& registry) : FRegistry(registry) {}

    bool CreateKey(TRegRoot root, const std::string& key) override { return FRegistry.CreateKey(root, key); }
    bool CreateNewKey(TRegRoot root, const std::string& key) override {
        return FRegistry.CreateNewKey(root, key);
    }
    bool WriteString(TRegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override {
        return FRegistry.WriteString(root, key, name, value);
    }
    std::optional<std::string> ReadString(TRegRoot root, const std::string& key,
                                          const std::string& name) const override {
        return FRegistry.ReadString(root, key, name);
    }
    bool WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                      uint32_t value) override {
        return FRegistry.WriteInteger(root, key, name, value);
    }
    std::optional<uint32_t> ReadInteger(TRegRoot root, const std::string& key,
                                        const std::string& name) const override {
        return FRegistry.ReadInteger(root, key, name);
    }
    std::optional<TRegValue> ReadValue(TRegRoot root, const std::string& key,
                                       const std::string& name) const override {
        return FRegistry.ReadValue(root, key, name);
    }
    bool WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                    const TRegValue& value) override {
        return FRegistry.WriteValue(root, key, name, value);
    }
    bool KeyExists(TRegRoot root, const std::string& key) const override {
        return FRegistry.KeyExists(root, key);
    }
    bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) override {
        return FRegistry.DeleteValue(root, key, name);
    }
    bool DeleteKey(TRegRoot root, const std::string& key) override { return FRegistry.DeleteKey(root, key); }
    std::vector<std::string> SubKeyNames(TRegRoot root, const std::string& key) const override {
        return FRegistry.SubKeyNames(root, key);
    }

protected:
    TRegistry& FRegistry;
};

// The key names along key, top down, by the rules above; empty for the root.
std::vector<std::string> KeyPathNames(const std::string& key);
// The same key as one path the system takes: the names joined by single "\".
std::string NormalKeyPath(const std::string& key);

// A key path as configurations and uninstall records write it, optionally beginning with a root
// name. One beginning "HKEY_" loses its first name and "\" (a lone name stays) and is below
// HKEY_LOCAL_MACHINE when it holds that name anywhere, else below HKEY_CURRENT_USER (HKEY_CLASSES_ROOT and
// HKEY_USERS included): the install writes by this rule and the uninstaller reads its records back by it.
// Without a root name the path is below HKEY_CURRENT_USER.
struct TRootedKey {
    TRegRoot Root = rrCurrentUser;
    std::string Key; // as written, less the root name and its "\"

    bool operator==(const TRootedKey&) const = default;
};
TRootedKey RootedKeyOf(const std::string& keyPath);

// The root's own name, "HKEY_LOCAL_MACHINE" ..., and a key below it as one name: the root's name, "\" and
// the key's normal path.
std::string RootName(TRegRoot root);
std::string RootedKeyName(TRegRoot root, const std::string& key);

} // namespace yar
