// The window on a simulator process reached through a real ser2net: it finds the
// unit and fills its panels as it does on the terminal itself.
#include <map>
#include <memory>
#include <utility>

#include "com_port.h"
#include "main_window_fixture.h"
#include "panel_framework.h"
#include "panels.h"
#include "ser2net_server.h"
#include "settings_model.h"
#include "sim_process.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

using Texts = std::map<std::pair<int, int>, std::string>;

class TerminalServerWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The real opener: the name goes to the serial code as the operator typed it.
        app_->PortOpener = [this](const std::string& name) { return OpenComPort(&app_->Port, name); };
        app_->PortCloser = [this] { CloseComPort(&app_->Port); };
    }

    // Connects the window to `name` and takes every field of every usable panel.
    Texts ConnectAndRead(const std::string& name) {
        messages_.clear();
        window_->ComPortBox()->setEditText(QString::fromStdString(name));
        window_->ConnectComPort();
        Texts texts;
        if (app_->DeviceMode < 0) return texts;
        for (const PanelControls* panel : AllPanelControls()) {
            if (!PanelUsable(*FindPanel(panel->category), app_->DeviceMode)) continue;
            for (const PanelField& field : panel->fields)
                texts[{field.view->category, field.view->setting}] =
                    window_->Edit(field.field)->text().toStdString();
        }
        return texts;
    }
};

TEST_F(TerminalServerWindowTest, TheUnitIsFoundAndItsPanelsFilledThroughSer2net) {
    if (Ser2netPath().empty()) GTEST_SKIP() << "ser2net is not installed (scripts/install-deps)";
    SimProcess sim({"--still-counters"});
    const std::string terminal = sim.FirstLine();
    ASSERT_FALSE(terminal.empty()) << sim.Error();
    const Texts direct = ConnectAndRead(terminal);
    ASSERT_EQ(app_->DeviceMode, 1) << messages_.join("|").toStdString();
    ASSERT_FALSE(direct.empty());
    app_->ClosePort();

    for (Ser2netMode mode : {Ser2netMode::kRaw, Ser2netMode::kRfc2217}) {
        Ser2netServer server({mode, terminal});
        ASSERT_TRUE(server.Ready()) << server.Error();
        app_->DeviceMode = -3;
        const Texts networked = ConnectAndRead(server.PortName());
        EXPECT_EQ(app_->DeviceMode, 1) << server.PortName() << ": " << messages_.join("|").toStdString();
        EXPECT_EQ(networked, direct) << server.PortName();
        app_->ClosePort();
    }
}

}  // namespace
