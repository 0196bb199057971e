#include "SystemTestSupport.h"

#include <algorithm>
#include <vector>

#include "system/FileServices.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace yar::test {

namespace fs = std::filesystem;

TTestDir::TTestDir(const std::string& prefix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Path_ = fs::temp_directory_path() / (prefix + "-" + info->test_suite_name() + "-" + info->name());
    fs::remove_all(Path_);
    fs::create_directories(Path_);
}

TTestDir::~TTestDir() {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(Path_, error))
        ApplyFileAttributes(entry.path().string(), 0x20);
    fs::remove_all(Path_, error);
}

std::string TTestDir::operator/(const std::string& name) const {
    return JoinPath(Path_.string(), name);
}

void PutBytes(const std::string& path, std::string_view bytes) {
    std::ofstream(NativePath(path), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> GetBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TreeOf(const std::string& root) {
    std::vector<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(NativePath(root))) {
        std::string line = entry.path().generic_string();
        if (entry.is_regular_file()) line += " = " + Visible(GetBytes(entry.path().string()).value_or(""));
        lines.push_back(std::move(line));
    }
    std::ranges::sort(lines);
    std::string tree;
    for (const std::string& line : lines) tree += line + "\n";
    return tree;
}

std::string Visible(std::string_view bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace yar::test
