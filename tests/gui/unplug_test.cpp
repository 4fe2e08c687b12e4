// The cable is pulled in the middle of work: the operation ends with its error,
// the window stays usable, and once the device is back choosing the port again
// brings everything back.
#include <QAbstractButton>

#include "control_ids.h"
#include "firmware_builder.h"
#include "sim_window_fixture.h"
#include "upgrade_buttons.h"
#include "zel_protocol.h"

namespace {

class UnplugTest : public SimWindowTest {
protected:
    // From the moment `requests` frames have gone out, the device hears nothing.
    void PullTheCableAfter(int requests) {
        const int start = TransmitCount();
        onPump_ = [this, start, requests] {
            if (TransmitCount() - start >= requests) MuteAll();
        };
    }

    // The operator picks the port again with the device back on the line.
    void PlugBackIn() {
        onPump_ = nullptr;
        Unmute();
        messages_.clear();
        window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB1"));
        window_->ConnectComPort();
    }

    const QString rxFailed = QString::fromStdString(ZelErrorMessage(ZEL_E_RX_FAILED));
};

TEST_F(UnplugTest, MidRefreshTheErrorIsShownAndTheWindowComesBackWithThePort) {
    Connect(SimConfig());
    ASSERT_EQ(app_->DeviceMode, 1);
    PullTheCableAfter(3);
    window_->OnCommand(Idc::RefreshAll);

    ASSERT_FALSE(messages_.isEmpty());
    EXPECT_EQ(messages_.front(), rxFailed);
    EXPECT_FALSE(window_->Busy);
    EXPECT_EQ(transmitsInsidePumps_, 0);

    PlugBackIn();
    EXPECT_EQ(app_->DeviceMode, 1);
    window_->OnCommand(Idc::RefreshAll);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_FALSE(window_->Edit(Idc::Cat81UdpPort)->text().isEmpty());
    EXPECT_FALSE(window_->Edit(Idc::Cat1Type)->text().isEmpty());
}

TEST_F(UnplugTest, MidUpgradeTheTransferFailsAndTheSameFileGoesThroughAfterwards) {
    SimConfig config;
    config.countersMove = false;
    Connect(config);
    FirmwareSpec recipe;
    recipe.imageSize = 8 * 1024;
    recipe.randomPayload = true;
    const std::vector<uint8_t> image = BuildFirmwareFile(recipe);
    TempFile file(image);
    FirmwareUpgradeButtons::Of(*window_)->ChooseFile = [&file](QWidget*) {
        return QString::fromStdString(file.path());
    };
    window_->OnCommand(Idc::FirmwareSelect);
    std::vector<std::vector<uint8_t>> finished;
    device_->OnImageFinished([&finished](const std::vector<uint8_t>& got) { finished.push_back(got); });

    PullTheCableAfter(6);  // a few parts in
    window_->Button(Idc::FirmwareUpgrade)->click();
    EXPECT_EQ(messages_, QStringList{rxFailed});
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Error while upgrading firmware"));
    EXPECT_TRUE(finished.empty());
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
    EXPECT_FALSE(window_->Busy);

    PlugBackIn();
    ASSERT_EQ(app_->DeviceMode, 1);
    window_->Button(Idc::FirmwareUpgrade)->click();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0], image);
    EXPECT_EQ(app_->DeviceMode, 1);
}

}  // namespace
