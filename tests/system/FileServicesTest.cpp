// The directory services of the run, natively and under Wine: making nested directories, cleaning the
// working directory, entering directories.
#include "system/FileServices.h"

#include "system/AccessLists.h"
#include "system/Files.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace yar {
namespace {

namespace fs = std::filesystem;

class DirectoryServices : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // One directory per test: CTest runs the cases as parallel processes.
        Root = fs::temp_directory_path() / (std::string("yar-dirs-") + info->name());
        fs::remove_all(Root);
        fs::create_directories(Root);
        Dir = (Root / "work").string();
    }
    void TearDown() override {
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(Root, error))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(Root, error);
    }
    void Touch(const std::string& name) const { std::ofstream(fs::path(Dir) / name) << "x"; }

    fs::path Root;
    std::string Dir;
};

TEST_F(DirectoryServices, ForceDirectoriesMakesEveryMissingLevel) {
    const std::string deep = JoinPath(Dir, "a\\b\\c\\d");
    ForceDirectories(deep + "\\");
    EXPECT_TRUE(DirectoryExistsAt(deep));
    ForceDirectories(deep); // all there: nothing to do, no error
    EXPECT_TRUE(DirectoryExistsAt(deep));
}

TEST_F(DirectoryServices, ForceDirectoriesReportsAFileInTheWay) {
    fs::create_directories(Dir);
    Touch("file");
    EXPECT_THROW(ForceDirectories(JoinPath(Dir, "file\\below")), EInOutError);
}

TEST_F(DirectoryServices, CleaningRemovesFilesThenTheDirectory) {
    fs::create_directories(Dir);
    Touch("one.txt");
    Touch("two.dat");
    Touch(".hidden");
    CleanWorkDir(Dir);
    EXPECT_FALSE(fs::exists(Dir));
}

TEST_F(DirectoryServices, CleaningLeavesSubdirectoriesAndTheirParent) {
    fs::create_directories(fs::path(Dir) / "sub");
    Touch("one.txt");
    CleanWorkDir(Dir);
    EXPECT_FALSE(fs::exists(fs::path(Dir) / "one.txt"));
    EXPECT_TRUE(fs::exists(fs::path(Dir) / "sub"));
}

TEST_F(DirectoryServices, CleaningAMissingDirectoryIsNoError) {
    CleanWorkDir(JoinPath(Dir, "not-there"));
    EXPECT_TRUE(fs::exists(Root));
}

TEST_F(DirectoryServices, FileNamesListPlainFilesOnly) {
    fs::create_directories(fs::path(Dir) / "sub");
    Touch("one.txt");
    EXPECT_EQ(FileNamesIn(Dir), std::vector<std::string>{"one.txt"});
    EXPECT_TRUE(FileNamesIn(JoinPath(Dir, "not-there")).empty());
}

TEST_F(DirectoryServices, EnteringAMissingDirectoryCarriesTheSystemsText) {
    const std::string before = CurrentDirectory();
    try {
        EnterDirectory(JoinPath(Dir, "no\\such"));
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(e.ErrorCode(), 0);
        EXPECT_EQ(std::string(e.what()), SysErrorMessage(e.ErrorCode()));
    }
    EXPECT_EQ(CurrentDirectory(), before);
}

// A working copy moved from the run's private directory into a program directory is what a copy there
// would be: not read-only, written now, with the access of a file made there (on Windows the access list
// the directory hands down, not the private directory's; the host shows it as the file's mode). A name
// already in use is never taken: the caller copies instead.
TEST_F(DirectoryServices, AMovedFileIsWhatACopyThereWouldBe) {
    fs::create_directories(Dir);
    const std::string work = JoinPath(Dir, "private");
    ASSERT_TRUE(MakePrivateDirectory(work));
    const std::string dest = JoinPath(Dir, "program");
    MakeDirectoryWithAccess(dest, ProgramFolderAccess());
    const auto put = [](const std::string& path, const std::string& bytes) {
        TFileStream file(NativePath(path), fmCreate);
        file.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
        return SetFileDosDate(file, 0x14210000); // 1990-01-01, as an archive may give it
    };
    const std::string source = JoinPath(work, "app.exe");
    ASSERT_TRUE(put(source, "moved"));
    ASSERT_TRUE(ApplyFileAttributes(source, 0x01));
    ASSERT_TRUE(put(JoinPath(work, "copied.exe"), "copied"));
    const std::string copied = JoinPath(dest, "copied.exe");
    ASSERT_EQ(CopyFileAt(JoinPath(work, "copied.exe"), copied, true), crCopied);
    const auto started = fs::file_time_type::clock::now() - std::chrono::seconds(2);

    const std::string moved = JoinPath(dest, "app.exe");
    ASSERT_TRUE(MoveFileAsCopy(source, moved));
    EXPECT_FALSE(FileExistsAt(source));
    EXPECT_EQ(FileSizeAt(moved), 5);
    EXPECT_EQ(FileAttributesAt(moved), FileAttributesAt(copied));
#ifdef _WIN32
    // Exactly the entries its directory hands down, as a file made there gets them. (Wine gives a file it
    // makes its mode, not its directory's entries: a copy there shows Everyone as well.)
    const std::optional<TObjectSecurity> made = ObjectSecurityAt(moved), there = ObjectSecurityAt(dest);
    ASSERT_TRUE(made && there);
    EXPECT_EQ(made->Dacl, there->Dacl);
#else
    EXPECT_EQ(ObjectSecurityAt(moved), ObjectSecurityAt(copied));
#endif
    EXPECT_GE(fs::last_write_time(NativePath(moved)), started);

    const std::string other = JoinPath(work, "other.exe");
    ASSERT_TRUE(put(other, "other"));
    EXPECT_FALSE(MoveFileAsCopy(other, copied)) << "never onto a file that is there";
    EXPECT_TRUE(FileExistsAt(other));
    EXPECT_EQ(FileSizeAt(copied), 6);
    EXPECT_EQ(DriveKindOf(Dir), drFixed);
}

// Files moved one after another into directories of different access: each is given the list of its
// own directory, the later ones of a directory that same list, however the first was worked out.
TEST_F(DirectoryServices, MovedFilesTakeTheListOfTheirOwnDirectory) {
    fs::create_directories(Dir);
    const std::string work = JoinPath(Dir, "private");
    ASSERT_TRUE(MakePrivateDirectory(work));
    const std::string program = JoinPath(Dir, "program"), shared = JoinPath(Dir, "shared");
    MakeDirectoryWithAccess(program, ProgramFolderAccess());
    MakeDirectoryWithAccess(shared, "D:(A;OICI;FA;;;WD)");
    TInheritedAccess known;
    const auto move = [&](const std::string& name, const std::string& dir) {
        const std::string from = JoinPath(work, name);
        {
            TFileStream(NativePath(from), fmCreate)
                .WriteBuffer(name.data(), static_cast<int32_t>(name.size()));
        }
        EXPECT_TRUE(MoveFileAsCopy(from, JoinPath(dir, name), known)) << name;
        EXPECT_EQ(FileSizeAt(JoinPath(dir, name)), static_cast<int64_t>(name.size())) << name;
    };
    for (const char* name : {"a.exe", "b.dll", "c.txt"}) move(name, program);
    for (const char* name : {"d.exe", "e.dll"}) move(name, shared);
    move("f.exe", program);
#ifdef _WIN32
    const std::optional<TObjectSecurity> programList = ObjectSecurityAt(program),
                                         sharedList = ObjectSecurityAt(shared);
    ASSERT_TRUE(programList && sharedList);
    ASSERT_NE(programList->Dacl, sharedList->Dacl);
    for (const char* name : {"a.exe", "b.dll", "c.txt", "f.exe"}) {
        const std::optional<TObjectSecurity> made = ObjectSecurityAt(JoinPath(program, name));
        ASSERT_TRUE(made) << name;
        EXPECT_EQ(made->Dacl, programList->Dacl) << name;
    }
    for (const char* name : {"d.exe", "e.dll"}) {
        const std::optional<TObjectSecurity> made = ObjectSecurityAt(JoinPath(shared, name));
        ASSERT_TRUE(made) << name;
        EXPECT_EQ(made->Dacl, sharedList->Dacl) << name;
    }
    EXPECT_EQ(known.Lists.size(), 2u) << "one list worked out per directory";
#else
    EXPECT_TRUE(known.Lists.empty());
#endif
}

TEST_F(DirectoryServices, AMovedFileIsNeverPutOverAnother) {
    fs::create_directories(Dir);
    const std::string work = JoinPath(Dir, "private");
    ASSERT_TRUE(MakePrivateDirectory(work));
    const std::string dest = JoinPath(Dir, "program");
    MakeDirectoryWithAccess(dest, ProgramFolderAccess());
    const std::string other = JoinPath(work, "other.exe"), copied = JoinPath(dest, "copied.exe");
    { TFileStream(NativePath(other), fmCreate).WriteBuffer("other", 5); }
    { TFileStream(NativePath(copied), fmCreate).WriteBuffer("copied", 6); }
    TInheritedAccess known;
    EXPECT_FALSE(MoveFileAsCopy(other, copied, known)) << "never onto a file that is there";
    EXPECT_TRUE(FileExistsAt(other));
    EXPECT_EQ(FileSizeAt(copied), 6);
    EXPECT_EQ(DriveKindOf(Dir), drFixed);
}

// The journal's appender: lines after what the file held, each ended by CR LF, the file held open and
// shared with nobody between them; a line it cannot write is refused, and the next opens the file afresh.
TEST_F(DirectoryServices, AnAppenderHoldsItsFileAndAddsEachLine) {
    const std::string path = JoinPath(Dir, "journal.txt");
    std::unique_ptr<TLineAppender> appender = FileLineAppender(path);
    EXPECT_FALSE(appender->Append("lost")) << "no directory yet";
    fs::create_directories(Dir);
    std::ofstream(NativePath(path), std::ios::binary) << "old\r\n";
    EXPECT_TRUE(appender->Append("one\ttab"));
    EXPECT_TRUE(appender->Append(""));
    EXPECT_TRUE(appender->Append("three"));
#ifdef _WIN32
    EXPECT_FALSE(RemoveFileAt(path)) << "held with no sharing";
    EXPECT_FALSE(ReadBytesAt(path));
#endif
    const std::unique_ptr<TLineAppender> second = FileLineAppender(path);
#ifdef _WIN32
    EXPECT_FALSE(second->Append("elsewhere")) << "nobody else appends meanwhile";
#endif
    appender.reset();
    EXPECT_EQ(ReadBytesAt(path), "old\r\none\ttab\r\n\r\nthree\r\n");
}

TEST_F(DirectoryServices, WhatAnAppenderWroteIsThereOnceItGoes) {
    fs::create_directories(Dir);
    const std::string path = JoinPath(Dir, "journal.txt");
    {
        const std::unique_ptr<TLineAppender> appender = FileLineAppender(path);
        ASSERT_TRUE(appender->Append("first"));
        ASSERT_TRUE(appender->Append("second"));
    }
    EXPECT_EQ(ReadBytesAt(path), "first\r\nsecond\r\n");
    ASSERT_TRUE(FileLineAppender(path)->Append("third"));
    EXPECT_EQ(ReadBytesAt(path), "first\r\nsecond\r\nthird\r\n");
    EXPECT_TRUE(RemoveFileAt(path));
}

#ifdef _WIN32
TEST_F(DirectoryServices, ReadOnlyFilesSurviveCleaning) {
    fs::create_directories(Dir);
    Touch("locked.txt");
    ASSERT_TRUE(ApplyFileAttributes(JoinPath(Dir, "locked.txt"), 0x01));
    CleanWorkDir(Dir);
    EXPECT_TRUE(fs::exists(fs::path(Dir) / "locked.txt"));
    ApplyFileAttributes(JoinPath(Dir, "locked.txt"), 0);
}

// The run's working directory: new every time, never a name that was there, whatever was put there.
TEST_F(DirectoryServices, APrivateDirectoryIsNewAndUnpredictable) {
    const std::string one = CreatePrivateDirectory(Root.string(), "yar-");
    const std::string two = CreatePrivateDirectory(Root.string(), "yar-");
    EXPECT_NE(one, two);
    for (const std::string& dir : {one, two}) {
        EXPECT_TRUE(DirectoryExistsAt(dir));
        const std::string name = ExtractFileName(dir);
        ASSERT_EQ(name.size(), 4 + kPrivateNameLetters) << name;
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz234567", 4), std::string::npos) << name;
        EXPECT_TRUE(FileNamesIn(dir).empty());
    }
    EXPECT_THROW(CreatePrivateDirectory("", "yar-"), EInOutError);
    EXPECT_THROW(CreatePrivateDirectory(JoinPath(Dir, "missing"), "yar-"), EInOutError);
}

TEST_F(DirectoryServices, APrivateDirectoryIsNeverOneThatWasThere) {
    fs::create_directories(Dir);
    Touch("planted.exe");
    EXPECT_FALSE(MakePrivateDirectory(Dir)) << "an existing directory is not taken";
    EXPECT_TRUE(fs::exists(fs::path(Dir) / "planted.exe"));
    EXPECT_FALSE(MakePrivateDirectory(JoinPath(Dir, "planted.exe"))) << "nor the name of a file";
#ifndef _WIN32
    fs::create_directory_symlink(Dir, Root / "link");
    EXPECT_FALSE(MakePrivateDirectory((Root / "link").string())) << "nor a link";
    fs::create_symlink(Root / "nowhere", Root / "dangling");
    EXPECT_FALSE(MakePrivateDirectory((Root / "dangling").string())) << "nor a link to nothing";
    EXPECT_FALSE(fs::exists(Root / "nowhere"));
#endif
}

TEST(PrivateDirectoryNames, EachByteGivesOneOfThirtyTwoLettersAndDigits) {
    EXPECT_EQ(PrivateDirectoryName("yar-", std::string("\x00\x01\x1f\x20\xff", 5)), "yar-ab7a7");
    EXPECT_EQ(PrivateDirectoryName("x", ""), "x");
}

// The text of each access list; Windows makes the descriptor of a new directory from it.
TEST(AccessLists, ProtectedListsGrantEveryEntryToAllBelow) {
    EXPECT_EQ(AdministratorsOnlyAccess(), "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");
    EXPECT_EQ(ProgramFolderAccess(), "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)");
}

// A directory above the destination matters only through the rights to move away or replace what it
// holds: the root lets users add folders, which replaces nothing; Modify below it includes delete.
TEST(AccessLists, ADirectoryAboveIsJudgedByTheRightsToReplaceWhatItHolds) {
    const std::string me = "S-1-5-21-1-2-3-1001";
    const auto reason = [&](const char* sddl, uint32_t rights) {
        const std::optional<TObjectSecurity> security = ParseSecurityText(sddl);
        EXPECT_TRUE(security.has_value()) << sddl;
        return security ? UntrustedChangeReason(*security, me, rights) : std::string("unreadable");
    };
    const char* root = "O:BAD:(A;OICI;FA;;;BA)(A;;0x4;;;BU)";
    EXPECT_EQ(reason(root, kChangeRights), "Users may change it");
    EXPECT_EQ(reason(root, kReplaceChildRights), "");
    const char* belowRoot = "O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;AU)";
    EXPECT_EQ(reason(belowRoot, kReplaceChildRights), reason(belowRoot, kChangeRights));
    EXPECT_NE(reason(belowRoot, kReplaceChildRights), "");
}

#ifndef _WIN32
TEST_F(DirectoryServices, OthersMayChangeReadsTheHostsPermissionsAsWineDoes) {
    fs::create_directories(Dir);
    for (const auto& [mode, rights, expected] :
         std::vector<std::tuple<mode_t, uint32_t, std::optional<std::string>>>{
             {0755, kChangeRights, std::nullopt},
             {0777, kChangeRights, "Everyone may change it"},
             {0777, kReplaceChildRights, "Everyone may change it"}}) {
        ASSERT_EQ(chmod(Dir.c_str(), mode), 0);
        EXPECT_EQ(OthersMayChange(Dir, rights), expected) << std::oct << mode;
    }
    EXPECT_EQ(OthersMayChange(JoinPath(Dir, "missing"), kChangeRights), "its access list cannot be read");
}
#else
// Wine keeps only part of a descriptor, but what it keeps of the program folder's list lets no other
// account in; a real Windows also drops the parent's entries (the list is protected).
TEST_F(DirectoryServices, ADirectoryMadeWithTheProgramFolderListKeepsOthersOut) {
    fs::create_directories(Dir);
    const std::string made = JoinPath(Dir, "program");
    MakeDirectoryWithAccess(made, ProgramFolderAccess());
    EXPECT_TRUE(DirectoryExistsAt(made));
    EXPECT_EQ(OthersMayChange(made, kChangeRights), std::nullopt);
    EXPECT_THROW(MakeDirectoryWithAccess(made, ProgramFolderAccess()), EInOutError)
        << "never one that exists";
}

// A directory another account opened to everyone: the list the system reports names them.
TEST_F(DirectoryServices, ADirectoryEveryoneMayChangeIsNamed) {
    fs::create_directories(Dir);
    const std::string shared = JoinPath(Dir, "shared");
    MakeDirectory(shared);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        ProtectedAccessList({{"BA", "FA"}, {"WD", "FA"}}).c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    PACL list = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted));
    std::string path = shared;
    EXPECT_EQ(SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    list, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
    EXPECT_EQ(OthersMayChange(shared, kChangeRights), "Everyone may change it");
    EXPECT_EQ(OthersMayChange(JoinPath(Dir, "missing"), kChangeRights), "its access list cannot be read");
}
#endif

TEST(WindowsDirectory, IsAFullPathOnADrive) {
    const std::string windows = WindowsDirectory();
    ASSERT_GT(windows.size(), 3u);
    EXPECT_EQ(windows[1], ':');
}
#endif

} // namespace
} // namespace yar
