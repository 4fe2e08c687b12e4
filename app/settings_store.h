// The per-user settings store: one string, the COM port last chosen, kept
// under the company key "Taviro", the application key (the program file's
// name) and the section "Zel5100Util".
#pragma once

#include <QString>

class SettingsStore {
public:
    static constexpr const char* CompanyKey = "Taviro";
    static constexpr const char* Section = "Zel5100Util";
    static constexpr const char* ComPortEntry = "ComPort";

    // `applicationKey` empty: the application name, which Qt takes from the
    // program file's name without its extension.
    explicit SettingsStore(const QString& applicationKey = QString());

    const QString& ApplicationKey() const { return applicationKey_; }
    // The stored port, "" when absent or unreadable.
    QString ReadComPort() const;
    // A failed write is ignored.
    void WriteComPort(const QString& value) const;

private:
    QString applicationKey_;
};
