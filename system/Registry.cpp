#include "system/Registry.h"

#include "util/Text.h"

namespace yar {

std::vector<std::string> KeyPathNames(const std::string& key) {
    std::vector<std::string> names;
    std::string_view rest = UpToNul(key);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        const std::string_view name = rest.substr(0, end);
        if (!name.empty()) names.emplace_back(name);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return names;
}

std::string NormalKeyPath(const std::string& key) {
    std::string path;
    for (const std::string& name : KeyPathNames(key)) {
        if (!path.empty()) path += '\\';
        path += name;
    }
    return path;
}

std::string RootName(TRegRoot root) {
    switch (root) {
    case rrClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case rrCurrentUser:
        return "HKEY_CURRENT_USER";
    case rrLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case rrUsers:
        return "HKEY_USERS";
    }
    return {};
}

std::string RootedKeyName(TRegRoot root, const std::string& key) {
    return RootName(root) + "\\" + NormalKeyPath(key);
}

TRootedKey RootedKeyOf(const std::string& keyPath) {
    if (!StartsWithText(keyPath, "HKEY_")) return {rrCurrentUser, keyPath};
    const TRegRoot root = Contains(UpperCase(keyPath), "HKEY_LOCAL_MACHINE") ? rrLocalMachine : rrCurrentUser;
    const std::size_t separator = keyPath.find('\\');
    // A lone root name loses nothing.
    return {root, separator == std::string::npos ? keyPath : keyPath.substr(separator + 1)};
}

} // namespace yar
