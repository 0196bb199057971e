// Ending or restarting the Windows session, with the process privilege that needs.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// winuser.h defines ExitWindows as a macro of two arguments, a leftover of 16-bit Windows; the
// method below takes its name.
#ifdef ExitWindows
#undef ExitWindows
#endif

namespace yar {

class TRestarter {
public:
    TRestarter() = default;
    virtual ~TRestarter() = default;
    TRestarter(const TRestarter&) = delete;
    TRestarter& operator=(const TRestarter&) = delete;

    // Switches one named privilege of the current process on or off; true when the system
    // accepted the change.
    virtual bool AdjustPrivilege(const std::string& privilege, bool enable) = 0;
    // Ends the session as the ExitWindowsEx flags say (2: restart); true when the system agreed.
    virtual bool ExitWindows(uint32_t flags) = 0;
};

struct TRestartCall {
    enum TKind { rkAdjustPrivilege, rkExitWindows };
    TKind Kind = rkAdjustPrivilege;
    std::string Privilege; // AdjustPrivilege only
    bool Enable = false;   // AdjustPrivilege only
    uint32_t Flags = 0;    // ExitWindows only

    bool operator==(const TRestartCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TRestartCall& call);

// Ends nothing: keeps every call in order and answers as it was told, for tests of the callers.
class TRecordedRestarter final : public TRestarter {
public:
    bool AdjustPrivilege(const std::string& privilege, bool enable) override;
    bool ExitWindows(uint32_t flags) override;

    const std::vector<TRestartCall>& Calls() const { return Calls_; }
    // The answers of the calls from now on (at first true).
    void SetPrivilegeResult(bool accepted) { PrivilegeResult_ = accepted; }
    void SetExitResult(bool accepted) { ExitResult_ = accepted; }

private:
    std::vector<TRestartCall> Calls_;
    bool PrivilegeResult_ = true;
    bool ExitResult_ = true;
};

} // namespace yar
