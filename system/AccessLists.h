// The access lists the programs give the directories they create where other accounts could reach them,
// in the system's security descriptor text (SDDL). Built here from one description, so that the text is
// tested natively; on Windows the same text becomes the descriptor the directory is created with.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

struct TAccessEntry {
    const char* Trustee; // an SDDL account alias: BA Administrators, SY SYSTEM, BU Users
    const char* Rights;  // FA full control, or a mask such as 0x1200a9 (read and execute)
};

// A protected access list (nothing inherited from the parent) that grants each entry to the directory
// and, by inheritance, to every file and directory below it.
std::string ProtectedAccessList(std::initializer_list<TAccessEntry> entries);

// Administrators and SYSTEM alone: the working directory of an elevated run.
std::string AdministratorsOnlyAccess();
// As the system's program folders: Administrators and SYSTEM full control, Users read and execute.
std::string ProgramFolderAccess();

// The other way: who may change a file or directory that exists, judged from what the system says of
// it, so that the judgement is tested natively and the Windows side only reads the descriptor.

// One entry of a discretionary access list.
struct TAccessRule {
    bool Allow = true;        // false: the entry denies
    bool InheritOnly = false; // applies only to what is created below, not to the object itself
    uint32_t Mask = 0;        // the rights as the entry holds them, generic bits included
    std::string Trustee;      // the account's SID ("S-1-5-32-544"); empty when it could not be read

    bool operator==(const TAccessRule&) const = default;
};

// The owner and the discretionary access list of a file or directory.
struct TObjectSecurity {
    std::string Owner; // the owner's SID
    // Nothing: the object has no list at all, which lets everybody do anything.
    std::optional<std::vector<TAccessRule>> Dacl;

    bool operator==(const TObjectSecurity&) const = default;
};

// Rights with which an account could change an object or its protection: write or append data (add a
// file or a subdirectory), write extended attributes or attributes, delete a child, delete, change the
// access list or the owner, and the generic rights that hold any of them.
inline constexpr uint32_t kChangeRights = 0x00000002 | 0x00000004 | 0x00000010 | 0x00000040 | 0x00000100 |
                                          0x00010000 | 0x00040000 | 0x00080000 | 0x02000000 | 0x10000000 |
                                          0x40000000;

// Rights over a directory above that let their holder move away or replace what lies below it: delete a
// child, delete or rename the directory itself, rewrite its list or take it. Adding new names is harmless.
inline constexpr uint32_t kReplaceChildRights = 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x10000000;

// The SID of an SDDL account alias ("BA" is "S-1-5-32-544"), a SID written out as it is ("S-1-..."), or
// empty for an alias not known here (the domain's own: "DA", "LA" ...).
std::string SidOfSddlAccount(std::string_view account);
// The owner ("O:") and discretionary list ("D:") of a descriptor's SDDL text; its group and system
// list are skipped. Nothing when the text cannot be read, or an entry is of a kind not known here.
std::optional<TObjectSecurity> ParseSecurityText(std::string_view sddl);
// An account's usual name ("Everyone", "Users" ...) for the well-known SIDs, else the SID itself.
std::string AccountName(const std::string& sid);

// Why the object could be changed by an account other than Administrators, SYSTEM, TrustedInstaller and
// currentAccount (the account that asks); empty when it could not. Judged: the owner (who may always
// change the list) must be one of those; no entry that applies to the object itself may allow another
// account a change right (kChangeRights). Denying entries are not counted: whether they come first is not
// checked, so they never make a list trusted. CREATOR OWNER and CREATOR GROUP entries match no account; an
// OWNER RIGHTS entry is the owner's. No list at all lets everybody change the object.
// rights: what counts as a change; for a directory above, kReplaceChildRights.
std::string UntrustedChangeReason(const TObjectSecurity& security, const std::string& currentAccount,
                                  uint32_t rights = kChangeRights);
// The same for security that may not have been readable, as an answer to "may others change it?": the
// reason, "its access list cannot be read" when there was nothing to judge, nothing when none may.
std::optional<std::string> OthersMayChangeReason(const std::optional<TObjectSecurity>& security,
                                                 const std::string& currentAccount, uint32_t rights);

} // namespace yar
