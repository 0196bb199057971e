// The directory services of the run, natively and under Wine: making nested directories, cleaning the
// working directory, entering directories.
#include "system/FileServices.h"

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

TEST(WindowsDirectory, IsAFullPathOnADrive) {
    const std::string windows = WindowsDirectory();
    ASSERT_GT(windows.size(), 3u);
    EXPECT_EQ(windows[1], ':');
}
#endif

} // namespace
} // namespace yar
