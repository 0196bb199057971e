#include "system/Win32ShellLinks.h"

#include "system/CodePages.h"
#include "system/ComScope.h"
#include "util/NumberText.h"

#include <memory>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

namespace yar {

namespace {

struct TRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T> using TComPtr = std::unique_ptr<T, TRelease>;

[[noreturn]] void Fail(const char* what, HRESULT result) {
    throw EShellLinkError(std::string(what) + " (HRESULT $" +
                          HexText(static_cast<uint32_t>(result), 8, lcUpper) + ")");
}

} // namespace

void TWin32ShellLinks::Save(const TShellLink& link, const std::string& linkFile) {
    const TComScope com; // released after the objects, declared before them
    IShellLinkA* rawLink = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&rawLink));
    if (FAILED(result) || rawLink == nullptr) Fail("Cannot create the shell link object", result);
    const TComPtr<IShellLinkA> shellLink(rawLink);
    IPersistFile* rawFile = nullptr;
    result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile));
    if (FAILED(result) || rawFile == nullptr) Fail("The shell link object has no IPersistFile", result);
    const TComPtr<IPersistFile> persistFile(rawFile);

    // The results are not examined: a link that cannot be written is no reason to stop.
    shellLink->SetPath(link.Path.c_str());
    shellLink->SetWorkingDirectory(link.WorkingDirectory.c_str());
    shellLink->SetIconLocation(link.IconLocation.c_str(), link.IconIndex);
    persistFile->Save(WideFromAnsi(linkFile).c_str(), FALSE);
}

} // namespace yar
