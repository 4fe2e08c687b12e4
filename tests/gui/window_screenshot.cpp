// Draws the main window offscreen into a PNG:
//   zel_window_screenshot OUTPUT.png [--filled | --live [MODE] | --about | --change-ip]
// --filled puts sample values into every field, enabled, to check that they fit;
// --live connects the window to the simulated device (in process, virtual time)
// in operational mode MODE (1 unless given) and draws what it read;
// --about and --change-ip draw those dialogs instead of the main window.
#include <QAbstractButton>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "about_dlg.h"
#include "ip_addr_change_dlg.h"
#include "version.h"

#include "cat1_panel.h"
#include "cat2_panel.h"
#include "cat3_panel.h"
#include "cat81_panel.h"
#include "cat82_panel.h"
#include "cat83_panel.h"
#include "cat84_panel.h"
#include "control_ids.h"
#include "gui_test_support.h"
#include "main_window_parts.h"
#include "sim_clock.h"
#include "sim_device.h"
#include "sim_transport.h"
#include "tav_combo.h"
#include "tav_edit.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zel_window_screenshot OUTPUT.png [--filled]\n");
        return 2;
    }
    PrepareGuiEnvironment();
    QApplication application(argc, argv);
    ConfigureApplication(application);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString output = QString::fromLocal8Bit(argv[1]);
    if (mode == QLatin1String("--about") || mode == QLatin1String("--change-ip")) {
        std::unique_ptr<QDialog> dialog;
        if (mode == QLatin1String("--about"))
            dialog = std::make_unique<AboutDlg>(GetFileVersionString());
        else
            dialog = std::make_unique<IpAddrChangeDlg>();
        dialog->show();
        QApplication::processEvents();
        return dialog->grab().save(output, "PNG") ? 0 : 1;
    }

    if (mode == QLatin1String("--live")) {
        SimConfig config;
        config.mode = argc > 3 ? std::atoi(argv[3]) : 1;
        VirtualClock clock;
        SimDevice device(config, clock);
        SimTransport transport(device, clock);
        transport.SetPump([] { QApplication::processEvents(); });
        Zel5100UtilApp app;
        app.PortNames = {QStringLiteral("/dev/ttyUSB0")};
        app.PortOpener = [&transport](const std::string&) {
            transport.Install();
            return 0;
        };
        app.PortCloser = [] {};
        Zel5100UtilDlg window(app);
        ComposeMainWindow(window);
        window.show();
        window.OnTimer(1);
        QApplication::processEvents();
        const bool saved = window.grab().save(output, "PNG");
        transport.Uninstall();
        if (!saved) std::fprintf(stderr, "zel_window_screenshot: cannot write %s\n", argv[1]);
        return saved ? 0 : 1;
    }

    Zel5100UtilApp app;
    app.PortOpener = [](const std::string&) { return 0; };
    app.PortCloser = [] {};
    Zel5100UtilDlg window(app);
    ComposeMainWindow(window);
    window.show();
    window.ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB0"));
    window.SetStatus(QStringLiteral("Try to read operational mode (cat 2, setting 1) - Attempt 1"));

    if (mode == QLatin1String("--filled")) {
        window.SetStatus(QStringLiteral("OK"));
        for (const PanelControls* panel : {&Cat1Panel(), &Cat2Panel(), &Cat3Panel(), &Cat81Panel(),
                                           &Cat82Panel(), &Cat83Panel(), &Cat84Panel()}) {
            window.Button(panel->refreshButton)->setEnabled(true);
            for (const PanelField& field : panel->fields) {
                TavEdit* edit = window.Edit(field.field);
                edit->EnableField(true);
                edit->SetTextFromDevice(QStringLiteral("188"));
                if (field.writeButton != 0) window.Button(field.writeButton)->setEnabled(true);
            }
        }
        const std::pair<int, const char*> values[] = {
            {Idc::Cat1FpgaVersion, "v3"},
            {Idc::Cat1HardwareVersion, "v2"},
            {Idc::Cat1FirmwareVersion, "v2.3"},
            {Idc::Cat1SerialNumber, "1.002.345"},
            {Idc::Cat1Type, "ZEL-5100"},
            {Idc::Cat2Mode, "1"},
            {Idc::Cat2Application, "1"},
            {Idc::Cat2VolatileStorage, "0"},
            {Idc::Cat3IpAddress, "192.168.100.200"},
            {Idc::Cat3Subnet, "255.255.255.0"},
            {Idc::Cat3Gateway, "192.168.100.1"},
            {Idc::Cat3DhcpEnabled, "0"},
            {Idc::Cat3MacAddress, "02.00.00.12.34.56"},
            {Idc::Cat81MulticastAddress, "239.100.200.123"},
            {Idc::Cat81LostAfterFec, "5000000000"},
            {Idc::Cat81Bitrate, "38000000"},
            {Idc::Cat81DelayFactor, "1234.57"},
            {Idc::Cat82DestinationIp, "239.100.200.123"},
            {Idc::Cat83TsRate, "38000000"},
            {Idc::Cat83ValidCount, "123456789"},
            {Idc::Cat84TsRate, "38000000"},
            {Idc::FirmwareParts, "1234"},
            {Idc::FirmwareFile, "/home/operator/firmware/zel5100_v2_3.zel"},
        };
        for (const auto& [id, text] : values)
            window.Edit(id)->SetTextFromDevice(QString::fromUtf8(text));
        // One field as the operator left it after typing.
        window.Edit(Idc::Cat81UdpPort)->setText(QStringLiteral("5004"));
    }

    QApplication::processEvents();
    if (!window.grab().save(output, "PNG")) {
        std::fprintf(stderr, "zel_window_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
