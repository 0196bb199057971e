#include "system/ShellLinks.h"

#include "util/Text.h"

#include <algorithm>

namespace yar {

void TRecordedShellLinks::Save(const TShellLink& link, const std::string& linkFile) {
    if (Failing_) throw EShellLinkError("Cannot create the shell link object for " + linkFile);
    Saves_.emplace_back(linkFile, link);
}

std::optional<TShellLink> TRecordedShellLinks::Find(const std::string& linkFile) const {
    const auto last = std::ranges::find_if(Saves_.rbegin(), Saves_.rend(),
                                           [&](const auto& save) { return SameText(save.first, linkFile); });
    if (last == Saves_.rend()) return std::nullopt;
    return last->second;
}

} // namespace yar
