#include "panel_framework.h"

#include <QAbstractButton>
#include <limits>

#include "message_pump.h"
#include "tav_edit.h"
#include "temp_string.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"
#include "zel_error.h"

namespace {

// A value field's text is read into a 100-character buffer.
constexpr int kMaxFieldText = 99;

}  // namespace

bool UsableWithAnyDevice(int deviceMode) { return deviceMode >= 0; }
bool UsableInAsiToIp(int deviceMode) { return deviceMode == 0; }
bool UsableInIpToAsi(int deviceMode) { return deviceMode == 1; }

bool PanelUsable(Zel5100UtilDlg& window, const PanelControls& panel)
{
    return panel.usable(window.App().DeviceMode);
}

void ResetPanel(Zel5100UtilDlg& window, const PanelControls& panel)
{
    for (const PanelField& field : panel.fields)
        if (TavEdit* edit = window.Edit(field.field))
            edit->SetTextFromDevice(QString());
    const bool enabled = PanelUsable(window, panel);
    if (QAbstractButton* refresh = window.Button(panel.refreshButton))
        refresh->setEnabled(enabled);
    for (const PanelField& field : panel.fields) {
        if (TavEdit* edit = window.Edit(field.field))
            edit->EnableField(enabled);
        if (field.writeButton != 0)
            if (QAbstractButton* write = window.Button(field.writeButton))
                write->setEnabled(enabled);
    }
    PumpPendingMessages();
}

void RoutePanelRefresh(Zel5100UtilDlg& window, const PanelControls& panel,
                       void (*refresh)(Zel5100UtilDlg&))
{
    window.RouteCommand(panel.refreshButton, [&window, refresh] {
        window.RunExclusive([&window, refresh] { refresh(window); });
    });
}

// ---------------------------------------------------------------------------
// Display formats

bool IsWideFormat(ValueFormat format)
{
    return format == ValueFormat::Decimal64 || format == ValueFormat::MacAddress;
}

QString FormatDottedAddress(uint32_t value)
{
    const IpOctets octets = IpOctetsFromValue(value);
    return TempString("%d.%d.%d.%d", octets.o0, octets.o1, octets.o2, octets.o3);
}

QString FormatValue(ValueFormat format, uint64_t value)
{
    const uint32_t low = static_cast<uint32_t>(value);
    const int32_t signedLow = static_cast<int32_t>(low);
    switch (format) {
    case ValueFormat::Decimal:
        return TempString("%d", signedLow);
    case ValueFormat::Decimal64:
        return TempString("%lld", static_cast<long long>(static_cast<int64_t>(value)));
    case ValueFormat::DottedAddress:
        return FormatDottedAddress(low);
    case ValueFormat::Version:
        return TempString("v%d", signedLow);
    case ValueFormat::VersionTenths:
        return TempString("v%d.%d", signedLow / 10, signedLow % 10);
    case ValueFormat::SerialNumber:
        return TempString("%d.%03d.%03d", static_cast<int>(low / 1000000),
                          static_cast<int>((low % 1000000) / 1000), static_cast<int>(low % 1000));
    case ValueFormat::DeviceType:
        return TempString("ZEL-%d", signedLow);
    case ValueFormat::MacAddress:
        return TempString("%02X.%02X.%02X.%02X.%02X.%02X", static_cast<unsigned>((value >> 40) & 0xFF),
                          static_cast<unsigned>((value >> 32) & 0xFF),
                          static_cast<unsigned>((value >> 24) & 0xFF),
                          static_cast<unsigned>((value >> 16) & 0xFF),
                          static_cast<unsigned>((value >> 8) & 0xFF),
                          static_cast<unsigned>(value & 0xFF));
    case ValueFormat::Thousandths:
        return TempString("%g", static_cast<double>(signedLow) / 1000.0);
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Reads

bool ReadSettingIntoField(Zel5100UtilDlg& window, int category, const PanelSetting& setting)
{
    uint64_t value = 0;
    ZelResult result;
    if (IsWideFormat(setting.format)) {
        result = ZelReadSetting64(category, setting.setting, &value);
    } else {
        uint32_t narrow = 0;
        result = ZelReadSetting(category, setting.setting, &narrow);
        value = narrow;
    }
    if (setting.store != nullptr)
        window.App().*setting.store = static_cast<int32_t>(static_cast<uint32_t>(value));
    if (result != ZEL_OK) {
        ShowZelError(window.App(), result);
        return false;
    }
    if (TavEdit* field = window.Edit(setting.field))
        field->SetTextFromDevice(FormatValue(setting.format, value));
    PumpPendingMessages();
    return true;
}

bool ReadPanelSettings(Zel5100UtilDlg& window, int category,
                       const std::vector<PanelSetting>& settings)
{
    for (const PanelSetting& setting : settings)
        if (!ReadSettingIntoField(window, category, setting))
            return false;
    return true;
}

bool ReadGatedSetting(Zel5100UtilDlg& window, int category, const PanelSetting& setting,
                      int writeButton, int minFirmware)
{
    const bool offered = window.App().FirmwareVersion >= minFirmware;
    TavEdit* field = window.Edit(setting.field);
    if (offered) {
        if (!ReadSettingIntoField(window, category, setting))
            return false;
    } else if (field != nullptr) {
        field->SetTextFromDevice(QString());
    }
    if (field != nullptr)
        field->EnableField(offered);
    if (QAbstractButton* write = window.Button(writeButton))
        write->setEnabled(offered);
    PumpPendingMessages();
    return true;
}

// ---------------------------------------------------------------------------
// What the operator typed

int64_t ParseEditNumber(const TavEdit* field)
{
    if (field == nullptr)
        return 0;
    const QString text = field->text().left(kMaxFieldText);
    const QString separator = field->ThousandsSeparator.left(3);
    QString digits;
    digits.reserve(text.size());
    for (int at = 0; at < text.size();) {
        // An empty separator removes nothing (and must not stall the scan).
        if (!separator.isEmpty() && QStringView(text).mid(at).startsWith(separator)) {
            at += separator.size();
            continue;
        }
        digits.append(text.at(at));
        ++at;
    }

    int at = 0;
    while (at < digits.size() && digits.at(at).isSpace())
        ++at;
    bool negative = false;
    if (at < digits.size() && (digits.at(at) == QLatin1Char('+') || digits.at(at) == QLatin1Char('-'))) {
        negative = digits.at(at) == QLatin1Char('-');
        ++at;
    }
    // Accumulated as a negative number, whose range reaches the smallest value.
    int64_t value = 0;
    bool overflow = false;
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    for (; at < digits.size(); ++at) {
        const QChar c = digits.at(at);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const int digit = c.unicode() - '0';
        if (value < (kMin + digit) / 10) {
            overflow = true;
            continue;
        }
        value = value * 10 - digit;
    }
    if (overflow)
        return negative ? kMin : std::numeric_limits<int64_t>::max();
    if (negative)
        return value;
    if (value == kMin)
        return std::numeric_limits<int64_t>::max();
    return -value;
}

IpOctets ScanAddressField(const TavEdit* field)
{
    if (field == nullptr)
        return IpOctets();
    return ScanIpOctets(field->text().left(kMaxFieldText).toStdString());
}

// ---------------------------------------------------------------------------
// Write handlers

void PlainWrite(Zel5100UtilDlg& window, int fieldId, int category, int setting)
{
    window.RunExclusive([&window, fieldId, category, setting] {
        TavEdit* field = window.Edit(fieldId);
        const uint32_t value = static_cast<uint32_t>(ParseEditNumber(field));
        ZelResult result = ZelWriteSetting(category, setting, value);
        if (result != ZEL_OK) {
            ShowZelError(window.App(), result);
            return;
        }
        uint32_t readBack = 0;
        result = ZelReadSetting(category, setting, &readBack);
        if (result != ZEL_OK) {
            ShowZelError(window.App(), result);
            return;
        }
        if (field != nullptr)
            field->SetTextFromDevice(FormatValue(ValueFormat::Decimal, readBack));
    });
}

void AddressWrite(Zel5100UtilDlg& window, int fieldId, int category, int setting)
{
    window.RunExclusive([&window, fieldId, category, setting] {
        TavEdit* field = window.Edit(fieldId);
        const uint32_t value = IpOctetsToValue(ScanAddressField(field));
        const ZelResult result = ZelWriteSetting(category, setting, value);
        if (result != ZEL_OK) {
            ShowZelError(window.App(), result);
            return;
        }
        if (field != nullptr) {
            field->Modified = false;
            field->UpdateColors();
        }
    });
}

void GatedWrite(Zel5100UtilDlg& window, int fieldId, int category, int setting, int minFirmware)
{
    window.RunExclusive([&window, fieldId, category, setting, minFirmware] {
        PumpPendingMessages();
        TavEdit* field = window.Edit(fieldId);
        const uint32_t value = static_cast<uint32_t>(ParseEditNumber(field));
        // The refresh may have offered the setting under a firmware read since failed.
        if (window.App().FirmwareVersion < minFirmware)
            return;
        ZelWriteSetting(category, setting, value);
        uint32_t readBack = 0;
        ZelReadSetting(category, setting, &readBack);
        if (field != nullptr)
            field->SetTextFromDevice(FormatValue(ValueFormat::Decimal, readBack));
    });
}

void RebootingWrite(Zel5100UtilDlg& window, int fieldId, int category, int setting,
                    const QString& statusText, const std::function<void()>& extraStep)
{
    window.RunExclusive([&window, fieldId, category, setting, &statusText, &extraStep] {
        window.AwaitingDhcpAddress = false;
        window.SetStatus(statusText);
        PumpPendingMessages();
        const uint32_t value = static_cast<uint32_t>(ParseEditNumber(window.Edit(fieldId)));
        ZelWriteSetting(category, setting, value);
        if (extraStep)
            extraStep();
        window.RebootAndReconnect();
    });
}

void RoutePlainWrite(Zel5100UtilDlg& window, int button, int field, int category, int setting)
{
    window.RouteCommand(button, [&window, field, category, setting] {
        PlainWrite(window, field, category, setting);
    });
}

void RouteAddressWrite(Zel5100UtilDlg& window, int button, int field, int category, int setting)
{
    window.RouteCommand(button, [&window, field, category, setting] {
        AddressWrite(window, field, category, setting);
    });
}

void RouteGatedWrite(Zel5100UtilDlg& window, int button, int field, int category, int setting,
                     int minFirmware)
{
    window.RouteCommand(button, [&window, field, category, setting, minFirmware] {
        GatedWrite(window, field, category, setting, minFirmware);
    });
}

void RouteRebootingWrite(Zel5100UtilDlg& window, int button, int field, int category,
                         int setting, const QString& statusText, std::function<void()> extraStep)
{
    window.RouteCommand(button, [&window, field, category, setting, statusText,
                                 extraStep = std::move(extraStep)] {
        RebootingWrite(window, field, category, setting, statusText, extraStep);
    });
}
