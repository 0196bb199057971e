#include "config/ProfileSource.h"

#include "config/ConfigRules.h"

namespace yar {

int32_t TProfileSource::ReadInteger(const std::string& section, const std::string& key,
                                    int32_t fallback) const {
    return ConfigInteger(ReadString(section, key, std::string()), fallback);
}

bool TProfileSource::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ConfigBoolean(ReadString(section, key, std::string()), fallback);
}

std::vector<std::string> StringsFromListing(std::string_view listing) {
    std::vector<std::string> names;
    while (!listing.empty() && listing.front() != '\0') {
        const std::size_t end = listing.find('\0');
        names.emplace_back(listing.substr(0, end));
        if (end == std::string_view::npos) break;
        listing.remove_prefix(end + 1);
    }
    return names;
}

} // namespace yar
