// Shared pieces of the container tests: a scratch directory per test and what the platform says about
// the files the container wrote.
#pragma once

#include "archive/Compress.h"
#include "system/FileServices.h"
#include "tools/builder/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace yar::test {

std::vector<uint8_t> Bytes(const std::string& text);
std::vector<uint8_t> Pattern(size_t size, uint8_t seed = 1);

// An entry of the writer's source form.
builder::TArchiveEntrySource Entry(const std::string& name, std::vector<uint8_t> data,
                                   uint8_t method = coNone, int32_t lock = 0);

// A fresh directory for each test, removed afterwards (read-only files included).
class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The directory in the system's form, without a trailing delimiter.
    std::string Dir() const { return FDir.string(); }
    // A path inside it, joined the way the container joins TargetPath and a stored name.
    std::string PathOf(const std::string& name) const { return Dir() + "\\" + name; }

    static bool Exists(const std::string& path) { return FileExistsAt(path); }
    static std::vector<uint8_t> ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

private:
    std::filesystem::path FDir;
};

// The file's last-write time as a DOS packed local date and time.
uint32_t DosDateOfFile(const std::string& path);
// The attribute bits the platform keeps for the file (natively only read-only).
uint16_t AttributesOfFile(const std::string& path);
// The bits ApplyFileAttributes can show on this platform.
uint16_t VisibleAttributes(uint16_t attributes);

} // namespace yar::test
