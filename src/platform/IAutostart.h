#pragma once

// Starting the program at log-on. The entry runs the program with "/hide" so that it starts
// invisibly.
class IAutostart
{
public:
    virtual ~IAutostart() = default;

    // Creates or renews the entry (enabled) or removes it (disabled); removing a missing entry
    // succeeds. False when the entry could not be written or removed; a failed write leaves the old
    // entry whole.
    virtual bool setEnabled(bool enabled) = 0;
    // True when an entry of this program exists.
    virtual bool isEnabled() const = 0;
};
