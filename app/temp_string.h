// TempString: a printf-style formatted text with a fixed capacity, used for
// every message and value text the window shows.
#pragma once

#include <QString>

class TempString {
public:
    // The longest text kept; a longer result is cut to this many characters.
    static constexpr int Capacity = 1023;

    // `format` and string arguments are UTF-8; the directives are printf's
    // (%lld in place of the platform's %I64d).
    explicit TempString(const char* format, ...) __attribute__((format(printf, 2, 3)));
    virtual ~TempString() = default;

    const QString& Text() const { return text_; }
    operator const QString&() const { return text_; }

private:
    QString text_;
};
