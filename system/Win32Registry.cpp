#include "system/Win32Registry.h"

#include "system/CodePages.h"

#include <cstring>

#include <windows.h>

namespace yar {

namespace {

HKEY RootKey(TRegRoot root) {
    switch (root) {
    case rrClassesRoot:
        return HKEY_CLASSES_ROOT;
    case rrCurrentUser:
        return HKEY_CURRENT_USER;
    case rrLocalMachine:
        return HKEY_LOCAL_MACHINE;
    case rrUsers:
        return HKEY_USERS;
    }
    return nullptr;
}

// An open key, closed with its owner.
class TOpenKey {
public:
    TOpenKey() = default;
    ~TOpenKey() {
        if (Handle) RegCloseKey(Handle);
    }
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;

    HKEY Handle = nullptr;
};

// Opens path below parent; an empty path opens parent once more.
bool OpenKey(HKEY parent, const std::string& path, REGSAM access, TOpenKey& key) {
    return RegOpenKeyExA(parent, path.c_str(), 0, access, &key.Handle) == ERROR_SUCCESS;
}

// The names of the keys directly below key, collected before anything below is changed: deleting
// while enumerating would shift the indices.
std::vector<std::string> EnumerateSubKeys(HKEY key) {
    std::vector<std::string> names;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<char> buffer(longest + 1);
    for (DWORD index = 0;;) {
        auto length = static_cast<DWORD>(buffer.size());
        const LONG result =
            RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) { // a name added since the query, or longer in ANSI bytes
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) break;
        names.emplace_back(buffer.data(), length);
        ++index;
    }
    return names;
}

// RegDeleteKeyA deletes only keys without subkeys: the tree goes from the bottom up.
bool DeleteTree(HKEY parent, const std::string& path) {
    {
        TOpenKey key;
        if (!OpenKey(parent, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, key)) return false;
        for (const std::string& name : EnumerateSubKeys(key.Handle)) DeleteTree(key.Handle, name);
    }
    return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool TWin32Registry::CreateKey(TRegRoot root, const std::string& key) {
    const std::string path = NormalKeyPath(key);
    if (path.empty()) return KeyExists(root, path);
    TOpenKey created;
    // Only what a read needs: the system checks the right to create on each parent by itself, and
    // an existing key that may be read but not changed still exists.
    return RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE,
                           nullptr, &created.Handle, nullptr) == ERROR_SUCCESS;
}

bool TWin32Registry::CreateNewKey(TRegRoot root, const std::string& key) {
    const std::string path = NormalKeyPath(key);
    if (path.empty()) return false;
    TOpenKey created;
    DWORD disposition = 0;
    return RegCreateKeyExW(RootKey(root), WideFromAnsi(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_QUERY_VALUE, nullptr, &created.Handle, &disposition) == ERROR_SUCCESS &&
           disposition == REG_CREATED_NEW_KEY;
}

bool TWin32Registry::WriteString(TRegRoot root, const std::string& key, const std::string& name,
                                 const std::string& value) {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_SET_VALUE, opened)) return false;
    const DWORD size = static_cast<DWORD>(std::strlen(value.c_str())) + 1; // with its NUL
    return RegSetValueExA(opened.Handle, name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), size) == ERROR_SUCCESS;
}

bool TWin32Registry::DeleteValue(TRegRoot root, const std::string& key, const std::string& name) {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_SET_VALUE, opened)) return false;
    return RegDeleteValueA(opened.Handle, name.c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> TWin32Registry::ReadString(TRegRoot root, const std::string& key,
                                                      const std::string& name) const {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_QUERY_VALUE, opened)) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(opened.Handle, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<char> buffer;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) { // the value may grow meanwhile
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        buffer.assign(size + 1, '\0'); // room for a NUL the stored data lacks
        size = static_cast<DWORD>(buffer.size());
        result = RegQueryValueExA(opened.Handle, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (result == ERROR_SUCCESS) return std::string(buffer.data()); // up to the first NUL
    }
    return std::nullopt;
}

bool TWin32Registry::WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                                  uint32_t value) {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_SET_VALUE, opened)) return false;
    const DWORD data = value;
    return RegSetValueExA(opened.Handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

std::optional<uint32_t> TWin32Registry::ReadInteger(TRegRoot root, const std::string& key,
                                                    const std::string& name) const {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_QUERY_VALUE, opened)) return std::nullopt;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(opened.Handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return data;
}

bool TWin32Registry::KeyExists(TRegRoot root, const std::string& key) const {
    TOpenKey opened;
    // A key the process may not read exists all the same.
    const LONG result =
        RegOpenKeyExA(RootKey(root), NormalKeyPath(key).c_str(), 0, KEY_QUERY_VALUE, &opened.Handle);
    return result == ERROR_SUCCESS || result == ERROR_ACCESS_DENIED;
}

bool TWin32Registry::DeleteKey(TRegRoot root, const std::string& key) {
    const std::string path = NormalKeyPath(key);
    return !path.empty() && DeleteTree(RootKey(root), path);
}

std::vector<std::string> TWin32Registry::SubKeyNames(TRegRoot root, const std::string& key) const {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, opened))
        return {};
    return EnumerateSubKeys(opened.Handle);
}

} // namespace yar
