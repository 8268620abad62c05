#pragma once

// Switching the computer off when the last entry has played and the shutdown option is on:
// logind's PowerOff on the system bus, which asks for the user's authorisation itself.
// Behind a seam, so that no test can switch a machine off.

class IPowerOff {
public:
    virtual ~IPowerOff() = default;
    virtual void PowerOff() = 0;
};

class LogindPowerOff : public IPowerOff {
public:
    // Does not wait for the answer; a refusal is reported on the log and the computer runs on.
    void PowerOff() override;
};
