// Control ids of the main window (dialog template 102). The layout in
// resources/layouts/main_window.layout uses the same numbers.
#pragma once

namespace Idc {

// Communication port
constexpr int StatusLine = 1001;
constexpr int ComPortBox = 1100;
constexpr int RefreshAll = 1099;

// Pictures
constexpr int DevicePicture = 1093;
constexpr int Logo = 1094;

// Cat 1 - Device properties
constexpr int Cat1Refresh = 1007;
constexpr int Cat1FpgaVersion = 1005;
constexpr int Cat1HardwareVersion = 1004;
constexpr int Cat1FirmwareVersion = 1006;
constexpr int Cat1SerialNumber = 1003;
constexpr int Cat1Type = 1002;

// Cat 2 - Configuration
constexpr int Cat2Refresh = 1010;
constexpr int Cat2Mode = 1008;
constexpr int Cat2ModeWrite = 1011;
constexpr int Cat2Application = 1009;
constexpr int Cat2ApplicationWrite = 1012;
constexpr int Cat2VolatileStorage = 1022;
constexpr int Cat2VolatileStorageWrite = 1023;

// Cat 3 - Network
constexpr int Cat3Refresh = 1018;
constexpr int Cat3IpAddress = 1016;
constexpr int Cat3Subnet = 1015;
constexpr int Cat3Gateway = 1017;
constexpr int Cat3DhcpEnabled = 1014;
constexpr int Cat3MacAddress = 1019;
constexpr int Cat3Reboot = 1020;
constexpr int Cat3Change = 1021;

// Cat 0x81 - IP receive settings
constexpr int Cat81Refresh = 1057;
constexpr int Cat81Addressing = 1028;
constexpr int Cat81AddressingWrite = 1032;
constexpr int Cat81Enable = 1027;
constexpr int Cat81EnableWrite = 1033;
constexpr int Cat81FecDelay = 1029;
constexpr int Cat81FecEnable = 1026;
constexpr int Cat81FecEnableWrite = 1034;
constexpr int Cat81FecColumns = 1025;
constexpr int Cat81FecRows = 1030;
constexpr int Cat81JitterTolerance = 1035;
constexpr int Cat81LostAfterFec = 1036;
constexpr int Cat81LostBeforeFec = 1037;
constexpr int Cat81UdpPort = 1038;
constexpr int Cat81UdpPortWrite = 1039;
constexpr int Cat81Delay = 1040;
constexpr int Cat81DelayWrite = 1041;
constexpr int Cat81MulticastAddress = 1042;
constexpr int Cat81MulticastAddressWrite = 1043;
constexpr int Cat81PacketsPerIp = 1044;
constexpr int Cat81Status = 1045;
constexpr int Cat81Protocol = 1046;
constexpr int Cat81Index = 1047;
constexpr int Cat81OutputType = 1048;
constexpr int Cat81PacketSize = 1049;
constexpr int Cat81Bitrate = 1050;
constexpr int Cat81PcrPresent = 1051;
constexpr int Cat81RateChanges = 1052;
constexpr int Cat81EstimationMode = 1053;
constexpr int Cat81EstimationModeWrite = 1056;
constexpr int Cat81JitterErrors = 1054;
constexpr int Cat81LockErrors = 1055;
constexpr int Cat81DelayFactor = 1058;

// Cat 0x82 - IP transmit settings
constexpr int Cat82Refresh = 1080;
constexpr int Cat82Enable = 1060;
constexpr int Cat82EnableWrite = 1062;
constexpr int Cat82FecEnable = 1059;
constexpr int Cat82FecEnableWrite = 1063;
constexpr int Cat82FecColumns = 1061;
constexpr int Cat82FecColumnsWrite = 1064;
constexpr int Cat82FecRows = 1065;
constexpr int Cat82FecRowsWrite = 1066;
constexpr int Cat82DestinationIp = 1067;
constexpr int Cat82DestinationIpWrite = 1068;
constexpr int Cat82IpAddressStatus = 1069;
constexpr int Cat82UdpPort = 1070;
constexpr int Cat82UdpPortWrite = 1071;
constexpr int Cat82PacketsPerIp = 1072;
constexpr int Cat82PacketsPerIpWrite = 1073;
constexpr int Cat82Protocol = 1074;
constexpr int Cat82ProtocolWrite = 1075;
constexpr int Cat82Index = 1076;
constexpr int Cat82InputType = 1077;
constexpr int Cat82TimeToLive = 1078;
constexpr int Cat82TimeToLiveWrite = 1079;

// Cat 0x83 - ASI/SPI input
constexpr int Cat83Refresh = 1013;
constexpr int Cat83PacketSize = 1082;
constexpr int Cat83PacketSizeWrite = 1084;
constexpr int Cat83PhysicalPort = 1081;
constexpr int Cat83Status = 1083;
constexpr int Cat83TsRate = 1085;
constexpr int Cat83ValidCount = 1086;
constexpr int Cat83ViolationCount = 1087;
constexpr int Cat83InputSelect = 1104;
constexpr int Cat83InputSelectWrite = 1105;

// Cat 0x84 - ASI/SPI output
constexpr int Cat84Refresh = 1092;
constexpr int Cat84PacketSize = 1089;
constexpr int Cat84PacketSizeWrite = 1091;
constexpr int Cat84PhysicalPort = 1088;
constexpr int Cat84TsRate = 1090;

// Cat 0x80 - Firmware upgrade
constexpr int FirmwareSelect = 1095;
constexpr int FirmwareFile = 1096;
constexpr int FirmwareParts = 1098;
constexpr int FirmwareUpgrade = 1097;

}  // namespace Idc

// Change IP Address dialog (dialog template 135).
namespace IdcChangeIp {

constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int UseDhcp = 1109;
constexpr int UseStatic = 1110;
constexpr int StaticGroup = 1108;
constexpr int IpAddressLabel = 1105;
constexpr int IpAddress = 1102;
constexpr int SubnetLabel = 1106;
constexpr int Subnet = 1103;
constexpr int GatewayLabel = 1107;
constexpr int Gateway = 1104;

}  // namespace IdcChangeIp
