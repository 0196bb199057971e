#include "system/AccessLists.h"

namespace yar {

std::string ProtectedAccessList(std::initializer_list<TAccessEntry> entries) {
    std::string text = "D:P";
    for (const TAccessEntry& entry : entries)
        text.append("(A;OICI;").append(entry.Rights).append(";;;").append(entry.Trustee).append(")");
    return text;
}

std::string AdministratorsOnlyAccess() {
    return ProtectedAccessList({{"BA", "FA"}, {"SY", "FA"}});
}

std::string ProgramFolderAccess() {
    return ProtectedAccessList({{"BA", "FA"}, {"SY", "FA"}, {"BU", "0x1200a9"}});
}

namespace {

bool Trusted(const std::string& sid, const std::string& runningAccount) {
    static constexpr const char* kTrusted[] = {
        "S-1-5-32-544",                                                   // Administrators
        "S-1-5-18",                                                       // SYSTEM
        "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", // TrustedInstaller
    };
    for (const char* trusted : kTrusted)
        if (sid == trusted) return true;
    return !runningAccount.empty() && sid == runningAccount;
}

} // namespace

std::optional<std::string> UntrustedWriter(const TAccessFacts& facts, uint32_t rights,
                                           const std::string& runningAccount) {
    if (!facts.OwnerSid.empty() && !Trusted(facts.OwnerSid, runningAccount)) return facts.OwnerSid;
    if (!facts.HasList) return std::string(kEveryoneSid);
    for (const TAllowEntry& entry : facts.Allowed)
        if (!entry.InheritOnly && (entry.Mask & rights) != 0 && !Trusted(entry.Sid, runningAccount))
            return entry.Sid;
    return std::nullopt;
}

} // namespace yar
