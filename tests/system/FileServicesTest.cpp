// The directory services of the run, natively and under Wine: making nested directories, cleaning the
// working directory, entering directories.
#include "system/FileServices.h"

#include "system/AccessLists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(WindowsDirectory, IsAFullPathOnADrive) {
    const std::string windows = WindowsDirectory();
    ASSERT_GT(windows.size(), 3u);
    EXPECT_EQ(windows[1], ':');
}
#endif

} // namespace
} // namespace yar
