// The C runtime of Windows has no uselocale: the thread is given a locale of
// its own, set to C, and both are put back afterwards.
#include <locale.h>
#include <clocale>
#include <cstdlib>
#include <cstring>

#include "c_locale_scope.h"

CLocaleScope::CLocaleScope() {
    mode_ = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* now = std::setlocale(LC_NUMERIC, nullptr);
    if (now) before_ = _strdup(now);
    std::setlocale(LC_NUMERIC, "C");
}

CLocaleScope::~CLocaleScope() {
    if (before_) {
        std::setlocale(LC_NUMERIC, static_cast<const char*>(before_));
        std::free(before_);
    }
    if (mode_ > 0) _configthreadlocale(mode_);
}
