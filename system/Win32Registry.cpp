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

// Opens path below parent; an empty path opens parent once more. The wide calls throughout: the system
// keeps every name in UTF-16.
LONG OpenKeyResult(HKEY parent, const std::string& path, REGSAM access, TOpenKey& key) {
    return RegOpenKeyExW(parent, WideFromAnsi(path).c_str(), 0, access, &key.Handle);
}
bool OpenKey(HKEY parent, const std::string& path, REGSAM access, TOpenKey& key) {
    return OpenKeyResult(parent, path, access, key) == ERROR_SUCCESS;
}

// The names of the keys directly below key, collected before anything below is changed: deleting
// while enumerating would shift the indices.
std::vector<std::string> EnumerateSubKeys(HKEY key) {
    std::vector<std::string> names;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD index = 0;;) {
        auto length = static_cast<DWORD>(buffer.size());
        const LONG result =
            RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) { // a longer name added since the query
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) break;
        names.push_back(AnsiFromWide(std::wstring_view(buffer.data(), length)));
        ++index;
    }
    return names;
}

// RegDeleteKeyW deletes only keys without subkeys: the tree goes from the bottom up.
bool DeleteTree(HKEY parent, const std::string& path) {
    {
        TOpenKey key;
        if (!OpenKey(parent, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, key)) return false;
        for (const std::string& name : EnumerateSubKeys(key.Handle)) DeleteTree(key.Handle, name);
    }
    return RegDeleteKeyW(parent, WideFromAnsi(path).c_str()) == ERROR_SUCCESS;
}

} // namespace

bool TWin32Registry::CreateKey(TRegRoot root, const std::string& key) {
    const std::string path = NormalKeyPath(key);
    if (path.empty()) return KeyExists(root, path);
    TOpenKey created;
    // Only what a read needs: the system checks the right to create on each parent by itself, and
    // an existing key that may be read but not changed still exists.
    return RegCreateKeyExW(RootKey(root), WideFromAnsi(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_QUERY_VALUE, nullptr, &created.Handle, nullptr) == ERROR_SUCCESS;
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
    // Up to its first NUL: c_str() cuts the text there.
    // cppcheck-suppress stlcstrParam
    const std::wstring wide = WideFromAnsi(value.c_str()); // NOLINT(readability-redundant-string-cstr)
    // With the NUL after it, as the system stores a string.
    return WriteValue(
        root, key, name,
        {REG_SZ, std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * 2)});
}

bool TWin32Registry::DeleteValue(TRegRoot root, const std::string& key, const std::string& name) {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_SET_VALUE, opened)) return false;
    return RegDeleteValueW(opened.Handle, WideFromAnsi(name).c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> TWin32Registry::ReadString(TRegRoot root, const std::string& key,
                                                      const std::string& name) const {
    const std::optional<TRegValue> value = ReadValue(root, key, name);
    if (!value || (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring wide(value->Bytes.size() / 2, L'\0');
    std::memcpy(wide.data(), value->Bytes.data(), wide.size() * 2);
    return AnsiFromWide(std::wstring_view(wide.c_str())); // up to the first NUL, stored or not
}

bool TWin32Registry::WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                                  uint32_t value) {
    const DWORD data = value;
    return WriteValue(root, key, name,
                      {REG_DWORD, std::string(reinterpret_cast<const char*>(&data), sizeof data)});
}

std::optional<uint32_t> TWin32Registry::ReadInteger(TRegRoot root, const std::string& key,
                                                    const std::string& name) const {
    const std::optional<TRegValue> value = ReadValue(root, key, name);
    if (!value || value->Type != REG_DWORD || value->Bytes.size() != sizeof(DWORD)) return std::nullopt;
    DWORD data = 0;
    std::memcpy(&data, value->Bytes.data(), sizeof data);
    return data;
}

std::optional<TRegValue> TWin32Registry::ReadValue(TRegRoot root, const std::string& key,
                                                   const std::string& name) const {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_QUERY_VALUE, opened)) return std::nullopt;
    const std::wstring wideName = WideFromAnsi(name);
    TRegValue value;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(opened.Handle, wideName.c_str(), nullptr, &type, nullptr, &size);
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) { // the value may grow meanwhile
        value.Bytes.assign(size, '\0');
        result = RegQueryValueExW(opened.Handle, wideName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.Bytes.data()), &size);
        if (result == ERROR_SUCCESS) break;
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    value.Type = type;
    value.Bytes.resize(size);
    return value;
}

bool TWin32Registry::WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                                const TRegValue& value) {
    TOpenKey opened;
    if (!OpenKey(RootKey(root), NormalKeyPath(key), KEY_SET_VALUE, opened)) return false;
    return RegSetValueExW(opened.Handle, WideFromAnsi(name).c_str(), 0, value.Type,
                          reinterpret_cast<const BYTE*>(value.Bytes.data()),
                          static_cast<DWORD>(value.Bytes.size())) == ERROR_SUCCESS;
}

bool TWin32Registry::KeyExists(TRegRoot root, const std::string& key) const {
    TOpenKey opened;
    // A key the process may not read exists all the same.
    const LONG result = OpenKeyResult(RootKey(root), NormalKeyPath(key), KEY_QUERY_VALUE, opened);
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
