// The access lists the programs give the directories they create where other accounts could reach them,
// in the system's security descriptor text (SDDL). Built here from one description, so that the text is
// tested natively; on Windows the same text becomes the descriptor the directory is created with.
#pragma once

#include <initializer_list>
#include <string>

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

} // namespace yar
