#include "panel_framework.h"

#include <QAbstractButton>
#include <cstdio>
#include <cstdlib>

#include "control_ids.h"
#include "message_pump.h"
#include "tav_edit.h"
#include "window_change.h"
#include "window_host.h"
#include "zel5100util_app.h"
#include "zel_error.h"

namespace {

// A value field's text is read into a 100-character buffer.
constexpr int kMaxFieldText = 99;

QString FieldText(const SettingView& view, uint64_t value) {
    return QString::fromStdString(FormatSetting(view, value));
}

// The value's bytes as the setting's size keeps them.
uint64_t InSettingSize(const SettingView& view, uint64_t value) {
    const int size = ZelTypeSize(view.type);
    return size >= 8 ? value : value & ((uint64_t(1) << (8 * size)) - 1);
}

}  // namespace

PanelControls MakePanel(int category, int refreshButton, std::initializer_list<PanelRow> rows,
                        void (*afterRead)(WindowHost&, int)) {
    const PanelView* model = FindPanel(category);
    PanelControls panel{category, refreshButton, {}, afterRead};
    if (model != nullptr) {
        for (const SettingView& view : model->settings)
            for (const PanelRow& row : rows)
                if (QLatin1String(row.name) == QLatin1String(view.name))
                    panel.fields.push_back({&view, row.field, row.writeButton, row.store});
    }
    if (model == nullptr || panel.fields.size() != rows.size()) {
        std::fprintf(stderr, "panel 0x%02X names a setting the model does not have\n", unsigned(category));
        std::abort();
    }
    return panel;
}

bool PanelUsable(WindowHost& window, const PanelControls& panel) {
    const PanelView* model = FindPanel(panel.category);
    return model != nullptr && PanelUsable(*model, window.App().DeviceMode);
}

void ResetPanel(WindowHost& window, const PanelControls& panel) {
    for (const PanelField& field : panel.fields)
        if (TavEdit* edit = window.Edit(field.field)) edit->SetTextFromDevice(QString());
    const bool enabled = PanelUsable(window, panel);
    if (QAbstractButton* refresh = window.Button(panel.refreshButton)) refresh->setEnabled(enabled);
    for (const PanelField& field : panel.fields) {
        if (TavEdit* edit = window.Edit(field.field)) edit->EnableField(enabled);
        if (field.writeButton != 0)
            if (QAbstractButton* write = window.Button(field.writeButton)) write->setEnabled(enabled);
    }
    PumpPendingMessages();
}

QString FormatDottedAddress(uint32_t value) {
    return QString::fromStdString(FormatAddress(value));
}

// ---------------------------------------------------------------------------
// Reads

bool ReadSettingIntoField(WindowHost& window, const PanelField& field) {
    const SettingView& view = *field.view;
    uint64_t value = 0;
    ZelResult result;
    if (IsWideSetting(view)) {
        result = ZelReadSetting64(view.category, view.setting, &value);
    } else {
        uint32_t narrow = 0;
        result = ZelReadSetting(view.category, view.setting, &narrow);
        value = narrow;
    }
    if (field.store != nullptr)
        window.App().*field.store = static_cast<int32_t>(static_cast<uint32_t>(value));
    if (result != ZEL_OK) {
        ShowZelError(window.App(), result);
        return false;
    }
    if (TavEdit* edit = window.Edit(field.field)) edit->SetTextFromDevice(FieldText(view, value));
    PumpPendingMessages();
    return true;
}

namespace {

// A setting offered only from some firmware on: read and shown when the
// firmware has it, else emptied; then its field and write button are enabled
// only when offered. A failed read ends it (false) with the field empty and
// still enabled, as the reset left it.
bool ReadGatedSetting(WindowHost& window, const PanelField& field) {
    const bool offered = SettingOffered(*field.view, window.App().FirmwareVersion);
    TavEdit* edit = window.Edit(field.field);
    if (offered) {
        if (!ReadSettingIntoField(window, field)) return false;
    } else if (edit != nullptr) {
        edit->SetTextFromDevice(QString());
    }
    if (edit != nullptr) edit->EnableField(offered);
    if (QAbstractButton* write = window.Button(field.writeButton)) write->setEnabled(offered);
    PumpPendingMessages();
    return true;
}

}  // namespace

bool RefreshPanel(WindowHost& window, const PanelControls& panel) {
    ResetPanel(window, panel);
    if (!PanelUsable(window, panel)) return false;
    for (const PanelField& field : panel.fields) {
        const bool read = field.view->minFirmware != 0 ? ReadGatedSetting(window, field)
                                                       : ReadSettingIntoField(window, field);
        if (!read) return false;
        if (panel.afterRead != nullptr) panel.afterRead(window, field.view->setting);
    }
    return true;
}

// ---------------------------------------------------------------------------
// What the operator typed

int64_t ParseEditNumber(const TavEdit* field) {
    if (field == nullptr) return 0;
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
    // Leading white space of any kind goes here; the scan stops at the first
    // character that is not part of the number, so the rest does not matter.
    return ScanTypedNumber(digits.trimmed().toStdString());
}

IpOctets ScanAddressField(const TavEdit* field) {
    if (field == nullptr) return IpOctets();
    return ScanIpOctets(field->text().left(kMaxFieldText).toStdString());
}

// ---------------------------------------------------------------------------
// Write handlers

QString UnitSerialText(const WindowHost& window) {
    return DeviceTextOf(window.Edit(Idc::Cat1SerialNumber));
}

QString DeviceTextOf(const TavEdit* field) {
    return field != nullptr ? field->DeviceText : QString();
}

QString KeptAnotherValueText(const SettingView& view, uint64_t held, uint64_t written) {
    return QStringLiteral("The unit kept %1 instead of %2")
        .arg(FieldText(view, held), FieldText(view, written));
}

void PlainWrite(WindowHost& window, const PanelField& target) {
    window.RunExclusive([&window, &target] {
        const SettingView& view = *target.view;
        TavEdit* field = window.Edit(target.field);
        const uint32_t value = static_cast<uint32_t>(ParseEditNumber(field));
        WindowChange change(&window.App(), UnitSerialText(window), "write", view.category, view.setting,
                            DeviceTextOf(field));
        ZelResult result = ZelWriteSetting(view.category, view.setting, value);
        change.Written(value, result);
        if (result != ZEL_OK) {
            ShowZelError(window.App(), result);
            return;
        }
        uint32_t readBack = 0;
        result = ZelReadSetting(view.category, view.setting, &readBack);
        if (result != ZEL_OK) {
            ShowZelError(window.App(), result);
            return;
        }
        if (field != nullptr) field->SetTextFromDevice(FieldText(view, readBack));
        const uint64_t written = InSettingSize(view, value);
        if (readBack != written) window.SetStatus(KeptAnotherValueText(view, readBack, written));
    });
}

void AddressWrite(WindowHost& window, const PanelField& target) {
    window.RunExclusive([&window, &target] {
        TavEdit* field = window.Edit(target.field);
        const uint32_t value = IpOctetsToValue(ScanAddressField(field));
        WindowChange change(&window.App(), UnitSerialText(window), "write", target.view->category,
                            target.view->setting, DeviceTextOf(field));
        const ZelResult result = ZelWriteSetting(target.view->category, target.view->setting, value);
        change.Written(value, result);
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

void GatedWrite(WindowHost& window, const PanelField& target) {
    window.RunExclusive([&window, &target] {
        const SettingView& view = *target.view;
        PumpPendingMessages();
        TavEdit* field = window.Edit(target.field);
        const uint32_t value = static_cast<uint32_t>(ParseEditNumber(field));
        // The refresh may have offered the setting under a firmware read since failed.
        if (!SettingOffered(view, window.App().FirmwareVersion)) return;
        WindowChange change(&window.App(), UnitSerialText(window), "write", view.category, view.setting,
                            DeviceTextOf(field));
        const ZelResult written = ZelWriteSetting(view.category, view.setting, value);
        change.Written(value, written);
        uint32_t readBack = 0;
        const ZelResult read = ZelReadSetting(view.category, view.setting, &readBack);
        if (field != nullptr) field->SetTextFromDevice(FieldText(view, readBack));
        if (written == ZEL_OK && read == ZEL_OK && readBack != InSettingSize(view, value))
            window.SetStatus(KeptAnotherValueText(view, readBack, InSettingSize(view, value)));
    });
}

void RebootingWrite(WindowHost& window, const PanelField& target) {
    window.RunExclusive([&window, &target] {
        const SettingView& view = *target.view;
        window.AwaitingDhcpAddress = false;
        window.SetStatus(QStringLiteral("Writing to %1 - Unit will reboot").arg(QLatin1String(view.caption)));
        PumpPendingMessages();
        TavEdit* field = window.Edit(target.field);
        const uint32_t value = static_cast<uint32_t>(ParseEditNumber(field));
        WindowChange change(&window.App(), UnitSerialText(window), "write", view.category, view.setting,
                            DeviceTextOf(field));
        change.Written(value, ZelWriteSetting(view.category, view.setting, value));
        // What the unit now holds is what it restarts in (the mode decides the panels).
        if (target.store != nullptr) {
            uint32_t held = 0;
            ZelReadSetting(view.category, view.setting, &held);
            window.App().*target.store = static_cast<int32_t>(held);
        }
        window.RebootAndReconnect();
    });
}

void RoutePanel(WindowHost& window, const PanelControls& panel) {
    window.RouteCommand(panel.refreshButton, [&window, &panel] {
        window.RunExclusive([&window, &panel] { RefreshPanel(window, panel); });
    });
    for (const PanelField& field : panel.fields) {
        if (field.writeButton == 0) continue;
        void (*write)(WindowHost&, const PanelField&) = nullptr;
        switch (field.view->write) {
            case WriteKind::Plain: write = field.view->minFirmware != 0 ? &GatedWrite : &PlainWrite; break;
            case WriteKind::Address: write = &AddressWrite; break;
            case WriteKind::Restart: write = &RebootingWrite; break;
            case WriteKind::None:
            case WriteKind::Network: break;
        }
        if (write != nullptr)
            window.RouteCommand(field.writeButton, [&window, &field, write] { write(window, field); });
    }
}
