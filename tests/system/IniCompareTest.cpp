// THostIniFiles against the profile functions: every sequence of writes, deletions and reads runs
// through TWin32IniFiles and through THostIniFiles (over the same real file system) on fresh files,
// and after every step the answers and the two files' bytes must be equal. Wine's profile functions
// are the oracle. Where the writer follows rules of Wine's that Windows need not share:
// - the file is read afresh for each call (Wine serves a file untouched for two seconds from its
//   cache instead, which still holds the trailing blanks of names and values it wrote itself);
// - the whole file is rewritten on each change: lines trimmed, blank lines dropped, CR LF, no blank
//   line before a section;
// - a section to delete is matched by its name exactly as given, blanks included;
// - names compare by ASCII case only.
#include "system/HostIniFiles.h"
#include "system/Win32Files.h"
#include "system/Win32IniFiles.h"

#include "SystemTestSupport.h"
#include "system/FileServices.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <windows.h>

namespace yar {
namespace {

using test::GetBytes;
using test::PutBytes;
using test::TTestDir;
using test::Visible;

struct TStep {
    enum { stWrite, stDelete, stRead, stPut, stAddKeys } Kind;
    std::string Section, Key, Value;
    std::vector<std::string> Keys = {};
};

TStep Write(std::string section, std::string key, std::string value) {
    return {TStep::stWrite, std::move(section), std::move(key), std::move(value)};
}
TStep Delete(std::string section) {
    return {TStep::stDelete, std::move(section), {}, {}};
}
TStep Read(std::string section, std::string key, std::string fallback = "<fallback>") {
    return {TStep::stRead, std::move(section), std::move(key), std::move(fallback)};
}
TStep AddKeys(std::string section, std::vector<std::string> keys) {
    return {TStep::stAddKeys, std::move(section), {}, {}, std::move(keys)};
}
// The file's bytes put in place behind the functions' back.
TStep Put(std::string bytes) {
    return {TStep::stPut, {}, {}, std::move(bytes)};
}

class IniCompare : public ::testing::Test {
protected:
    // What a step answered, and the file's bytes after it.
    static std::string RunStep(TIniFiles& ini, const std::string& file, const TStep& step) {
        std::string answer;
        switch (step.Kind) {
        case TStep::stWrite:
            answer = ini.WriteString(file, step.Section, step.Key, step.Value) ? "true" : "false";
            break;
        case TStep::stDelete:
            answer = ini.DeleteSection(file, step.Section) ? "true" : "false";
            break;
        case TStep::stRead:
            answer = "\"" + Visible(ini.ReadString(file, step.Section, step.Key, step.Value)) + "\"";
            break;
        case TStep::stPut:
            PutBytes(file, step.Value);
            break;
        case TStep::stAddKeys:
            answer = ini.AddKeys(file, step.Section, step.Keys) ? "true" : "false";
            break;
        }
        return answer + " | " + Visible(GetBytes(file).value_or("<no file>"));
    }

    static std::string Describe(const TStep& step) {
        static const char* const kKinds[] = {"write", "delete", "read", "put", "add keys"};
        return std::string(kKinds[step.Kind]) + " [" + Visible(step.Section) + "] \"" + Visible(step.Key) +
               "\" \"" + Visible(step.Value.substr(0, 60)) + "\"";
    }

    // Runs steps on name in the system's and in the host's directory; relative names a file below
    // a directory of its own, or a directory that is not there.
    void Compare(const std::string& name, const std::vector<TStep>& steps, const std::string& relative = "") {
        const std::string file = relative.empty() ? name + ".ini" : relative;
        const std::string systemFile = Dir / ("system\\" + file);
        const std::string hostFile = Dir / ("host\\" + file);
        for (const TStep& step : steps) {
            const std::string expected = RunStep(System, systemFile, step);
            const std::string actual = RunStep(Host, hostFile, step);
            EXPECT_EQ(actual, expected) << name << ": " << Describe(step);
            if (std::getenv("YAR_COMPARE_VERBOSE"))
                std::printf("%s: %s -> %s\n", name.c_str(), Describe(step).c_str(), expected.c_str());
        }
    }

    void SetUp() override {
        MakeDirectory(Dir / "system");
        MakeDirectory(Dir / "host");
    }

    TTestDir Dir{"yar-ini-compare"};
    TWin32IniFiles System;
    TWin32Files Files;
    THostIniFiles Host{Files};
};

TEST_F(IniCompare, NewFilesSectionsAndKeys) {
    Compare("new", {Write("Sec", "key", "value")});
    Compare("grow", {Write("Sec", "key", "value"), Write("Sec", "two", "2"), Write("Other", "x", "y"),
                     Write("sec", "KEY", "new value"), Write("SEC", "three", ""), Read("OTHER", "X"),
                     Read("Sec", "three"), Read("Sec", "missing")});
    Compare("record",
            {Write("Program", "Title", "Acme Tools"), Write("UNINS", "C:\\Acme\\*.*", ""),
             Write("UNINS", "C:\\Acme\\Setup\\*.*", ""), Write("Folders", "C:\\Start Menu\\Acme", ""),
             Write("UNINS", "C:\\Acme\\app.exe", ""), Write("unins", "c:\\acme\\APP.EXE", ""),
             Delete("UNINS"), Delete("Folders"), Delete("Registry"), Write("Program", "Title", "Acme"),
             Write("UNINS", "C:\\Acme\\*.*", "")});
}

// Keys added a batch at a time are what the same keys written one by one without a value give, but for
// a key already there, which keeps its value.
TEST_F(IniCompare, KeysAddedInOneWrite) {
    Compare("batch", {AddKeys("UNINS", {"C:\\Acme\\*.*", "C:\\Acme\\app.exe", "c:\\acme\\APP.EXE"}),
                      Write("Program", "Title", "Acme"), AddKeys("Folders", {"C:\\Start Menu\\Acme"}),
                      AddKeys("unins", {"C:\\Acme\\app.exe", "C:\\Acme\\doc.txt"}), AddKeys("UNINS", {}),
                      AddKeys("Empty", {}), Read("UNINS", "C:\\Acme\\doc.txt")});
    Compare("batch_over",
            {Put("[Program]\r\nTitle=Acme\r\n[UNINS]\r\n  kept = value \r\nC:\\Acme\\*.*=\r\n"
                 "[Folders]\r\nC:\\Start=\r\n"),
             AddKeys("UNINS", {"KEPT", "C:\\Acme\\new.exe", " C:\\Acme\\*.* "}), Read("UNINS", "kept"),
             AddKeys("Registry", {"HKEY_LOCAL_MACHINE\\Software\\Acme"})});
    Compare("batch_missing_dir", {AddKeys("S", {"k"}), Read("S", "k")}, "no dir\\x.ini");
}

TEST_F(IniCompare, BlanksInNamesAndValues) {
    Compare("blanks",
            {Write("  Sp  ", "  k  ", "  v  "), Read("Sp", "k"), Read(" sp ", " K "), Write("sp", "k", "w"),
             Write("Sp", "k2", "a value with blanks"), Write("S", "trail", "trail  "), Write("S", "j", "x"),
             Write("S", "tab", "\tx\t"), Write("S", "ctl", "\x1A\v\f lead"), Write("\tT\t", "\tk\t", "v"),
             Write("T", "k", "w"), Read("S", "ctl")});
    Compare("same", {Put("[S]\n k = v \n"), Write("s", "K", "  v"), Write("S", "k", "w")});
}

TEST_F(IniCompare, DeletingSections) {
    Compare("delete", {Write("A", "k", "1"), Write("B", "k", "2"), Write("C", "k", "3"), Delete("B"),
                       Write("b", "k", "again"), Delete("Missing"), Delete(" A "), Delete("a"), Delete("C"),
                       Delete("B"), Read("B", "k")});
    Compare("delete_missing_file", {Delete("S"), Read("S", "k")});
}

TEST_F(IniCompare, FilesWrittenByOthers) {
    Compare("foreign", {Put("top=1\r\n\r\n[A]  trailing\r\n  k = v  "
                            "\r\n\r\n\r\n;comment\r\n\r\n[B]\nx\ny=1\n=empty\n=dropped\n\n"
                            "[open\n"),
                        Write("A", "new", "n"), Read("B", "x"), Read("B", ""), Read("b", "[open"),
                        Write("B", "z", "z")});
    Compare("lf", {Put("[A]\nk=1\n\n[B]\nj=2"), Write("A", "m", "2")});
    Compare("cr", {Put("[A]\rk=1\r\r[B]\rj=2\r"), Write("B", "m", "2")});
    Compare("brackets", {Put("[B]x]\r\nk=1\r\n[ spaced ]\r\n[]\r\nk=e\r\n"), Write("B]x", "k", "2"),
                         Write("spaced", "k", "s"), Read("", "k")});
    Compare("duplicates", {Put("[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\n"), Write("a", "K", "9"), Delete("a"),
                           Write("A", "k", "x"), Read("A", "k")});
    Compare("empty_file", {Put(""), Write("", "k", "v"), Write("S", "k", "v")});
    Compare("blank_file", {Put("\r\n"), Write("", "k", "v")});
}

TEST_F(IniCompare, EmptyNamesAndLineBreaks) {
    Compare("empty_names", {Write("S", "", "v"), Write("", "k", "v"), Write("", "k2", "v2"), Read("", "k"),
                            Read("S", ""), Delete("")});
    Compare("line_breaks", {Write("S", "k", "a\r\nb=c"), Write("S", "j", "1"), Read("S", "b")});
}

TEST_F(IniCompare, QuotesFallbacksAndLengths) {
    Compare("quotes", {Put("[Q]\r\nd=\"double\"\r\ns='single'\r\nm=\"mixed'\r\none=\"\r\nempty=\"\"\r\n"),
                       Read("Q", "d"), Read("Q", "s"), Read("Q", "m"), Read("Q", "one"), Read("Q", "empty"),
                       Write("Q", "w", "\"quoted\""), Read("Q", "w")});
    Compare("fallbacks",
            {Write("S", "k", "v"), Read("S", "x", "abc   "), Read("S", "x", "   "), Read("S", "x", " "),
             Read("S", "x", "'q'"), Read("S", "x", ""), Read("S", "x", "  lead")});
    Compare("lengths", {Write("L", "plain", std::string(1023, 'x') + "yz"), Read("L", "plain"),
                        Write("L", "fits", "\"" + std::string(1022, 'q') + "\""), Read("L", "fits"),
                        Write("L", "misses", "\"" + std::string(1023, 'q') + "\""), Read("L", "misses"),
                        Write("L", "long", "\"" + std::string(2000, 'q') + "\""), Read("L", "long"),
                        Read("L", "none", std::string(1500, 'd'))});
}

TEST_F(IniCompare, HighBytes) {
    Compare("high", {Write("S\xE4"
                           "ction",
                           "K\xE4y", "v\xE4lue \x81\x8D\xA0\xFF"),
                     Read("S\xE4"
                          "ction",
                          "K\xE4y"),
                     Write("S\xC4"
                           "CTION",
                           "K\xC4Y", "x"),
                     Read("s\xE4"
                          "ction",
                          "k\xE4y")});
}

TEST_F(IniCompare, FilesThatCannotBeWritten) {
    Compare("no_dir", {Write("S", "k", "v"), Delete("S"), Read("S", "k", "'q'  ")}, "no dir\\x.ini");
    MakeDirectory(Dir / "system\\dir.ini");
    MakeDirectory(Dir / "host\\dir.ini");
    Compare("a_directory", {Write("S", "k", "v"), Delete("S"), Read("S", "k", "'q'")}, "dir.ini");
}

TEST_F(IniCompare, BareNamesGoToTheWindowsDirectory) {
    // Both write the same file there, one after the other.
    const std::string name = "yar-ini-compare-" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string path = JoinPath(WindowsDirectory(), name);
    std::vector<std::string> bytes;
    for (TIniFiles* ini : std::initializer_list<TIniFiles*>{&System, &Host}) {
        RemoveFileAt(path);
        EXPECT_TRUE(ini->WriteString(name, "Paths", "Home", "C:\\Acme"));
        EXPECT_TRUE(ini->WriteString(name, "Paths", "Data", "C:\\Acme\\Data"));
        EXPECT_EQ(ini->ReadString(name, "paths", "home", ""), "C:\\Acme");
        bytes.push_back(GetBytes(path).value_or("<no file>"));
    }
    RemoveFileAt(path);
    EXPECT_EQ(bytes[1], bytes[0]);
    EXPECT_EQ(bytes[0], "[Paths]\r\nHome=C:\\Acme\r\nData=C:\\Acme\\Data\r\n");
}

} // namespace
} // namespace yar
