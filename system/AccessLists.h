// The access lists the programs give the directories they create where other accounts could reach them,
// in the system's security descriptor text (SDDL). Built here from one description, so that the text is
// tested natively; on Windows the same text becomes the descriptor the directory is created with.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
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

// Rights that let their holder change a file, or what a directory holds: write or add, delete, rename,
// rewrite the access list or take ownership (and the generic rights that include them).
inline constexpr uint32_t kChangeContentRights =
    0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;
// Rights over a directory above that let their holder move away or replace what lies below it: delete a
// child, delete or rename the directory itself, rewrite its list or take it. Adding new names is harmless.
inline constexpr uint32_t kReplaceChildRights = 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x10000000;

// One entry of an access list that grants rights, as the system reports it: the trustee's SID in text.
struct TAllowEntry {
    std::string Sid;
    uint32_t Mask = 0;
    bool InheritOnly = false; // passed on to what is created below, without effect on the object itself
};

// What decides who may change a file or directory: its owner (who may always rewrite the list) and the
// entries that grant rights. No list at all grants everything to everyone.
struct TAccessFacts {
    std::string OwnerSid;
    bool HasList = true;
    std::vector<TAllowEntry> Allowed;
};

inline constexpr const char* kEveryoneSid = "S-1-1-0";

// The first account other than Administrators, SYSTEM, TrustedInstaller and runningAccount (the SID of
// the account the program runs as) that owns the object or holds one of rights over it; nothing when
// there is none. Denying entries are not weighed against it: what is granted may still be reachable
// through a group, so the judgement fails closed.
std::optional<std::string> UntrustedWriter(const TAccessFacts& facts, uint32_t rights,
                                           const std::string& runningAccount);

} // namespace yar
