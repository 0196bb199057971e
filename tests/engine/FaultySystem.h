// A machine that fails when told: the file services and the registry of another implementation, with a
// hook called before every call that changes something. The hook may answer "refuse" (the call fails as
// the system's would) or throw, which stands for the program being killed at that point.
#pragma once

#include <functional>
#include <string>

#include "system/FileServices.h"
#include "system/Files.h"
#include "system/Registry.h"

namespace yar::test {

// op: the call's name ("CopyFile", "WriteString" ...); path: the file, or the key. True refuses the call.
using TChangeHook = std::function<bool(const std::string& op, const std::string& path)>;

class TFaultyFiles final : public TForwardingFiles {
public:
    explicit TFaultyFiles(TFiles& files) : TForwardingFiles(files) {}

    void ForceDirectories(const std::string& dir) override {
        if (!Refused("ForceDirectories", dir)) FFiles.ForceDirectories(dir);
    }
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override {
        if (!Refused("ForceDirectories", dir)) FFiles.ForceDirectoriesWithAccess(dir, accessList);
    }
    void MakeNewDirectory(const std::string& path, const std::string& accessList) override {
        if (Refused("ForceDirectories", path)) throw EInOutError(5, "I/O error 5");
        FFiles.MakeNewDirectory(path, accessList);
    }
    std::optional<TFileIdentity> CreateNewFile(const std::string& path) override {
        return Refused("CreateNewFile", path) ? std::nullopt : FFiles.CreateNewFile(path);
    }
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override {
        return Refused("CopyFile", to) ? crCannotCreate : FFiles.CopyFileChecked(from, to, failIfExists);
    }
    bool MoveNewFile(const std::string& from, const std::string& to) override {
        return !Refused("MoveFile", to) && FFiles.MoveNewFile(from, to);
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
    bool SetAttributes(const std::string& path, uint16_t attributes) override {
        return !Refused("SetAttributes", path) && FFiles.SetAttributes(path, attributes);
    }
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override {
        return !Refused("WriteLines", path) && FFiles.WriteLines(path, lines);
    }
    bool AppendLine(const std::string& path, const std::string& line) override {
        return !Refused("AppendLine", path) && FFiles.AppendLine(path, line);
    }

    TChangeHook BeforeChange;

private:
    bool Refused(const std::string& op, const std::string& path) {
        return BeforeChange && BeforeChange(op, path);
    }
};

class TFaultyRegistry final : public TForwardingRegistry {
public:
    explicit TFaultyRegistry(TRegistry& registry) : TForwardingRegistry(registry) {}

    bool CreateKey(TRegRoot root, const std::string& key) override {
        return !Refused("CreateKey", key) && FRegistry.CreateKey(root, key);
    }
    bool CreateNewKey(TRegRoot root, const std::string& key) override {
        return !Refused("CreateKey", key) && FRegistry.CreateNewKey(root, key);
    }
    bool WriteString(TRegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override {
        return !Refused("WriteString", key) && FRegistry.WriteString(root, key, name, value);
    }
    bool WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                      uint32_t value) override {
        return !Refused("WriteInteger", key) && FRegistry.WriteInteger(root, key, name, value);
    }
    bool WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                    const TRegValue& value) override {
        return !Refused("WriteValue", key) && FRegistry.WriteValue(root, key, name, value);
    }
    bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) override {
        return !Refused("DeleteValue", key) && FRegistry.DeleteValue(root, key, name);
    }
    bool DeleteKey(TRegRoot root, const std::string& key) override {
        return !Refused("DeleteKey", key) && FRegistry.DeleteKey(root, key);
    }

    TChangeHook BeforeChange;

private:
    bool Refused(const std::string& op, const std::string& key) {
        return BeforeChange && BeforeChange(op, key);
    }
};

} // namespace yar::test
