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

} // namespace yar
