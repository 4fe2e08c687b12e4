// IpAddrChangeDlg: the Change IP Address dialog (dialog template 135), where
// the operator chooses between DHCP and a static address. OK writes what
// changed to the device; the caller reboots it when anything was written.
#pragma once

#include <QDialog>

#include "dialog_builder.h"
#include "ip_octets.h"
#include "zel_protocol.h"

class QRadioButton;
class TavEdit;
class Zel5100UtilApp;

class IpAddrChangeDlg : public QDialog {
    Q_OBJECT

public:
    // The dialog's controls alone, without a device (layout pictures).
    explicit IpAddrChangeDlg(QWidget* parent = nullptr);
    // Reads the device's DHCP setting and, without DHCP, its addresses, and
    // sets the dialog up from them. A failed read is shown and leaves every
    // control enabled with neither choice made.
    IpAddrChangeDlg(Zel5100UtilApp& app, QWidget* parent);

    QWidget* ControlById(int id) const { return controls_.Control(id); }
    TavEdit* Edit(int id) const;
    QRadioButton* Radio(int id) const;

    // The three address fields, their labels and their group.
    void SetStaticControlsEnabled(bool enabled);
    // Shows the device's address, subnet mask and gateway in the fields; stops
    // at the first failed read (shown), leaving the later fields as they were.
    void FillAddressEdits();

    void OnUseDhcpClicked();
    void OnUseStaticClicked();
    // Writes the choice; closes when every write needed succeeded, stays open
    // (with the failure shown) otherwise.
    void OnOk();

    // The text shown when OK is pressed before either choice was made (only
    // after the device could not be read at opening).
    static const char* const ChooseFirstText;

    // The unit's serial number as the window shows it, for the change log.
    QString UnitSerial;

    // Something was written to the device (the Change button then reboots it).
    bool addressesWritten = false;
    // The device had DHCP enabled when the dialog opened. False when that
    // could not be read: OK then writes everything the operator's choice
    // needs (DHCP on, or all three addresses and DHCP off).
    bool dhcpAtOpen = false;
    // The static addresses at opening; every octet -1 when not read.
    IpOctets openAddress;
    IpOctets openSubnet;
    IpOctets openGateway;

private:
    void Build();
    void ReadOpeningSettings();
    IpOctets ScanField(int field) const;
    // Writes a network setting; false, with the failure shown, when it fails.
    bool WriteSetting(int setting, uint32_t value);
    // A setting's value when the dialog opened, for the change log; empty when not read.
    QString OpeningText(int setting) const;
    void ShowError(ZelResult result);

    Zel5100UtilApp* app_ = nullptr;
    bool dhcpKnown_ = false;  // the opening read of DHCP enabled succeeded
    DialogControls controls_;
};
