// The category panels against the simulated device: what a refresh reads and
// shows, the four kinds of write handler with what goes on the wire, the
// firmware gates, and the parsing and display formats they share.
#include <QAbstractButton>
#include <algorithm>
#include <limits>
#include <optional>
#include <ostream>

#include "control_ids.h"
#include "ip_octets.h"
#include "panel_framework.h"
#include "sim_window_fixture.h"
#include "tav_colors.h"
#include "tav_edit.h"

namespace {

const QString kErrorPrefix = QStringLiteral(
    "An error occurred during communication with the ZEL-51xx device.\nZelHandler error code: ");

// ---------------------------------------------------------------------------
// Formats, parsing and addresses (no device)

struct FormatCase {
    ValueFormat format;
    uint64_t value;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << static_cast<int>(c.format) << ":" << c.value;
}

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, ShowsTheValueAsTheFieldExpects) {
    EXPECT_EQ(FormatValue(GetParam().format, GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Panels, FormatTest,
                         testing::Values(FormatCase{ValueFormat::Unsigned, 188, "188"},
                                         // A 4-byte counter with its top bit set is still a positive count.
                                         FormatCase{ValueFormat::Unsigned, 0x80000005u, "2147483653"},
                                         FormatCase{ValueFormat::Unsigned, 0xFFFF, "65535"},
                                         FormatCase{ValueFormat::Unsigned, 5000000000ULL, "5000000000"},
                                         FormatCase{ValueFormat::Address, 0xC0A8000A, "192.168.0.10"},
                                         FormatCase{ValueFormat::Version, 3, "v3"},
                                         FormatCase{ValueFormat::VersionTenths, 14, "v1.4"},
                                         FormatCase{ValueFormat::VersionTenths, 23, "v2.3"},
                                         FormatCase{ValueFormat::SerialNumber, 1002345, "1.002.345"},
                                         FormatCase{ValueFormat::SerialNumber, 0xFFFFFFFFu, "4294.967.295"},
                                         FormatCase{ValueFormat::DeviceType, 5100, "ZEL-5100"},
                                         FormatCase{ValueFormat::Mac, 0x020000123456ULL, "02.00.00.12.34.56"},
                                         FormatCase{ValueFormat::Mac, 0xFFFF00AABBCCDDEEULL,
                                                    "00.AA.BB.CC.DD.EE"},
                                         FormatCase{ValueFormat::Thousandths, 12500, "12.5"},
                                         FormatCase{ValueFormat::Thousandths, 1000000, "1000"},
                                         FormatCase{ValueFormat::Thousandths, 1234567, "1234.57"}));

struct ParseCase {
    const char* separator;
    const char* text;
    int64_t value;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << "'" << c.text << "' sep '" << c.separator << "'";
}

class ParseEditNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseEditNumberTest, RemovesTheThousandsSeparatorAndReadsASignedNumber) {
    TavEdit field;
    field.ThousandsSeparator = QString::fromUtf8(GetParam().separator);
    field.setText(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(ParseEditNumber(&field), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, ParseEditNumberTest,
    testing::Values(ParseCase{",", "1,024", 1024}, ParseCase{",", "", 0}, ParseCase{",", "12.7", 12},
                    ParseCase{".", "12.7", 127}, ParseCase{"", "1,024", 1},
                    ParseCase{"\u00a0", "1\u00a0234\u00a0567", 1234567},
                    ParseCase{"'", "1'000'000'000'000", 1000000000000LL}, ParseCase{",", "  -42 apples", -42},
                    ParseCase{",", "+7", 7}, ParseCase{",", "abc", 0}, ParseCase{",", "- 5", 0},
                    ParseCase{",", "9223372036854775807", std::numeric_limits<int64_t>::max()},
                    ParseCase{",", "99999999999999999999", std::numeric_limits<int64_t>::max()},
                    ParseCase{",", "-9223372036854775808", std::numeric_limits<int64_t>::min()},
                    ParseCase{",", "-99999999999999999999", std::numeric_limits<int64_t>::min()},
                    // Only the first 99 characters count.
                    ParseCase{",",
                              "                                                  "
                              "                                                 7",
                              0},
                    ParseCase{",",
                              "                                                  "
                              "                                                7",
                              7}));

TEST(ParseEditNumber, NoFieldGivesZero) {
    EXPECT_EQ(ParseEditNumber(nullptr), 0);
}

struct ScanCase {
    const char* text;
    IpOctets octets;
    uint32_t packed;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << "'" << c.text << "'";
}

class AddressScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(AddressScanTest, ScansWhatWasTypedAndPacksTheLowBitsOfEachOctet) {
    const IpOctets octets = ScanIpOctets(GetParam().text);
    EXPECT_EQ(octets.o0, GetParam().octets.o0);
    EXPECT_EQ(octets.o1, GetParam().octets.o1);
    EXPECT_EQ(octets.o2, GetParam().octets.o2);
    EXPECT_EQ(octets.o3, GetParam().octets.o3);
    EXPECT_EQ(IpOctetsToValue(octets), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(Panels, AddressScanTest,
                         testing::Values(ScanCase{"192.168.0.10", {192, 168, 0, 10}, 0xC0A8000A},
                                         ScanCase{"10.0.0", {10, 0, 0, -1}, 0x0A0000FF},
                                         ScanCase{"192.168.1.300", {192, 168, 1, 300}, 0xC0A8012C},
                                         ScanCase{"", {-1, -1, -1, -1}, 0xFFFFFFFF},
                                         ScanCase{" 1. +2.\t3.4", {1, 2, 3, 4}, 0x01020304},
                                         // A blank before a dot is a mismatch: the scan stops.
                                         ScanCase{"1 .2.3.4", {1, -1, -1, -1}, 0x01FFFFFF},
                                         ScanCase{"-1.256.0.0", {-1, 256, 0, 0}, 0xFF000000},
                                         ScanCase{"10.x.0.1", {10, -1, -1, -1}, 0x0AFFFFFF},
                                         ScanCase{"99999999999.1.2.3", {2147483647, 1, 2, 3}, 0xFF010203}));

TEST(IpOctets, OperationsOnAnAddress) {
    const IpOctets octets = IpOctetsFromValue(0xA9FE3456);
    EXPECT_TRUE(IpOctetsEqual(octets, 169, 254, 52, 86));
    EXPECT_FALSE(IpOctetsDiffer(octets, 169, 254, 52, 86));
    EXPECT_TRUE(IpOctetsDiffer(octets, 169, 254, 52, 87));
    EXPECT_TRUE(IsLinkLocal(octets));
    EXPECT_FALSE(IsLinkLocal(IpOctetsFromValue(0xA9FF0001)));
    EXPECT_EQ(IpOctetsToValue(octets), 0xA9FE3456u);
    EXPECT_EQ(FormatDottedAddress(0xA9FE3456), QStringLiteral("169.254.52.86"));
}

// ---------------------------------------------------------------------------
// Against the device

class PanelsTest : public SimWindowTest {
protected:
    void ConnectInMode(int mode, int firmware = 23) {
        SimConfig config;
        config.mode = mode;
        config.firmwareVersion = firmware;
        config.countersMove = false;
        Connect(config);
        ASSERT_EQ(app_->DeviceMode, mode);
        ASSERT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
        ClearWire();
    }

    QString Text(int field) const { return window_->Edit(field)->text(); }
    QColor Color(int field) const { return window_->Edit(field)->CurrentColor(); }
};

TEST_F(PanelsTest, DeviceValuesInEveryFormat) {
    SimConfig config;
    config.firmwareVersion = 14;
    config.countersMove = false;
    StartDevice(config);
    device_->SetValue(0x81, 8, 5000000000ULL);
    device_->SetValue(0x81, 19, 0x80000005u);
    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB0"));
    window_->ConnectComPort();

    EXPECT_EQ(Text(Idc::Cat1FpgaVersion), QStringLiteral("v7"));
    EXPECT_EQ(Text(Idc::Cat1HardwareVersion), QStringLiteral("v3"));
    EXPECT_EQ(Text(Idc::Cat1FirmwareVersion), QStringLiteral("v1.4"));
    EXPECT_EQ(Text(Idc::Cat1SerialNumber), QStringLiteral("1.002.345"));
    EXPECT_EQ(Text(Idc::Cat1Type), QStringLiteral("ZEL-5100"));
    EXPECT_EQ(app_->FpgaVersion, 7);
    EXPECT_EQ(app_->HardwareVersion, 3);
    EXPECT_EQ(app_->FirmwareVersion, 14);
    EXPECT_EQ(Text(Idc::Cat2Mode), QStringLiteral("1"));
    EXPECT_EQ(Text(Idc::Cat81LostAfterFec), QStringLiteral("5000000000"));
    EXPECT_EQ(Text(Idc::Cat81MulticastAddress), QStringLiteral("239.1.2.3"));
    // A bit rate of 2^31 or more is a bit rate, never a negative number.
    EXPECT_EQ(Text(Idc::Cat81Bitrate), QStringLiteral("2147483653"));
    EXPECT_EQ(Text(Idc::Cat81DelayFactor), QStringLiteral("12.5"));
    EXPECT_EQ(Text(Idc::Cat81UdpPort), QStringLiteral("1234"));

    for (const auto& [value, text] :
         {std::pair<uint32_t, const char*>{1000000, "1000"}, {1234567, "1234.57"}}) {
        device_->SetValue(0x81, 25, value);
        Press(Idc::Cat81Refresh);
        EXPECT_EQ(Text(Idc::Cat81DelayFactor), QString::fromUtf8(text));
    }
    // The firmware version field is the green one; editable values light blue.
    EXPECT_EQ(Color(Idc::Cat1FirmwareVersion), QColor(TavColors::Firmware));
    EXPECT_EQ(Color(Idc::Cat1Type), QColor(TavColors::ReadOnly));
    EXPECT_EQ(Color(Idc::Cat81UdpPort), QColor(TavColors::Unchanged));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(PanelsTest, ARefreshWhoseThirdReadFailsShowsTwoValuesAndOneError) {
    ConnectInMode(1);
    Mute(1, 3);
    Press(Idc::Cat1Refresh);

    EXPECT_EQ(Text(Idc::Cat1FpgaVersion), QStringLiteral("v7"));
    EXPECT_EQ(Text(Idc::Cat1HardwareVersion), QStringLiteral("v3"));
    for (int field : {Idc::Cat1FirmwareVersion, Idc::Cat1SerialNumber, Idc::Cat1Type}) {
        EXPECT_TRUE(Text(field).isEmpty()) << field;
        EXPECT_TRUE(window_->Edit(field)->isEnabled()) << field;
    }
    EXPECT_EQ(messages_, QStringList{kErrorPrefix + "ZEL_E_RX_FAILED"});
    // Three tries of the third setting, nothing after it.
    EXPECT_EQ(Requests(),
              (std::vector<WireRequest>{Read(1, 1), Read(1, 2), Read(1, 3), Read(1, 3), Read(1, 3)}));
    // A firmware read without a reply leaves the version at 0.
    EXPECT_EQ(app_->FirmwareVersion, 0);
    EXPECT_FALSE(window_->Busy);
}

TEST_F(PanelsTest, EachPanelThatFailsInRefreshAllShowsItsOwnErrorAndTheNextStillRuns) {
    ConnectInMode(1);
    Mute(2, 2);
    Mute(0x81, 25);
    Press(Idc::RefreshAll);
    EXPECT_EQ(messages_, (QStringList{kErrorPrefix + "ZEL_E_RX_FAILED", kErrorPrefix + "ZEL_E_RX_FAILED"}));
    EXPECT_EQ(Text(Idc::Cat2Mode), QStringLiteral("1"));
    EXPECT_TRUE(Text(Idc::Cat2Application).isEmpty());
    EXPECT_EQ(Text(Idc::Cat81LockErrors), QStringLiteral("1"));
    EXPECT_TRUE(Text(Idc::Cat81DelayFactor).isEmpty());
    EXPECT_EQ(Text(Idc::Cat84TsRate).isEmpty(), false);
    EXPECT_FALSE(window_->Busy);
}

// Plain writes: the number typed goes out in the setting's size, the value read
// back is what the field then shows, light blue again.
struct PlainWriteCase {
    const char* name;
    int mode;
    int field;
    int button;
    const char* separator;
    const char* typed;
    WireRequest write;
    int dataDigits;
    const char* shown;
};

void PrintTo(const PlainWriteCase& c, std::ostream* os) {
    *os << c.name;
}

class PlainWriteTest : public PanelsTest, public testing::WithParamInterface<PlainWriteCase> {};

TEST_P(PlainWriteTest, WritesReadsBackAndShowsTheDevicesValue) {
    const PlainWriteCase& c = GetParam();
    ConnectInMode(c.mode);
    window_->Edit(c.field)->ThousandsSeparator = QString::fromUtf8(c.separator);
    Type(c.field, QString::fromUtf8(c.typed));
    EXPECT_EQ(Color(c.field), QColor(TavColors::Changed));
    Press(c.button);

    const std::vector<WireRequest> requests = Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], c.write);
    EXPECT_EQ(requests[0].dataDigits, c.dataDigits);
    EXPECT_EQ(requests[1], Read(c.write.category, c.write.setting));
    EXPECT_EQ(Text(c.field), QString::fromUtf8(c.shown));
    EXPECT_FALSE(window_->Edit(c.field)->Modified);
    EXPECT_EQ(Color(c.field), QColor(TavColors::Unchanged));
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_FALSE(window_->Busy);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, PlainWriteTest,
    testing::Values(PlainWriteCase{"ThousandsSeparator", 1, Idc::Cat81UdpPort, Idc::Cat81UdpPortWrite, ",",
                                   "1,024", Write(0x81, 10, 1024), 4, "1024"},
                    PlainWriteCase{"EmptyWritesZero", 1, Idc::Cat81Enable, Idc::Cat81EnableWrite, ",", "",
                                   Write(0x81, 2, 0), 2, "0"},
                    PlainWriteCase{"OnlyTheLowByteGoesOut", 0, Idc::Cat82TimeToLive,
                                   Idc::Cat82TimeToLiveWrite, ",", "300", Write(0x82, 13, 44), 2, "44"},
                    PlainWriteCase{"OutputPacketSize", 1, Idc::Cat84PacketSize, Idc::Cat84PacketSizeWrite,
                                   ",", "1", Write(0x84, 1, 1), 2, "1"},
                    PlainWriteCase{"InputPacketSize", 0, Idc::Cat83PacketSize, Idc::Cat83PacketSizeWrite, ",",
                                   "0", Write(0x83, 1, 0), 2, "0"},
                    PlainWriteCase{"EstimationMode", 1, Idc::Cat81EstimationMode,
                                   Idc::Cat81EstimationModeWrite, ",", "3", Write(0x81, 22, 3), 2, "3"}),
    [](const testing::TestParamInfo<PlainWriteCase>& info) { return info.param.name; });

TEST_F(PanelsTest, ARefusedValueIsReportedAndTheFieldKeepsTheOperatorsText) {
    ConnectInMode(1);
    Type(Idc::Cat81Delay, QStringLiteral("20000"));
    Press(Idc::Cat81DelayWrite);
    // Sent unchanged despite the legend's range; the device refuses, nothing is read back.
    EXPECT_EQ(DistinctRequests(), std::vector<WireRequest>{Write(0x81, 11, 20000)});
    EXPECT_EQ(messages_, QStringList{kErrorPrefix + "ZEL_E_ERROR_REPLY"});
    EXPECT_EQ(Text(Idc::Cat81Delay), QStringLiteral("20000"));
    EXPECT_TRUE(window_->Edit(Idc::Cat81Delay)->Modified);
    EXPECT_EQ(Color(Idc::Cat81Delay), QColor(TavColors::Changed));
    EXPECT_EQ(device_->Value(0x81, 11), std::optional<uint64_t>(100));
    EXPECT_FALSE(window_->Busy);
}

// The unit may hold another value than the one written (it rounds, or limits):
// the field shows what it holds and the status line says so.
TEST_F(PanelsTest, AValueTheUnitDidNotKeepIsShownAndNamedInTheStatusLine) {
    ConnectInMode(1);
    Type(Idc::Cat81UdpPort, QStringLiteral("5004"));
    onPump_ = [this] {
        if (device_->Value(0x81, 10) == std::optional<uint64_t>(5004)) device_->SetValue(0x81, 10, 5006);
    };
    Press(Idc::Cat81UdpPortWrite);
    onPump_ = nullptr;
    EXPECT_EQ(Text(Idc::Cat81UdpPort), QStringLiteral("5006"));
    ASSERT_FALSE(statuses_.isEmpty());
    EXPECT_EQ(statuses_.last(), QStringLiteral("The unit kept 5006 instead of 5004"));
    EXPECT_TRUE(messages_.isEmpty());

    // A value kept as written says nothing more.
    statuses_.clear();
    Type(Idc::Cat81UdpPort, QStringLiteral("5008"));
    Press(Idc::Cat81UdpPortWrite);
    EXPECT_EQ(Text(Idc::Cat81UdpPort), QStringLiteral("5008"));
    EXPECT_TRUE(statuses_.filter(QStringLiteral("kept")).isEmpty());
}

TEST_F(PanelsTest, AFailedReadBackIsReportedAndTheFieldStaysChanged) {
    ConnectInMode(1);
    Mute(0x81, 10);
    Type(Idc::Cat81UdpPort, QStringLiteral("5004"));
    Press(Idc::Cat81UdpPortWrite);
    EXPECT_EQ(messages_, QStringList{kErrorPrefix + "ZEL_E_RX_FAILED"});
    EXPECT_EQ(Text(Idc::Cat81UdpPort), QStringLiteral("5004"));
    EXPECT_EQ(Color(Idc::Cat81UdpPort), QColor(TavColors::Changed));
}

// Address writes: the scanned address goes out packed, is not read back, and
// the field keeps the text as typed, light blue.
struct AddressWriteCase {
    int mode;
    int field;
    int button;
    const char* typed;
    WireRequest write;
};

void PrintTo(const AddressWriteCase& c, std::ostream* os) {
    *os << "'" << c.typed << "'";
}

class AddressWriteTest : public PanelsTest, public testing::WithParamInterface<AddressWriteCase> {};

TEST_P(AddressWriteTest, WritesThePackedAddressWithoutReadingItBack) {
    const AddressWriteCase& c = GetParam();
    ConnectInMode(c.mode);
    Type(c.field, QString::fromUtf8(c.typed));
    Press(c.button);
    EXPECT_EQ(Requests(), std::vector<WireRequest>{c.write});
    EXPECT_EQ(Requests().front().dataDigits, 8);
    EXPECT_EQ(Text(c.field), QString::fromUtf8(c.typed));
    EXPECT_FALSE(window_->Edit(c.field)->Modified);
    EXPECT_EQ(Color(c.field), QColor(TavColors::Unchanged));
    EXPECT_EQ(device_->Value(c.write.category, c.write.setting), std::optional<uint64_t>(c.write.value));
    EXPECT_TRUE(messages_.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Panels, AddressWriteTest,
    testing::Values(AddressWriteCase{1, Idc::Cat81MulticastAddress, Idc::Cat81MulticastAddressWrite,
                                     "239.1.2.3", Write(0x81, 12, 0xEF010203)},
                    AddressWriteCase{0, Idc::Cat82DestinationIp, Idc::Cat82DestinationIpWrite, "10.0.0",
                                     Write(0x82, 6, 0x0A0000FF)},
                    AddressWriteCase{0, Idc::Cat82DestinationIp, Idc::Cat82DestinationIpWrite,
                                     "192.168.1.300", Write(0x82, 6, 0xC0A8012C)}));

// Settings offered only from a firmware version on: the refresh reads them only
// then, and their write sends nothing below it, even with the button enabled.
struct GateCase {
    int mode;
    int firmware;
    int field;
    int button;
    WireRequest read;
    bool offered;
};

void PrintTo(const GateCase& c, std::ostream* os) {
    *os << "firmware " << c.firmware << " setting " << c.read.category << "/" << c.read.setting;
}

class FirmwareGateTest : public PanelsTest, public testing::WithParamInterface<GateCase> {};

TEST_P(FirmwareGateTest, TheRefreshOffersTheSettingOnlyFromItsFirmware) {
    const GateCase& c = GetParam();
    SimConfig config;
    config.mode = c.mode;
    config.firmwareVersion = c.firmware;
    Connect(config);
    ASSERT_EQ(app_->FirmwareVersion, c.firmware);
    const std::vector<WireRequest> requests = Requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), c.read), c.offered ? 1 : 0);
    EXPECT_EQ(window_->Edit(c.field)->isEnabled(), c.offered);
    EXPECT_EQ(window_->Button(c.button)->isEnabled(), c.offered);
    EXPECT_EQ(Text(c.field).isEmpty(), !c.offered);
}

class FirmwareGatedWriteTest : public PanelsTest, public testing::WithParamInterface<GateCase> {};

TEST_P(FirmwareGatedWriteTest, SendsNothingBelowTheGate) {
    const GateCase& c = GetParam();
    SimConfig config;
    config.mode = c.mode;
    config.firmwareVersion = c.firmware;
    Connect(config);
    ClearWire();

    // The firmware version dropped since (a read that got no reply, say).
    app_->FirmwareVersion = c.firmware - 1;
    Type(c.field, QStringLiteral("1"));
    Press(c.button);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Text(c.field), QStringLiteral("1"));
    EXPECT_TRUE(window_->Edit(c.field)->Modified);
    EXPECT_FALSE(window_->Busy);

    // At the gate it writes and reads back, without looking at either result.
    app_->FirmwareVersion = c.firmware;
    Press(c.button);
    EXPECT_EQ(Requests(), (std::vector<WireRequest>{Write(c.read.category, c.read.setting, 1), c.read}));
    EXPECT_EQ(Text(c.field), QStringLiteral("1"));
    EXPECT_FALSE(window_->Edit(c.field)->Modified);

    // A refused value shows no message: the field shows what was read back.
    ClearWire();
    Type(c.field, QStringLiteral("7"));
    Press(c.button);
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(Text(c.field), QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(
    Panels, FirmwareGateTest,
    testing::Values(
        GateCase{1, 13, Idc::Cat2VolatileStorage, Idc::Cat2VolatileStorageWrite, Read(2, 3), false},
        GateCase{1, 14, Idc::Cat2VolatileStorage, Idc::Cat2VolatileStorageWrite, Read(2, 3), true},
        GateCase{0, 22, Idc::Cat83InputSelect, Idc::Cat83InputSelectWrite, Read(0x83, 7), false},
        GateCase{0, 23, Idc::Cat83InputSelect, Idc::Cat83InputSelectWrite, Read(0x83, 7), true}));

INSTANTIATE_TEST_SUITE_P(Panels, FirmwareGatedWriteTest,
                         testing::Values(GateCase{1, 14, Idc::Cat2VolatileStorage,
                                                  Idc::Cat2VolatileStorageWrite, Read(2, 3), true},
                                         GateCase{0, 23, Idc::Cat83InputSelect, Idc::Cat83InputSelectWrite,
                                                  Read(0x83, 7), true}));

TEST_F(PanelsTest, AFailedInputPanelReadAtSettingFiveLeavesTheRestEmptyButEnabled) {
    ConnectInMode(0);
    Mute(0x83, 5);
    Press(Idc::Cat83Refresh);
    EXPECT_FALSE(Text(Idc::Cat83TsRate).isEmpty());
    for (int field : {Idc::Cat83ValidCount, Idc::Cat83ViolationCount, Idc::Cat83InputSelect}) {
        EXPECT_TRUE(Text(field).isEmpty()) << field;
        EXPECT_TRUE(window_->Edit(field)->isEnabled()) << field;
    }
    EXPECT_TRUE(window_->Button(Idc::Cat83InputSelectWrite)->isEnabled());
    EXPECT_EQ(messages_.size(), 1);
}

TEST_F(PanelsTest, AConfigurationRefreshStoresTheModeItReads) {
    ConnectInMode(1);
    device_->SetValue(2, 1, 0);
    Press(Idc::Cat2Refresh);
    EXPECT_EQ(app_->DeviceMode, 0);
    EXPECT_EQ(Text(Idc::Cat2Mode), QStringLiteral("0"));
    // The other panels follow at their own next refresh.
    EXPECT_TRUE(window_->Edit(Idc::Cat81UdpPort)->isEnabled());
    Press(Idc::Cat81Refresh);
    EXPECT_FALSE(window_->Edit(Idc::Cat81UdpPort)->isEnabled());
}

TEST_F(PanelsTest, PanelsOfTheOtherModeSendNothing) {
    ConnectInMode(0);
    Press(Idc::Cat81Refresh);
    Press(Idc::Cat84Refresh);
    EXPECT_TRUE(Requests().empty());
}

}  // namespace
