// Names for the categories and for the settings that the programs themselves
// read or write by meaning (identity, mode, network, reboot). Every other
// setting is reached through the catalogue or the settings model by name.
#pragma once

// Categories
constexpr int ZEL_CAT_DEVICE = 0x01;         // device properties
constexpr int ZEL_CAT_CONFIGURATION = 0x02;  // overall configuration
constexpr int ZEL_CAT_NETWORK = 0x03;        // the unit's Ethernet settings
constexpr int ZEL_CAT_UPGRADE_TYPE1 = 0x80;  // firmware update, ZEL-5100
constexpr int ZEL_CAT_IP_RECEIVE = 0x81;
constexpr int ZEL_CAT_IP_TRANSMIT = 0x82;
constexpr int ZEL_CAT_ASI_INPUT = 0x83;
constexpr int ZEL_CAT_ASI_OUTPUT = 0x84;
constexpr int ZEL_CAT_UPGRADE_TYPE2 = 0x85;  // firmware upgrade, ZEL-5137

// Settings of ZEL_CAT_DEVICE
constexpr int ZEL_SET_FPGA_VERSION = 1;
constexpr int ZEL_SET_HARDWARE_VERSION = 2;
constexpr int ZEL_SET_FIRMWARE_VERSION = 3;  // in tenths: 23 is v2.3
constexpr int ZEL_SET_SERIAL_NUMBER = 4;
constexpr int ZEL_SET_TYPE = 5;  // 5100, 5137, ...
constexpr int ZEL_SET_HARDWARE_VERSION_5137 = 6;
constexpr int ZEL_SET_BOOTLOADER_VERSION = 7;
constexpr int ZEL_SET_BUSY = 12;  // non-zero while the unit erases or programs

// Settings of ZEL_CAT_CONFIGURATION
constexpr int ZEL_SET_MODE = 1;         // writing it restarts the unit
constexpr int ZEL_SET_APPLICATION = 2;  // writing it restarts the unit
constexpr int ZEL_SET_VOLATILE_STORAGE = 3;
constexpr int ZEL_SET_PERSIST = 4;  // a command: the settings are written to flash

// Settings of ZEL_CAT_NETWORK; the addresses and DHCP take effect at the next restart.
constexpr int ZEL_SET_IP_ADDRESS = 1;
constexpr int ZEL_SET_SUBNET_MASK = 2;
constexpr int ZEL_SET_GATEWAY = 3;
constexpr int ZEL_SET_DHCP_ENABLED = 4;
constexpr int ZEL_SET_REBOOT = 5;  // a command: the unit restarts without answering
constexpr int ZEL_SET_MAC_ADDRESS = 6;

// Settings of ZEL_CAT_UPGRADE_TYPE1
constexpr int ZEL_SET_FILE_PART = 2;      // one numbered part of the image
constexpr int ZEL_SET_UPDATE_DEVICE = 3;  // a command: program the parts sent
constexpr int ZEL_SET_ABORT = 4;          // a command: forget any parts sent before
constexpr int ZEL_SET_PROGRESS = 5;       // percent programmed
constexpr int ZEL_SET_UPGRADE_ERROR = 6;  // non-zero when programming failed
constexpr int ZEL_SET_NUMBER_OF_PARTS = 7;
constexpr int ZEL_SET_PART_SIZE = 8;
constexpr int ZEL_SET_LAST_PART_SIZE = 9;  // bytes in the last part

// Settings of ZEL_CAT_UPGRADE_TYPE2
constexpr int ZEL_SET_UPGRADE_MODE = 1;      // 1 once the unit accepts an image
constexpr int ZEL_SET_ERASE = 2;             // a command: erase before programming
constexpr int ZEL_SET_PROGRAMMING_DATA = 3;  // one numbered part of the image
constexpr int ZEL_SET_VERIFY = 4;            // 1 when the image programmed checks out

// Operational modes (the value of ZEL_SET_MODE)
constexpr int ZEL_MODE_ASI_TO_IP = 0;
constexpr int ZEL_MODE_IP_TO_ASI = 1;

// The catalogue's value type of signed numbers (calibration and statistics rows).
constexpr int ZEL_TYPE_SIGNED = 2;
constexpr int ZEL_TYPE_ADDRESS = 5;
constexpr int ZEL_TYPE_MAC = 6;
