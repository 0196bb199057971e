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

} // namespace yar
