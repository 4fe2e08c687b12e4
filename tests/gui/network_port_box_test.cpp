// The COM port box takes a terminal server's port: a tcp:// name typed and
// finished with Enter connects through the real network link and the panels fill.
#include <QLineEdit>
#include <QTest>
#include <string>

#include "control_ids.h"
#include "main_window_fixture.h"
#include "sim_process.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

class NetworkPortBoxTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window_->OnTimer(1);
        // The application's own opener: the network link itself, not a stand-in.
        app_->PortOpener = [this](const std::string& name) {
            openedPorts_.push_back(name);
            return OpenComPort(&app_->Port, name);
        };
        app_->PortCloser = [this] { CloseComPort(&app_->Port); };
    }
    void TearDown() override
    {
        CloseComPort(&app_->Port);
        MainWindowTest::TearDown();
    }
};

TEST_F(NetworkPortBoxTest, EnterConnectsATcpNameAndThePanelsFill)
{
    SimProcess sim({"--mode", "1", "--listen", "tcp://127.0.0.1:0"});
    const std::string name = sim.FirstLine();
    ASSERT_EQ(name.rfind("tcp://127.0.0.1:", 0), 0u) << sim.Error();

    QLineEdit* text = window_->ComPortBox()->lineEdit();
    text->clear();
    QTest::keyClicks(text, QString::fromStdString(name));
    EXPECT_TRUE(openedPorts_.empty());
    QTest::keyClick(text, Qt::Key_Return);

    EXPECT_EQ(openedPorts_, std::vector<std::string>{name});
    EXPECT_EQ(app_->DeviceMode, 1) << window_->StatusLine()->text().toStdString();
    EXPECT_FALSE(window_->Edit(Idc::Cat81UdpPort)->text().isEmpty());
    EXPECT_EQ(app_->Settings.ReadComPort(), QString::fromStdString(name));
}

}  // namespace
