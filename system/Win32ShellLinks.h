// TShellLinks on the system's shell-link object (CLSID_ShellLink with IShellLinkA and IPersistFile).
// COM is started on the calling thread for each save, unless it runs there already.
#pragma once

#include "system/ShellLinks.h"

namespace yar {

class TWin32ShellLinks final : public TShellLinks {
public:
    // One object per save, released when it is done; the path goes to IPersistFile::Save as a wide
    // string converted from the ANSI code page.
    void Save(const TShellLink& link, const std::string& linkFile) override;
};

} // namespace yar
