// A machine that fails when told: the file services and the registry of another implementation, with a
// hook called before every call that changes something. The hook may answer "refuse" (the call fails as
// the system's would) or throw, which stands for the program being killed at that point.
#pragma once

#include <functional>
#include <string>

#include "system/Files.h"
#include "system/Registry.h"

namespace yar::test {

// op: the call's name ("CopyFile", "WriteString" ...); path: the file, or the key. True refuses the call.
using TChangeHook = std::function<bool(const std::string& op, const std::string& path)>;

class TFaultyFiles final : public TFiles {
public:
    explicit TFaultyFiles(TFiles& files) : FFiles(files) {}

    bool FileExists(const std::string& path) const override { return FFiles.FileExists(path); }
    bool DirectoryExists(const std::string& path) const override { return FFiles.DirectoryExists(path); }
    void ForceDirectories(const std::string& dir) override {
        if (!Refused("ForceDirectories", dir)) FFiles.ForceDirectories(dir);
    }
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override {
        if (!Refused("ForceDirectories", dir)) FFiles.ForceDirectoriesWithAccess(dir, accessList);
    }
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override {
        return Refused("CopyFile", to) ? crCannotCreate : FFiles.CopyFileChecked(from, to, failIfExists);
    }
    bool RemoveFile(const std::string& path) override {
        return !Refused("RemoveFile", path) && FFiles.RemoveFile(path);
    }
    bool RemoveEmptyDirectory(const std::string& path) override {
        return !Refused("RemoveEmptyDirectory", path) && FFiles.RemoveEmptyDirectory(path);
    }
    bool RemoveAtRestart(const std::string& path) override {
        return !Refused("RemoveAtRestart", path) && FFiles.RemoveAtRestart(path);
    }
    bool ReplaceAtRestart(const std::string& from, const std::string& to) override {
        return !Refused("ReplaceAtRestart", to) && FFiles.ReplaceAtRestart(from, to);
    }
    std::optional<uint16_t> Attributes(const std::string& path) const override {
        return FFiles.Attributes(path);
    }
    std::optional<int64_t> FileSize(const std::string& path) const override { return FFiles.FileSize(path); }
    bool SetAttributes(const std::string& path, uint16_t attributes) override {
        return !Refused("SetAttributes", path) && FFiles.SetAttributes(path, attributes);
    }
    std::vector<std::string> FileNames(const std::string& dir) const override {
        return FFiles.FileNames(dir);
    }
    std::vector<std::string> EntryNames(const std::string& dir) const override {
        return FFiles.EntryNames(dir);
    }
    std::optional<std::vector<std::string>> ReadLines(const std::string& path) const override {
        return FFiles.ReadLines(path);
    }
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override {
        return !Refused("WriteLines", path) && FFiles.WriteLines(path, lines);
    }
    bool AppendLine(const std::string& path, const std::string& line) override {
        return !Refused("AppendLine", path) && FFiles.AppendLine(path, line);
    }
    std::string ShortPath(const std::string& path) const override { return FFiles.ShortPath(path); }
    std::string WindowsDirectory() const override { return FFiles.WindowsDirectory(); }
    std::optional<std::string> ReadBytes(const std::string& path) const override {
        return FFiles.ReadBytes(path);
    }
    std::string LongPath(const std::string& path) const override { return FFiles.LongPath(path); }
    std::optional<TObjectSecurity> Security(const std::string& path) const override {
        return FFiles.Security(path);
    }
    std::string CurrentAccount() const override { return FFiles.CurrentAccount(); }

    TChangeHook BeforeChange;

private:
    bool Refused(const std::string& op, const std::string& path) {
        return BeforeChange && BeforeChange(op, path);
    }

    TFiles& FFiles;
};

class TFaultyRegistry final : public TRegistry {
public:
    explicit TFaultyRegistry(TRegistry& registry) : FRegistry(registry) {}

    bool CreateKey(TRegRoot root, const std::string& key) override {
        return !Refused("CreateKey", key) && FRegistry.CreateKey(root, key);
    }
    bool WriteString(TRegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override {
        return !Refused("WriteString", key) && FRegistry.WriteString(root, key, name, value);
    }
    std::optional<std::string> ReadString(TRegRoot root, const std::string& key,
                                          const std::string& name) const override {
        return FRegistry.ReadString(root, key, name);
    }
    bool WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                      uint32_t value) override {
        return !Refused("WriteInteger", key) && FRegistry.WriteInteger(root, key, name, value);
    }
    std::optional<uint32_t> ReadInteger(TRegRoot root, const std::string& key,
                                        const std::string& name) const override {
        return FRegistry.ReadInteger(root, key, name);
    }
    bool KeyExists(TRegRoot root, const std::string& key) const override {
        return FRegistry.KeyExists(root, key);
    }
    bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) override {
        return !Refused("DeleteValue", key) && FRegistry.DeleteValue(root, key, name);
    }
    bool DeleteKey(TRegRoot root, const std::string& key) override {
        return !Refused("DeleteKey", key) && FRegistry.DeleteKey(root, key);
    }
    std::vector<std::string> SubKeyNames(TRegRoot root, const std::string& key) const override {
        return FRegistry.SubKeyNames(root, key);
    }

    TChangeHook BeforeChange;

private:
    bool Refused(const std::string& op, const std::string& key) {
        return BeforeChange && BeforeChange(op, key);
    }

    TRegistry& FRegistry;
};

} // namespace yar::test
