// The uninstaller's window as a screen reader reads it under Wine: the bar it paints is a progress bar
// named by the line above it, whose value follows the removal.
#include "uninstall/UninstallWindow.h"

#include "tests/toolkit/AccessibleReading.h"

#include "toolkit/Application.h"

#include <ole2.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace yar {
namespace {

// The parts of the window's client area that have no window: role, name and value of each.
std::vector<std::string> Parts(HWND window) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&acc))))
        return {};
    long count = 0;
    acc->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long obtained = 0;
    AccessibleChildren(acc, 0, count, children.data(), &obtained);
    std::vector<std::string> parts;
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_I4) {
            VARIANT role;
            VariantInit(&role);
            acc->get_accRole(child, &role);
            BSTR name = nullptr;
            BSTR value = nullptr;
            if (acc->get_accName(child, &name) != S_OK) name = nullptr;
            if (acc->get_accValue(child, &value) != S_OK) value = nullptr;
            parts.push_back(std::to_string(role.lVal) + " " + TakeBstrText(name) + " " + TakeBstrText(value));
        }
        VariantClear(&child);
    }
    acc->Release();
    return parts;
}

TEST(UninstallWindow, TheBarIsAProgressBarNamedByTheTitleLine) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        TUninstallForm form("Acme Tools");
        form.Show();
        form.Begin(4);
        const std::string bar = std::to_string(ROLE_SYSTEM_PROGRESSBAR) + " Removing Acme Tools ";
        EXPECT_EQ(Parts(form.GaugePanel.Handle()), std::vector<std::string>{bar + "0%"});
        form.Step("C:\\Acme\\a.txt");
        form.Step("C:\\Acme\\b.txt");
        EXPECT_EQ(Parts(form.GaugePanel.Handle()), std::vector<std::string>{bar + "50%"});
        const std::string text = std::to_string(ROLE_SYSTEM_STATICTEXT);
        EXPECT_EQ(Parts(form.Handle()),
                  (std::vector<std::string>{text + " Removing Acme Tools ", text + " C:\\Acme\\b.txt "}));
        form.Hide();
    }
    CoUninitialize();
}

} // namespace
} // namespace yar
