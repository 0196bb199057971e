#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/ProfileReader.h"
#include "config/SetupConfig.h"

namespace yar {
namespace {

using Lines = std::vector<std::string>;

SetupConfig LoadText(std::string_view text) {
    SetupConfig config;
    LoadSetupConfig(*TProfileReader::FromText(text), config);
    return config;
}

void ExpectDefaults(const SetupConfig& c) {
    EXPECT_EQ(c.InstallDisks, 0);
    EXPECT_EQ(c.Folder, "Accessories");
    EXPECT_TRUE(c.ShowWarningScreen);
    EXPECT_TRUE(c.ShowReBoot);
    EXPECT_TRUE(c.AlignLeft);
    EXPECT_EQ(c.DitherFrom, 16711680);
    EXPECT_EQ(c.DitherTo, 0);
    EXPECT_EQ(c.Header, "YAR - Tarnwick 32Bit");
    EXPECT_EQ(c.Header2, kBuiltInHeader2);
    EXPECT_EQ(c.HeaderFontSize, 26);
    EXPECT_EQ(c.Header2FontName, "Times New Roman");
    EXPECT_EQ(c.Header2FontShadow, 16777215);
    for (const Lines* list : {&c.DirectoryEntries, &c.FileEntries, &c.DesktopEntries, &c.IniSetupEntries,
                              &c.WorkStationEntries, &c.AutoexecLines})
        EXPECT_TRUE(list->empty());
}

TEST(LoadSetupConfig, NoFileGivesTheDefaults) {
    const auto dir = std::filesystem::temp_directory_path() / "yar_config_test_empty";
    std::filesystem::create_directories(dir);
    SetupConfig config;
    config.Header = "left over";
    config.FileEntries = {"stale"};
    LoadSetupConfig(dir.string() + "/", config);
    ExpectDefaults(config);
    std::filesystem::remove_all(dir);
}

TEST(LoadSetupConfig, ReadsInstallCfgInTheStartDirectory) {
    const auto dir = std::filesystem::temp_directory_path() / "yar_config_test_file";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "install.cfg", std::ios::binary) << "[Setup - Main]\r\nHeader=Product 7\r\n"
                                                            "[Files]\r\nf1=a.exe~<INSTALLDIR>\r\n";
    SetupConfig config;
    LoadSetupConfig(dir.string() + "/", config);
    EXPECT_EQ(config.Header, "Product 7");
    EXPECT_EQ(config.FileEntries, (Lines{"a.exe~<INSTALLDIR>~"}));
    std::filesystem::remove_all(dir);
}

TEST(LoadSetupConfig, EveryMainKey) {
    const SetupConfig c =
        LoadText("[SETUP - MAIN]\n"
                 "Install Disks=3\nInstall Dir=Yar\nLaunch=<INSTALLDIR>yar.exe,/x\n"
                 "Folder=\nAdd to Program Files=1\nShow Warning Screen=0\n"
                 "Show Re-Boot=0\nWork Station Prompt=1\nBitmap File=logo.gif\n"
                 "Align Center=1\nAlign Left=0\nAlign Right=1\nDither From=$FF\n"
                 "Dither To=0x00FF0000\nHeader=H1\nHeader Font Name=Arial\n"
                 "Header Font Size=30\nHeader Font Color=255\nHeader Font Shadow=-2147483643\n"
                 "Header2=H2\nHeader2 Font Name=Courier\nHeader2 Font Size=9\n"
                 "Header2 Font Color=$FFFFFF\nHeader2 Font Shadow=0\n");
    EXPECT_EQ(c.InstallDisks, 3);
    EXPECT_EQ(c.InstallDir, "Yar");
    EXPECT_EQ(c.Launch, "<INSTALLDIR>yar.exe,/x");
    EXPECT_EQ(c.Folder, ""); // present but empty is not the default
    EXPECT_TRUE(c.AddToProgramFiles);
    EXPECT_FALSE(c.ShowWarningScreen);
    EXPECT_FALSE(c.ShowReBoot);
    EXPECT_TRUE(c.WorkStationPrompt);
    EXPECT_EQ(c.BitmapFile, "logo.gif");
    EXPECT_TRUE(c.AlignCenter);
    EXPECT_FALSE(c.AlignLeft);
    EXPECT_TRUE(c.AlignRight);
    EXPECT_EQ(c.DitherFrom, 255);
    EXPECT_EQ(c.DitherTo, 16711680);
    EXPECT_EQ(c.Header, "H1");
    EXPECT_EQ(c.HeaderFontName, "Arial");
    EXPECT_EQ(c.HeaderFontSize, 30);
    EXPECT_EQ(c.HeaderFontColor, 255);
    EXPECT_EQ(c.HeaderFontShadow, static_cast<int32_t>(0x80000005u)); // a system colour
    EXPECT_EQ(c.Header2, "H2");
    EXPECT_EQ(c.Header2FontName, "Courier");
    EXPECT_EQ(c.Header2FontSize, 9);
    EXPECT_EQ(c.Header2FontColor, 16777215);
    EXPECT_EQ(c.Header2FontShadow, 0);
}

TEST(LoadSetupConfig, NumbersThatDoNotConvertKeepTheirDefaults) {
    EXPECT_EQ(LoadText("[Setup - Main]\nDither From=0xFF00\n").DitherFrom, 65280);
    EXPECT_EQ(LoadText("[Setup - Main]\nDither From=$FF00\n").DitherFrom, 65280);
    EXPECT_EQ(LoadText("[Setup - Main]\nDither From=0x\n").DitherFrom, 16711680);
    EXPECT_TRUE(LoadText("[Setup - Main]\nShow Warning Screen=2\n").ShowWarningScreen);
    EXPECT_TRUE(LoadText("[Setup - Main]\nShow Warning Screen=no\n").ShowWarningScreen);
    EXPECT_FALSE(LoadText("[Setup - Main]\nShow Warning Screen=0\n").ShowWarningScreen);
    EXPECT_EQ(LoadText("[Setup - Main]\nHeader Font Size=big\n").HeaderFontSize, 26);
    EXPECT_EQ(LoadText("[Setup - Main]\nInstall Disks=\n").InstallDisks, 0);
}

TEST(LoadSetupConfig, ListSectionsInFileOrder) {
    const SetupConfig c = LoadText("[Directories]\nz=<INSTALLDIR>~Yar\na=<SUB><INSTALLDIR>~Data\n"
                                   "[Desktop]\nd1=Yar~<INSTALLDIR>yar.exe~X~X~<INSTALLDIR>yar.ico~Yar\n"
                                   "[INI - Setup]\ni1=<WINDOWS>win.ini~Yar~Path~<INSTALLDIR>\n"
                                   "[WorkStation]\nw1=yar.dll~<INSTALLDIR>\nw2=yar.ini~<WINDOWS>~X\n");
    EXPECT_EQ(c.DirectoryEntries, (Lines{"<INSTALLDIR>~Yar", "<SUB><INSTALLDIR>~Data"}));
    EXPECT_EQ(c.DesktopEntries, (Lines{"Yar~<INSTALLDIR>yar.exe~X~X~<INSTALLDIR>yar.ico~Yar"}));
    EXPECT_EQ(c.IniSetupEntries, (Lines{"<WINDOWS>win.ini~Yar~Path~<INSTALLDIR>"}));
    // Workstation entries get no overwrite mark appended.
    EXPECT_EQ(c.WorkStationEntries, (Lines{"yar.dll~<INSTALLDIR>", "yar.ini~<WINDOWS>~X"}));
}

TEST(LoadSetupConfig, DuplicateListKeysRepeatTheFirstValue) {
    EXPECT_EQ(LoadText("[Directories]\nd=<INSTALLDIR>~A\nD=<WINDOWS>~B\n").DirectoryEntries,
              (Lines{"<INSTALLDIR>~A", "<INSTALLDIR>~A"}));
}

TEST(LoadSetupConfig, OverWriteMarksFollowTheFilePosition) {
    const SetupConfig c =
        LoadText("[Files]\nf1=a.exe~<INSTALLDIR>\nf2=b.dll~<WINDOWS_SYSTEM>\nf3=c.txt~<INSTALLDIR>\n"
                 "[Files - OverWrite]\nFile #1=1\nFile #5=1\n");
    EXPECT_EQ(c.FileEntries,
              (Lines{"a.exe~<INSTALLDIR>~", "b.dll~<WINDOWS_SYSTEM>~X", "c.txt~<INSTALLDIR>~"}));
    const SetupConfig d = LoadText("[Files]\nf1=a~<INSTALLDIR>\nf2=b~<INSTALLDIR>\n"
                                   "[Files - OverWrite]\nfile #0=yes\nFile #01=1\n");
    EXPECT_EQ(d.FileEntries, (Lines{"a~<INSTALLDIR>~", "b~<INSTALLDIR>~"}));
    const SetupConfig e = LoadText("[Files]\nf1=a~<INSTALLDIR>\n[Files - OverWrite]\nFILE #0=-1\n");
    EXPECT_EQ(e.FileEntries, (Lines{"a~<INSTALLDIR>~X"}));
}

TEST(LoadSetupConfig, AutoexecLinesAreTheSectionsLinesWhole) {
    // Lines without "=" count as well, although the key listing leaves them out; a line with "="
    // keeps its value, the blanks around the first "=" going as the profile functions drop them.
    const SetupConfig c = LoadText("[AUTOEXEC.BAT]\nSET YARDIR=C:\\YAR\nC:\\YAR\\YARINIT.COM /Q\n"
                                   "PATH %PATH%;C:\\YAR\n; comment\nSET A = b=c\n[Next]\nx=1\n");
    EXPECT_EQ(c.AutoexecLines,
              (Lines{"SET YARDIR=C:\\YAR", "C:\\YAR\\YARINIT.COM /Q", "PATH %PATH%;C:\\YAR", "SET A=b=c"}));
}

} // namespace
} // namespace yar
