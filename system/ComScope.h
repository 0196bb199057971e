// COM for the lifetime of one object: CoInitialize when made, CoUninitialize when gone. A program with
// windows makes one at its start; each COM user makes its own for its call as well, so that a run that
// needs none never starts COM (under Wine, starting COM starts the desktop process).
#pragma once

namespace yar {

class TComScope {
public:
    TComScope();
    ~TComScope();
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

    // Whether CoInitialize succeeded (also when COM was already initialised on this thread), so that
    // it is balanced by CoUninitialize.
    bool Initialized() const { return Initialized_; }

private:
    bool Initialized_;
};

} // namespace yar
