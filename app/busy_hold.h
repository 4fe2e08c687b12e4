// Holds the window's Busy flag for a scope and gives it back as it was found,
// so a step that waits for the device keeps every other command out whether
// its caller set Busy or not.
#pragma once

class BusyHold {
public:
    explicit BusyHold(bool& busy) : busy_(busy), was_(busy) { busy_ = true; }
    ~BusyHold() { busy_ = was_; }
    BusyHold(const BusyHold&) = delete;
    BusyHold& operator=(const BusyHold&) = delete;

private:
    bool& busy_;
    bool was_;
};
