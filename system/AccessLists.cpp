#include "system/AccessLists.h"

#include <algorithm>
#include <iterator>

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

} // namespace yar

namespace yar {

namespace {

struct TNamedSid {
    std::string_view Alias; // the SDDL alias; empty when SDDL has none
    std::string_view Sid;
    std::string_view Name;
};

constexpr const char* kTrustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr const char* kAdministrators = "S-1-5-32-544";
constexpr const char* kSystem = "S-1-5-18";
constexpr const char* kCreatorOwner = "S-1-3-0";
constexpr const char* kCreatorGroup = "S-1-3-1";
constexpr const char* kOwnerRights = "S-1-3-4";

constexpr TNamedSid kWellKnownSids[] = {
    {"WD", "S-1-1-0", "Everyone"},
    {"CO", "S-1-3-0", "CREATOR OWNER"},
    {"CG", "S-1-3-1", "CREATOR GROUP"},
    {"OW", "S-1-3-4", "OWNER RIGHTS"},
    {"NU", "S-1-5-2", "NETWORK"},
    {"IU", "S-1-5-4", "INTERACTIVE"},
    {"SU", "S-1-5-6", "SERVICE"},
    {"AN", "S-1-5-7", "ANONYMOUS LOGON"},
    {"ED", "S-1-5-9", "ENTERPRISE DOMAIN CONTROLLERS"},
    {"PS", "S-1-5-10", "SELF"},
    {"AU", "S-1-5-11", "Authenticated Users"},
    {"RC", "S-1-5-12", "RESTRICTED"},
    {"SY", "S-1-5-18", "SYSTEM"},
    {"LS", "S-1-5-19", "LOCAL SERVICE"},
    {"NS", "S-1-5-20", "NETWORK SERVICE"},
    {"WR", "S-1-5-33", "WRITE RESTRICTED"},
    {"BA", "S-1-5-32-544", "Administrators"},
    {"BU", "S-1-5-32-545", "Users"},
    {"BG", "S-1-5-32-546", "Guests"},
    {"PU", "S-1-5-32-547", "Power Users"},
    {"AO", "S-1-5-32-548", "Account Operators"},
    {"SO", "S-1-5-32-549", "Server Operators"},
    {"PO", "S-1-5-32-550", "Print Operators"},
    {"BO", "S-1-5-32-551", "Backup Operators"},
    {"RE", "S-1-5-32-552", "Replicator"},
    {"RU", "S-1-5-32-554", "Pre-Windows 2000 Compatible Access"},
    {"RD", "S-1-5-32-555", "Remote Desktop Users"},
    {"NO", "S-1-5-32-556", "Network Configuration Operators"},
    {"MU", "S-1-5-32-558", "Performance Monitor Users"},
    {"LU", "S-1-5-32-559", "Performance Log Users"},
    {"CY", "S-1-5-32-569", "Cryptographic Operators"},
    {"ER", "S-1-5-32-573", "Event Log Readers"},
    {"AC", "S-1-15-2-1", "ALL APPLICATION PACKAGES"},
    {"", "S-1-15-2-2", "ALL RESTRICTED APPLICATION PACKAGES"},
    {"", kTrustedInstaller, "TrustedInstaller"},
};

struct TRightToken {
    std::string_view Token;
    uint32_t Mask;
};

constexpr TRightToken kRightTokens[] = {
    {"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000}, {"GX", 0x20000000}, {"RC", 0x00020000},
    {"SD", 0x00010000}, {"WD", 0x00040000}, {"WO", 0x00080000}, {"RP", 0x00000010}, {"WP", 0x00000020},
    {"CC", 0x00000001}, {"DC", 0x00000002}, {"LC", 0x00000004}, {"SW", 0x00000008}, {"LO", 0x00000080},
    {"DT", 0x00000040}, {"CR", 0x00000100}, {"FA", 0x001F01FF}, {"FR", 0x00120089}, {"FW", 0x00120116},
    {"FX", 0x001200A0}, {"KA", 0x000F003F}, {"KR", 0x00020019}, {"KW", 0x00020006}, {"KX", 0x00020019},
};

std::optional<uint32_t> ParseRights(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        if (text.size() < 3 || text.size() > 10) return std::nullopt;
        uint32_t mask = 0;
        for (const char c : text.substr(2)) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            mask = mask << 4 | static_cast<uint32_t>(digit);
        }
        return mask;
    }
    if (text.size() % 2 != 0) return std::nullopt;
    uint32_t mask = 0;
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const std::string_view token = text.substr(at, 2);
        const auto* found = std::find_if(std::begin(kRightTokens), std::end(kRightTokens),
                                         [&](const TRightToken& t) { return t.Token == token; });
        if (found == std::end(kRightTokens)) return std::nullopt;
        mask |= found->Mask;
    }
    return mask;
}

// One entry's text between its parentheses: "type;flags;rights;object;inherited object;account".
std::optional<TAccessRule> ParseAce(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(';', start);
        fields.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (fields.size() < 6) return std::nullopt;
    TAccessRule rule;
    const std::string_view type = fields[0];
    if (type == "A" || type == "OA" || type == "XA" || type == "ZA")
        rule.Allow = true;
    else if (type == "D" || type == "OD" || type == "XD")
        rule.Allow = false;
    else
        return std::nullopt;
    const std::string_view flags = fields[1];
    if (flags.size() % 2 != 0) return std::nullopt;
    for (std::size_t at = 0; at < flags.size(); at += 2) {
        const std::string_view flag = flags.substr(at, 2);
        if (flag == "IO")
            rule.InheritOnly = true;
        else if (flag != "OI" && flag != "CI" && flag != "NP" && flag != "ID" && flag != "SA" && flag != "FA")
            return std::nullopt;
    }
    const std::optional<uint32_t> mask = ParseRights(fields[2]);
    if (!mask) return std::nullopt;
    rule.Mask = *mask;
    rule.Trustee = SidOfSddlAccount(fields[5]);
    if (rule.Trustee.empty()) return std::nullopt;
    return rule;
}

bool Trusted(const std::string& sid, const std::string& currentAccount) {
    return sid == kAdministrators || sid == kSystem || sid == kTrustedInstaller ||
           (!currentAccount.empty() && sid == currentAccount);
}

} // namespace

std::string SidOfSddlAccount(std::string_view account) {
    if (account.starts_with("S-")) {
        // "S-" and then digits and dashes.
        const bool plain = account.size() > 2 && std::all_of(account.begin() + 2, account.end(), [](char c) {
                               return (c >= '0' && c <= '9') || c == '-';
                           });
        return plain ? std::string(account) : std::string();
    }
    for (const TNamedSid& known : kWellKnownSids)
        if (!known.Alias.empty() && known.Alias == account) return std::string(known.Sid);
    return {};
}

std::optional<TObjectSecurity> ParseSecurityText(std::string_view sddl) {
    TObjectSecurity security;
    bool sawDacl = false;
    std::size_t at = 0;
    while (at < sddl.size()) {
        if (at + 2 > sddl.size() || sddl[at + 1] != ':') return std::nullopt;
        const char part = sddl[at];
        at += 2;
        // The part runs to the next "X:" that is not inside parentheses.
        std::size_t end = at;
        int depth = 0;
        while (end < sddl.size()) {
            const char c = sddl[end];
            if (c == '(') ++depth;
            if (c == ')') --depth;
            // No account, right or flag holds a colon: one after a part's letter starts the next part.
            if (depth == 0 && end + 1 < sddl.size() && sddl[end + 1] == ':' &&
                (c == 'O' || c == 'G' || c == 'D' || c == 'S'))
                break;
            ++end;
        }
        const std::string_view text = sddl.substr(at, end - at);
        at = end;
        if (part == 'O') {
            security.Owner = SidOfSddlAccount(text);
            if (security.Owner.empty()) return std::nullopt;
        } else if (part == 'D') {
            sawDacl = true;
            const std::size_t first = text.find('(');
            const std::string_view flags = text.substr(0, first);
            if (flags == "NO_ACCESS_CONTROL") continue;
            std::vector<TAccessRule> rules;
            for (std::size_t open = first; open != std::string_view::npos; open = text.find('(', open)) {
                const std::size_t close = text.find(')', open);
                if (close == std::string_view::npos) return std::nullopt;
                const std::optional<TAccessRule> rule = ParseAce(text.substr(open + 1, close - open - 1));
                if (!rule) return std::nullopt;
                rules.push_back(*rule);
                open = close + 1;
            }
            security.Dacl = std::move(rules);
        } else if (part != 'G' && part != 'S') {
            return std::nullopt;
        }
    }
    if (!sawDacl) return std::nullopt;
    return security;
}

std::string AccountName(const std::string& sid) {
    for (const TNamedSid& known : kWellKnownSids)
        if (known.Sid == sid) return std::string(known.Name);
    return sid.empty() ? std::string("an account that cannot be read") : sid;
}

std::string UntrustedChangeReason(const TObjectSecurity& security, const std::string& currentAccount,
                                  uint32_t rights) {
    if (!Trusted(security.Owner, currentAccount)) return "its owner is " + AccountName(security.Owner);
    if (!security.Dacl) return "it has no access list, which lets everybody change it";
    for (const TAccessRule& rule : *security.Dacl) {
        if (!rule.Allow || rule.InheritOnly || (rule.Mask & rights) == 0) continue;
        if (rule.Trustee == kCreatorOwner || rule.Trustee == kCreatorGroup) continue;
        if (rule.Trustee == kOwnerRights || Trusted(rule.Trustee, currentAccount)) continue;
        return AccountName(rule.Trustee) + " may change it";
    }
    return {};
}

std::optional<std::string> OthersMayChangeReason(const std::optional<TObjectSecurity>& security,
                                                 const std::string& currentAccount, uint32_t rights) {
    if (!security) return "its access list cannot be read";
    std::string reason = UntrustedChangeReason(*security, currentAccount, rights);
    if (reason.empty()) return std::nullopt;
    return reason;
}

} // namespace yar
