// Shortcuts through the system's shell-link object: the saved file is a shell link that the shell
// reads back with the path, working directory and icon it was given; without COM the object is
// missing and the save raises.
#include "system/Win32ShellLinks.h"
#include "system/ComScope.h"

#include "SystemTestSupport.h"
#include "system/FileServices.h"

#include <gtest/gtest.h>

#include <array>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

namespace yar {
namespace {

using test::GetBytes;
using test::PutBytes;
using test::TTestDir;

// A link as the shell reads it back from its file.
std::optional<TShellLink> LoadLink(const std::string& linkFile) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return std::nullopt;
    IPersistFile* file = nullptr;
    std::optional<TShellLink> result;
    std::array<wchar_t, MAX_PATH> wide{};
    MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide.data(), MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide.data(), STGM_READ))) {
        std::array<char, MAX_PATH> path{}, dir{}, icon{};
        int index = -1;
        link->GetPath(path.data(), MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(dir.data(), MAX_PATH);
        link->GetIconLocation(icon.data(), MAX_PATH, &index);
        result = TShellLink{path.data(), dir.data(), icon.data(), index};
    }
    if (file) file->Release();
    link->Release();
    return result;
}

// A save made on a Win32 thread of its own (the programs' thread model has no std::thread).
struct TSaveAttempt {
    TWin32ShellLinks& Links;
    TShellLink Link;
    std::string LinkFile;
    bool Raised;
    bool ComLeftRunning = false;
};

DWORD WINAPI SaveOnItsOwnThread(void* parameter) {
    auto& attempt = *static_cast<TSaveAttempt*>(parameter);
    try {
        attempt.Links.Save(attempt.Link, attempt.LinkFile);
    } catch (const EShellLinkError&) {
        attempt.Raised = true;
    }
    // S_FALSE: COM was still running on the thread after the save.
    const HRESULT again = CoInitialize(nullptr);
    attempt.ComLeftRunning = again == S_FALSE;
    if (SUCCEEDED(again)) CoUninitialize();
    return 0;
}

class Win32ShellLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ForceDirectories(Dir / "Acme");
        PutBytes(Dir / "Acme\\app.exe", "MZ");
        PutBytes(Dir / "Acme\\app.ico", "ico");
        ForceDirectories(Dir / "Programs\\Acme");
    }

    TComScope Com;
    TTestDir Dir{"yar-shelllinks"};
    TWin32ShellLinks Links;
};

TEST_F(Win32ShellLinks, TheSavedFileIsAShellLink) {
    ASSERT_TRUE(Com.Initialized());
    const std::string linkFile = Dir / "Programs\\Acme\\Acme App.lnk";
    Links.Save({Dir / "Acme\\app.exe", Dir / "Acme\\", Dir / "Acme\\app.ico", 0}, linkFile);
    const auto bytes = GetBytes(linkFile);
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 8u);
    EXPECT_EQ(bytes->substr(0, 8), std::string("\x4C\x00\x00\x00\x01\x14\x02\x00", 8));
}

TEST_F(Win32ShellLinks, TheShellReadsBackWhatWasGiven) {
    const TShellLink saved{Dir / "Acme\\app.exe", Dir / "Acme\\", Dir / "Acme\\app.ico", 0};
    Links.Save(saved, Dir / "Programs\\Acme\\App.lnk");
    EXPECT_EQ(LoadLink(Dir / "Programs\\Acme\\App.lnk"), saved);
    // The program's own icon, another index, saved over the first link.
    const TShellLink tool{Dir / "Acme\\app.exe", Dir / "Acme\\", Dir / "Acme\\app.exe", 3};
    Links.Save(tool, Dir / "Programs\\Acme\\App.lnk");
    EXPECT_EQ(LoadLink(Dir / "Programs\\Acme\\App.lnk"), tool);
}

TEST_F(Win32ShellLinks, AFolderThatIsNotThereIsNoError) {
    const std::string linkFile = Dir / "Missing Folder\\App.lnk";
    EXPECT_NO_THROW(Links.Save({Dir / "Acme\\app.exe", Dir / "Acme\\", Dir / "Acme\\app.ico", 0}, linkFile));
    EXPECT_FALSE(FileExistsAt(linkFile));
}

TEST_F(Win32ShellLinks, AThreadWithoutComSavesThroughComStartedForTheSaveAlone) {
    // A thread of its own has not initialised COM: the save starts it, and ends it again.
    TSaveAttempt attempt{
        Links, {Dir / "Acme\\app.exe", Dir / "Acme\\", Dir / "Acme\\app.ico", 0}, Dir / "App.lnk", false};
    const HANDLE thread = CreateThread(nullptr, 0, SaveOnItsOwnThread, &attempt, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(attempt.Raised);
    EXPECT_FALSE(attempt.ComLeftRunning);
    EXPECT_EQ(LoadLink(Dir / "App.lnk"), attempt.Link);
}

TEST_F(Win32ShellLinks, ComScopesNest) {
    ASSERT_TRUE(Com.Initialized());
    {
        const TComScope inner;
        EXPECT_TRUE(inner.Initialized());
    }
    // The outer scope still holds COM.
    Links.Save({Dir / "Acme\\app.exe", Dir / "Acme\\", Dir / "Acme\\app.ico", 0}, Dir / "Nested.lnk");
    EXPECT_TRUE(FileExistsAt(Dir / "Nested.lnk"));
}

} // namespace
} // namespace yar
