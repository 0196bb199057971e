#include "system/DesktopShell.h"

#include "system/ComScope.h"

#include <windows.h>

#include <exdisp.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace yar {

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T> class TComRef {
public:
    TComRef() = default;
    ~TComRef() {
        if (FPointer != nullptr) FPointer->Release();
    }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;

    T* operator->() const { return FPointer; }
    T* Get() const { return FPointer; }
    T** Out() { return &FPointer; }
    void** OutVoid() { return reinterpret_cast<void**>(&FPointer); }

private:
    T* FPointer = nullptr;
};

// A string VARIANT that frees its text.
class TVariantText {
public:
    explicit TVariantText(const std::string& text) {
        VariantInit(&FValue);
        const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
        FValue.vt = VT_BSTR;
        FValue.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(length > 0 ? length - 1 : 0));
        if (FValue.bstrVal != nullptr && length > 0)
            MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, FValue.bstrVal, length);
    }
    ~TVariantText() { VariantClear(&FValue); }
    TVariantText(const TVariantText&) = delete;
    TVariantText& operator=(const TVariantText&) = delete;

    bool Valid() const { return FValue.bstrVal != nullptr; }
    BSTR Text() const { return FValue.bstrVal; }
    const VARIANT& Value() const { return FValue; }

private:
    VARIANT FValue;
};

// The desktop's folder view, through the shell's list of its windows: its Application object is the
// shell of the desktop's process.
bool DesktopShellDispatch(TComRef<IShellDispatch2>& shell) {
    TComRef<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.OutVoid())))
        return false;
    VARIANT location;
    VariantInit(&location);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT empty;
    VariantInit(&empty);
    long window = 0;
    TComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Out()) !=
            S_OK ||
        desktop.Get() == nullptr)
        return false;
    TComRef<IServiceProvider> services;
    TComRef<IShellBrowser> browser;
    TComRef<IShellView> view;
    TComRef<IDispatch> background;
    TComRef<IShellFolderViewDual> folderView;
    TComRef<IDispatch> application;
    return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.OutVoid())) &&
           SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.Out())) &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid())) &&
           SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid())) &&
           SUCCEEDED(folderView->get_Application(application.Out())) &&
           SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, shell.OutVoid()));
}

} // namespace

bool OpenThroughDesktopShell(const std::string& file, const std::string& parameters,
                             const std::string& directory, int showMode) {
    const TComScope com; // released after the objects, declared before them
    TComRef<IShellDispatch2> shell;
    if (!DesktopShellDispatch(shell)) return false;
    const TVariantText name(file), arguments(parameters), folder(directory), verb("");
    if (!name.Valid() || !arguments.Valid() || !folder.Valid() || !verb.Valid()) return false;
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = showMode;
    return SUCCEEDED(shell->ShellExecute(name.Text(), arguments.Value(), folder.Value(), verb.Value(), show));
}

} // namespace yar
