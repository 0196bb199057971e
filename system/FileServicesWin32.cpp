// File services on Windows, through the Win32 calls of the ANSI code page.
#include "system/FileServices.h"

#include "system/AccessLists.h"
#include "system/CodePages.h"
#include "util/Text.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace yar {

std::string NativePath(const std::string& path) {
    return path;
}

bool FileExistsAt(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExistsAt(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void MakeDirectory(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        const int code = static_cast<int>(GetLastError());
        throw EInOutError(code, "I/O error " + std::to_string(code));
    }
}

bool RunsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool known =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != FALSE;
    CloseHandle(token);
    if (known) return elevation.TokenIsElevated != 0;
    // A system without elevation: administrator rights are the Administrators group's membership.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &administrators))
        return false;
    BOOL member = FALSE;
    CheckTokenMembership(nullptr, administrators, &member);
    FreeSid(administrators);
    return member != FALSE;
}

namespace {

[[noreturn]] void ThrowLastError(DWORD code) {
    throw EInOutError(static_cast<int>(code), SysErrorMessage(static_cast<int>(code)));
}

// CreateDirectoryA with the descriptor of accessList, or the parent's when it is empty; the error code, 0
// when it was made.
DWORD CreateDirectoryWith(const std::string& path, const std::string& accessList) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!accessList.empty() && !ConvertStringSecurityDescriptorToSecurityDescriptorA(
                                   accessList.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        ThrowLastError(GetLastError());
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const BOOL made = CreateDirectoryA(path.c_str(), &attributes);
    const DWORD code = made ? 0 : GetLastError();
    if (descriptor != nullptr) LocalFree(descriptor);
    return code;
}

} // namespace

bool MakePrivateDirectory(const std::string& path) {
    // With administrator rights the run works where ordinary users may look: its directory gets an access
    // list of its own. Without them it lies in the user's own temporary directory, whose list it inherits.
    const DWORD code = CreateDirectoryWith(path, RunsElevated() ? AdministratorsOnlyAccess() : std::string());
    if (code == 0) return true;
    if (code == ERROR_ALREADY_EXISTS) return false;
    ThrowLastError(code);
}

void MakeDirectoryWithAccess(const std::string& path, const std::string& accessList) {
    const DWORD code = CreateDirectoryWith(path, accessList);
    if (code != 0) ThrowLastError(code);
}

std::optional<int64_t> FileSizeAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double DiskFreeBytes(const std::string& path) {
    // "X:\" for a path that starts with a drive letter; the current drive's root otherwise.
    char root[4] = {'A', ':', '\\', '\0'};
    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    if (hasDrive) {
        const char letter = path[0];
        root[0] = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(hasDrive ? root : nullptr, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return -1;
    return static_cast<double>(bytesPerSector) * static_cast<double>(sectorsPerCluster) *
           static_cast<double>(freeClusters);
}

bool RemoveFileAt(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool RemoveDirectoryAt(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

namespace {

// The names FindFirstFileA lists for "*.*" in dir whose entry passes keep.
template <typename Keep> std::vector<std::string> ListNames(const std::string& dir, Keep keep) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(dir, "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (keep(found)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace

std::vector<std::string> FileNamesIn(const std::string& dir) {
    return ListNames(
        dir, [](const WIN32_FIND_DATAA& f) { return (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0; });
}

std::vector<std::string> EntryNamesIn(const std::string& dir) {
    return ListNames(dir, [](const WIN32_FIND_DATAA& f) {
        const std::string_view name = f.cFileName;
        return name != "." && name != "..";
    });
}

std::optional<uint16_t> FileAttributesAt(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return static_cast<uint16_t>(attributes);
}

namespace {

// The SID as "S-1-..." text; empty when it cannot be written.
std::string SidText(PSID sid) {
    char* text = nullptr;
    if (sid == nullptr || !IsValidSid(sid) || !ConvertSidToStringSidA(sid, &text)) return {};
    std::string result = text;
    LocalFree(text);
    return result;
}

// One entry of a list. The entries of files are the plain allowing and denying ones and their callback
// forms, which share their layout; any other kind is read as allowing everything to an account that
// cannot be named, which the judgement never trusts.
TAccessRule RuleOf(const ACE_HEADER* header) {
    TAccessRule rule;
    rule.InheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE: {
        const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        rule.Allow =
            header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        rule.Mask = ace->Mask;
        rule.Trustee = SidText(const_cast<DWORD*>(&ace->SidStart));
        break;
    }
    default:
        rule.Allow = true;
        rule.Mask = 0xFFFFFFFF;
        break;
    }
    return rule;
}

} // namespace

std::optional<TObjectSecurity> ObjectSecurityAt(const std::string& path) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return std::nullopt;
    TObjectSecurity security;
    security.Owner = SidText(owner);
    // No list (a NULL DACL) lets everybody in; an empty one lets nobody.
    if (dacl != nullptr) {
        std::vector<TAccessRule> rules;
        ACL_SIZE_INFORMATION size{};
        if (GetAclInformation(dacl, &size, sizeof size, AclSizeInformation))
            for (DWORD i = 0; i < size.AceCount; ++i) {
                void* ace = nullptr;
                if (!GetAce(dacl, i, &ace)) {
                    rules.push_back({true, false, 0xFFFFFFFF, {}});
                    continue;
                }
                rules.push_back(RuleOf(static_cast<const ACE_HEADER*>(ace)));
            }
        else
            rules.push_back({true, false, 0xFFFFFFFF, {}});
        security.Dacl = std::move(rules);
    }
    LocalFree(descriptor);
    return security;
}

std::string CurrentAccountSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    std::string account;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        account = SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
    CloseHandle(token);
    return account;
}

namespace {

std::optional<TFileIdentity> IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
    return TFileIdentity{info.dwVolumeSerialNumber,
                         (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

} // namespace

std::optional<TFileIdentity> FileIdentityAt(const std::string& path) {
    // The reparse point itself, and a directory as well as a file; no right but to read attributes.
    const HANDLE file =
        CreateFileW(WideFromAnsi(path).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<TFileIdentity> identity = IdentityOf(file);
    CloseHandle(file);
    return identity;
}

std::optional<TFileIdentity> CreateNewFileAt(const std::string& path) {
    // CREATE_NEW fails on any name in use, a link among them, whatever it leads to.
    const HANDLE file = CreateFileW(WideFromAnsi(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<TFileIdentity> identity = IdentityOf(file);
    CloseHandle(file);
    return identity;
}

bool IsLinkAt(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string WindowsDirectory() {
    char buffer[144] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string TempDirectory() {
    // GetTempPath2A gives a process of the SYSTEM account the system's protected temporary directory rather
    // than the Windows directory's Temp, which every user may write to. Newer systems only: looked up.
    using TGetTempPath = DWORD(WINAPI*)(DWORD, LPSTR);
    static const TGetTempPath getTempPath = [] {
        const auto newer = reinterpret_cast<TGetTempPath>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTempPath2A")));
        return newer != nullptr ? newer : GetTempPathA;
    }();
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = getTempPath(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

void EnterDirectory(const std::string& dir) {
    if (SetCurrentDirectoryA(dir.c_str())) return;
    const DWORD code = GetLastError();
    throw EInOutError(static_cast<int>(code), SysErrorMessage(static_cast<int>(code)));
}

bool SetFileDosDate(TFileStream& file, uint32_t dosDateTime) {
    FILETIME local{}, utc{};
    return DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                                 static_cast<WORD>(dosDateTime & 0xFFFF), &local) &&
           LocalFileTimeToFileTime(&local, &utc) && SetFileTime(file.Handle(), nullptr, nullptr, &utc);
}

bool ApplyFileAttributes(const std::string& path, uint16_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != 0;
}

} // namespace yar

namespace yar {

TDriveKind DriveKindOf(const std::string& path) {
    std::vector<char> root(MAX_PATH + 1);
    if (!GetVolumePathNameA(path.c_str(), root.data(), static_cast<DWORD>(root.size()))) return drUnknown;
    switch (GetDriveTypeA(root.data())) {
    case DRIVE_FIXED:
    case DRIVE_RAMDISK:
        return drFixed;
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
        return drRemovable;
    case DRIVE_REMOTE:
        return drRemote;
    default:
        return drUnknown;
    }
}

namespace {

// The access list a handle's file has, as a self-relative descriptor; empty when it cannot be read.
std::vector<uint8_t> AccessListOf(HANDLE file) {
    DWORD needed = 0;
    GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<uint8_t> descriptor(needed);
    if (needed == 0 ||
        !GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed))
        return {};
    return descriptor;
}

// A renamed file keeps its own access list (the working directory's: administrators only). It gets
// exactly the entries its new directory hands down, as a file created there gets them: worked out by the
// system for the first file of a directory (an empty list that is not protected), then the same list,
// as the system set it, for each later file there.
bool InheritAccess(HANDLE file, const std::string& path, TInheritedAccess& known) {
    const std::string dir = UpperCase(ExtractFileDir(path));
    if (const auto found = std::ranges::find(known.Lists, dir, &TInheritedAccess::TList::first);
        found != known.Lists.end())
        return SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION,
                                       const_cast<uint8_t*>(found->second.data())) != FALSE;
    ACL empty{};
    if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION) ||
        SetSecurityInfo(file, SE_FILE_OBJECT,
                        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                        &empty, nullptr) != ERROR_SUCCESS)
        return false;
    // Not known, the next file of the directory is worked out afresh.
    if (std::vector<uint8_t> list = AccessListOf(file); !list.empty())
        known.Lists.emplace_back(dir, std::move(list));
    return true;
}

// What a copy would have made of the moved file: the archive bit alone, created, written and read now,
// and the entries its new directory hands down.
bool MakeLikeACopy(HANDLE file, const std::string& path, TInheritedAccess& known) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    FILE_BASIC_INFO basic{};
    const auto stamp = [&](LARGE_INTEGER& time) {
        time.LowPart = now.dwLowDateTime;
        time.HighPart = static_cast<LONG>(now.dwHighDateTime);
    };
    stamp(basic.CreationTime);
    stamp(basic.LastAccessTime);
    stamp(basic.LastWriteTime);
    basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE; // the change time (0) is left to the system
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) &&
           InheritAccess(file, path, known);
}

// Gives the file of the handle the name path, on its volume, where nothing has that name yet.
bool RenameTo(HANDLE file, const std::string& path) {
    const std::wstring name = WideFromAnsi(path);
    const std::size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<uint8_t> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

} // namespace

bool MoveFileAsCopy(const std::string& from, const std::string& to) {
    TInheritedAccess none;
    return MoveFileAsCopy(from, to, none);
}

bool MoveFileAsCopy(const std::string& from, const std::string& to, TInheritedAccess& known) {
    // One handle renames the file and makes it what a copy would be: each further opening by name is a
    // walk of the path and, under Wine, a round of requests to its server for every file.
    const HANDLE file = CreateFileA(from.c_str(), DELETE | FILE_WRITE_ATTRIBUTES | READ_CONTROL | WRITE_DAC,
                                    0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // Neither copying across volumes nor replacing: either is no rename, and the caller copies.
    bool moved = RenameTo(file, to);
    if (moved && !MakeLikeACopy(file, to, known)) {
        // Not what a copy makes: back where it was, for the copy. Should that fail too, the file stays
        // with the working directory's narrower access, and the copy finds no source and says so.
        RenameTo(file, from);
        moved = false;
    }
    CloseHandle(file);
    return moved;
}

} // namespace yar
