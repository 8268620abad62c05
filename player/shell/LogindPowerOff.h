#pragma once

// Switching the computer off when the last entry has played and the shutdown option is on:
// logind's PowerOff on the system bus, which asks for the user's authorisation itself.
// Behind a seam, so that no test can switch a machine off.

#include <string>

class IPowerOff {
public:
    virtual ~IPowerOff() = default;
    virtual void PowerOff() = 0;
};

class LogindPowerOff : public IPowerOff {
public:
    // The system bus, reached only when the computer is to be switched off.
    LogindPowerOff() = default;
    // Another bus (a test's private one).
    explicit LogindPowerOff(std::string busAddress) : busAddress_(std::move(busAddress)) {}

    // Does not wait for the answer; a refusal is reported on the log and the computer runs on.
    void PowerOff() override;

private:
    std::string busAddress_;
};
