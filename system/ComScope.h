// COM for the lifetime of one object: CoInitialize when made, CoUninitialize when gone. The program
// makes one at its start, on the thread that uses COM.
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
