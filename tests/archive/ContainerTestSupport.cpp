#include "tests/archive/ContainerTestSupport.h"

#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace yar::test {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> out(size);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : out) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    return out;
}

builder::TArchiveEntrySource Entry(const std::string& name, std::vector<uint8_t> data, uint8_t method,
                                   int32_t lock) {
    builder::TArchiveEntrySource e;
    e.Name = name;
    e.Data = std::move(data);
    e.Method = method;
    e.Lock = lock;
    return e;
}

void ScratchDir::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
#ifdef _WIN32
    const auto pid = GetCurrentProcessId();
#else
    const auto pid = getpid();
#endif
    FDir = std::filesystem::temp_directory_path() / ("container-" + std::string(info->test_suite_name()) +
                                                     "-" + info->name() + "-" + std::to_string(pid));
    std::filesystem::remove_all(FDir);
    std::filesystem::create_directories(FDir);
}

void ScratchDir::TearDown() {
    std::error_code ec;
    for (const auto& item : std::filesystem::recursive_directory_iterator(FDir, ec)) {
#ifdef _WIN32
        SetFileAttributesA(item.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
        std::filesystem::permissions(item.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(FDir, ec);
}

std::vector<uint8_t> ScratchDir::ReadFile(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ScratchDir::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(NativePath(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

#ifdef _WIN32
uint32_t DosDateOfFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    WORD date = 0, time = 0;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return static_cast<uint32_t>(date) << 16 | time;
}

uint16_t AttributesOfFile(const std::string& path) {
    return static_cast<uint16_t>(GetFileAttributesA(path.c_str()) & 0x27);
}

uint16_t VisibleAttributes(uint16_t attributes) {
    return attributes & 0x27;
}
#else
uint32_t DosDateOfFile(const std::string& path) {
    struct stat st {};
    if (stat(NativePath(path).c_str(), &st) != 0) return 0;
    std::tm t{};
    localtime_r(&st.st_mtime, &t);
    return static_cast<uint32_t>((t.tm_year - 80) << 25 | (t.tm_mon + 1) << 21 | t.tm_mday << 16 |
                                 t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
}

uint16_t AttributesOfFile(const std::string& path) {
    struct stat st {};
    if (stat(NativePath(path).c_str(), &st) != 0) return 0xFFFF;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? 0x01 : 0x00;
}

uint16_t VisibleAttributes(uint16_t attributes) {
    return attributes & 0x01;
}
#endif

} // namespace yar::test
