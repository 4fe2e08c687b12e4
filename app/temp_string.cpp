#include "temp_string.h"

#include <locale.h>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// Numbers read the same whatever the user's locale: 12.5, never 12,5.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Formats in the C locale for as long as it lives, on this thread only.
class CLocaleScope {
public:
    CLocaleScope() : before_(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(nullptr)) {}
    ~CLocaleScope() {
        if (before_) uselocale(before_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t before_;
};

}  // namespace

TempString::TempString(const char* format, ...) {
    const CLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        text_ = QString::fromUtf8(buffer.data(), length);
        if (text_.size() > Capacity) {
            // Never leave half of a surrogate pair at the cut.
            int keep = Capacity;
            if (text_.at(keep - 1).isHighSurrogate()) --keep;
            text_.truncate(keep);
        }
    }
    va_end(args);
}
