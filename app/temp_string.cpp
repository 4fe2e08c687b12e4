#include "temp_string.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "c_locale_scope.h"

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
