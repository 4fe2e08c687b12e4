// Formatting in the C locale for as long as the scope lives, on this thread
// only: numbers read the same whatever the user's locale is (12.5, never 12,5).
#pragma once

class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* before_ = nullptr;  // the thread's locale before, as the system keeps it
    int mode_ = 0;
};
