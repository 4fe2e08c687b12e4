#include "ip_addr_change_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "control_ids.h"
#include "panel_framework.h"
#include "tav_edit.h"
#include "window_change.h"
#include "zel5100util_app.h"
#include "zel_error.h"

namespace {

struct AddressField {
    int field;
    int setting;
};

// In the order the device is written: address, subnet mask, gateway.
constexpr AddressField kAddressFields[] = {
    {IdcChangeIp::IpAddress, ZEL_SET_IP_ADDRESS},
    {IdcChangeIp::Subnet, ZEL_SET_SUBNET_MASK},
    {IdcChangeIp::Gateway, ZEL_SET_GATEWAY},
};

}  // namespace

const char* const IpAddrChangeDlg::ChooseFirstText =
    "Please choose \"Use DHCP\" or \"Use static IP address\" first";

IpAddrChangeDlg::IpAddrChangeDlg(QWidget* parent) : QDialog(parent) {
    Build();
}

IpAddrChangeDlg::IpAddrChangeDlg(Zel5100UtilApp& app, QWidget* parent) : QDialog(parent), app_(&app) {
    Build();
    ReadOpeningSettings();
}

void IpAddrChangeDlg::Build() {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    controls_ = BuildDialog(this, LoadDialogTemplate(QStringLiteral(":/layouts/change_ip_address.layout")));
    if (auto* ok = controls_.As<QPushButton>(IdcChangeIp::Ok))
        connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    if (auto* cancel = controls_.As<QPushButton>(IdcChangeIp::Cancel))
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (QRadioButton* dhcp = Radio(IdcChangeIp::UseDhcp))
        connect(dhcp, &QRadioButton::clicked, this, [this] { OnUseDhcpClicked(); });
    if (QRadioButton* fixed = Radio(IdcChangeIp::UseStatic))
        connect(fixed, &QRadioButton::clicked, this, [this] { OnUseStaticClicked(); });
}

TavEdit* IpAddrChangeDlg::Edit(int id) const {
    return controls_.As<TavEdit>(id);
}
QRadioButton* IpAddrChangeDlg::Radio(int id) const {
    return controls_.As<QRadioButton>(id);
}

void IpAddrChangeDlg::ShowError(ZelResult result) {
    if (app_ != nullptr) ShowZelError(*app_, result);
}

void IpAddrChangeDlg::ReadOpeningSettings() {
    addressesWritten = false;
    uint32_t dhcp = 0;
    ZelResult result = ZelReadSetting(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED, &dhcp);
    if (result != ZEL_OK) {
        ShowError(result);
        return;
    }
    dhcpAtOpen = dhcp == 1;
    dhcpKnown_ = true;
    if (!dhcpAtOpen) {
        IpOctets* const opening[] = {&openAddress, &openSubnet, &openGateway};
        for (int i = 0; i < 3; ++i) {
            uint32_t value = 0;
            result = ZelReadSetting(ZEL_CAT_NETWORK, kAddressFields[i].setting, &value);
            if (result != ZEL_OK) {
                ShowError(result);
                return;
            }
            *opening[i] = IpOctetsFromValue(value);
        }
    }
    if (dhcpAtOpen) {
        Radio(IdcChangeIp::UseDhcp)->setChecked(true);
        SetStaticControlsEnabled(false);
    } else {
        Radio(IdcChangeIp::UseStatic)->setChecked(true);
        SetStaticControlsEnabled(true);
        FillAddressEdits();
    }
}

void IpAddrChangeDlg::SetStaticControlsEnabled(bool enabled) {
    for (int id : {IdcChangeIp::Gateway, IdcChangeIp::IpAddress, IdcChangeIp::Subnet})
        if (TavEdit* field = Edit(id)) field->EnableField(enabled);
    for (int id : {IdcChangeIp::StaticGroup, IdcChangeIp::GatewayLabel, IdcChangeIp::IpAddressLabel,
                   IdcChangeIp::SubnetLabel})
        if (QWidget* control = ControlById(id)) control->setEnabled(enabled);
}

void IpAddrChangeDlg::FillAddressEdits() {
    for (const AddressField& address : kAddressFields) {
        uint32_t value = 0;
        const ZelResult result = ZelReadSetting(ZEL_CAT_NETWORK, address.setting, &value);
        if (result != ZEL_OK) {
            ShowError(result);
            return;
        }
        if (TavEdit* field = Edit(address.field)) field->SetTextFromDevice(FormatDottedAddress(value));
    }
}

void IpAddrChangeDlg::OnUseDhcpClicked() {
    SetStaticControlsEnabled(!Radio(IdcChangeIp::UseDhcp)->isChecked());
}

void IpAddrChangeDlg::OnUseStaticClicked() {
    SetStaticControlsEnabled(Radio(IdcChangeIp::UseStatic)->isChecked());
    // The device's values replace whatever was typed.
    FillAddressEdits();
}

IpOctets IpAddrChangeDlg::ScanField(int field) const {
    return ScanAddressField(Edit(field));
}

QString IpAddrChangeDlg::OpeningText(int setting) const {
    if (setting == ZEL_SET_DHCP_ENABLED) return dhcpKnown_ ? QString::number(dhcpAtOpen ? 1 : 0) : QString();
    const IpOctets* const opening[] = {&openAddress, &openSubnet, &openGateway};
    for (int i = 0; i < 3; ++i) {
        const IpOctets& was = *opening[i];
        if (kAddressFields[i].setting == setting && was.o0 >= 0)
            return FormatDottedAddress(IpOctetsToValue(was));
    }
    return QString();
}

bool IpAddrChangeDlg::WriteSetting(int setting, uint32_t value) {
    WindowChange change(app_, UnitSerial, "write", ZEL_CAT_NETWORK, setting, OpeningText(setting));
    const ZelResult result = ZelWriteSetting(ZEL_CAT_NETWORK, setting, value);
    change.Written(value, result);
    if (result != ZEL_OK) {
        ShowError(result);
        return false;
    }
    return true;
}

void IpAddrChangeDlg::OnOk() {
    const bool useDhcp = Radio(IdcChangeIp::UseDhcp)->isChecked();
    if (!useDhcp && !Radio(IdcChangeIp::UseStatic)->isChecked()) {
        // The device could not be read at opening: nothing is written until
        // the operator has said what the device is to use.
        if (app_ != nullptr) app_->ShowMessage(QString::fromUtf8(ChooseFirstText));
        return;
    }

    if (useDhcp) {
        if (!dhcpAtOpen) {
            if (!WriteSetting(ZEL_SET_DHCP_ENABLED, 1)) return;
            addressesWritten = true;
        }
        accept();
        return;
    }

    if (dhcpAtOpen || !dhcpKnown_) {
        // From DHCP to a static address: all three are written and the device
        // leaves DHCP on its own when it is given an address. When its state
        // could not be read at opening, DHCP off is written as well, since the
        // operator has asked for a static address whatever the device holds.
        for (const AddressField& address : kAddressFields)
            if (!WriteSetting(address.setting, IpOctetsToValue(ScanField(address.field)))) return;
        if (!dhcpKnown_ && !WriteSetting(ZEL_SET_DHCP_ENABLED, 0)) return;
        addressesWritten = true;
        accept();
        return;
    }

    // A static address kept or changed: only what differs from the opening values.
    const IpOctets* const opening[] = {&openAddress, &openSubnet, &openGateway};
    for (int i = 0; i < 3; ++i) {
        const IpOctets typed = ScanField(kAddressFields[i].field);
        const IpOctets& was = *opening[i];
        if (!IpOctetsDiffer(typed, was.o0, was.o1, was.o2, was.o3)) continue;
        if (!WriteSetting(kAddressFields[i].setting, IpOctetsToValue(typed))) return;
        addressesWritten = true;
    }
    accept();
}
