// The compiled-in catalogue of categories and settings.
#include "zel_protocol.h"

const ZelCategoryEntry ZelCategoryTable[ZEL_CATEGORY_COUNT] = {
    {0x01, 0, 300, "Device properties"},
    {0x02, 0, 300, "Overall configuration"},
    {0x03, 0, 300, "Network settings"},
    {0x80, 1, 1100, "Firmware update type 1 (ZEL-5100)"},
    {0x81, 1, 300, "IP receive settings"},
    {0x82, 1, 1100, "IP transmit settings"},
    {0x83, 1, 1100, "ASI/parallel input settings"},
    {0x84, 1, 300, "ASI/parallel output settings"},
    {0x85, 1, 600, "Firmware upgrade type 2 (ZEL-5137)"},
    {0x90, 1, 300, "Receiver settings"},
    {0x91, 1, 300, "Receiver status"},
    {0x92, 1, 300, "Receiver statistics"},
    {0x93, 1, 300, "DiSEqC send and receive commands"},
};

const ZelSettingEntry ZelSettingTable[ZEL_SETTING_COUNT] = {
    {0x01, 0, 1, 0, "All settings in this category (RO)"},
    {0x01, 1, 1, 0, "FPGA version"},
    {0x01, 2, 1, 0, "Hardware version (ZEL-5100)"},
    {0x01, 3, 1, 3, "Firmware version"},
    {0x01, 4, 1, 3, "Serial number"},
    {0x01, 5, 1, 3, "Type"},
    {0x01, 6, 1, 3, "Hardware version (ZEL-5137)"},
    {0x01, 7, 1, 0, "Bootloader version"},
    {0x01, 8, 1, 3, "Production date"},
    {0x01, 9, 1, 0, "I2C address"},
    {0x01, 10, 1, 3, "RS-232 baud rate"},
    {0x01, 11, 1, 0, "Subtype"},
    {0x01, 12, 1, 0, "Busy"},
    {0x01, 13, 10, 2, "RF level calibration"},
    {0x02, 0, 1, 0, "All settings in this category (RO)"},
    {0x02, 1, 1, 0, "Mode"},
    {0x02, 2, 1, 0, "Application"},
    {0x02, 3, 1, 0, "Volatile storage"},
    {0x02, 4, 1, 0, "Persist all settings"},
    {0x02, 5, 1, 3, "Number of writes to flash memory"},
    {0x03, 1, 1, 5, "IP address"},
    {0x03, 2, 1, 5, "Subnet mask"},
    {0x03, 3, 1, 5, "Gateway"},
    {0x03, 4, 1, 0, "DHCP enabled"},
    {0x03, 5, 1, 0, "Reboot"},
    {0x03, 6, 1, 6, "MAC address"},
    {0x80, 1, 1, 1, "Part number"},
    {0x80, 2, 1, 0, "File part"},
    {0x80, 3, 1, 0, "Update device"},
    {0x80, 4, 1, 0, "Abort"},
    {0x80, 5, 1, 0, "Progress"},
    {0x80, 6, 1, 0, "Error"},
    {0x80, 7, 1, 1, "Number of parts"},
    {0x80, 8, 1, 1, "Part size"},
    {0x80, 9, 1, 1, "Remaining"},
    {0x81, 1, 1, 0, "Addressing method"},
    {0x81, 2, 1, 0, "Enable"},
    {0x81, 3, 1, 3, "FEC delay"},
    {0x81, 4, 1, 0, "FEC enable"},
    {0x81, 5, 1, 1, "FEC #columns"},
    {0x81, 6, 1, 1, "FEC #rows"},
    {0x81, 7, 1, 3, "IP jitter tolerance"},
    {0x81, 8, 1, 4, "IP lost after FEC"},
    {0x81, 9, 1, 4, "IP lost before FEC"},
    {0x81, 10, 1, 1, "UDP port"},
    {0x81, 11, 1, 1, "IP-to-output delay"},
    {0x81, 12, 1, 5, "Multicast address"},
    {0x81, 13, 1, 0, "#TP per IP"},
    {0x81, 14, 1, 0, "Status"},
    {0x81, 15, 1, 0, "Protocol"},
    {0x81, 16, 1, 3, "Index"},
    {0x81, 17, 1, 0, "Output type"},
    {0x81, 18, 1, 0, "Packet size"},
    {0x81, 19, 1, 3, "Bitrate"},
    {0x81, 20, 1, 0, "PCR present"},
    {0x81, 21, 1, 3, "Rate-change counter"},
    {0x81, 22, 1, 0, "Rate-estimation mode"},
    {0x81, 23, 1, 3, "Jitter error counter"},
    {0x81, 24, 1, 3, "Lock error counter"},
    {0x81, 25, 1, 3, "Delay factor"},
    {0x82, 1, 1, 0, "Enable"},
    {0x82, 3, 1, 0, "FEC enable"},
    {0x82, 4, 1, 1, "FEC #columns"},
    {0x82, 5, 1, 1, "FEC #rows"},
    {0x82, 6, 1, 5, "IP address"},
    {0x82, 7, 1, 0, "IP address status"},
    {0x82, 8, 1, 1, "UDP port"},
    {0x82, 9, 1, 0, "#TP per IP"},
    {0x82, 10, 1, 0, "Protocol"},
    {0x82, 11, 1, 3, "Index"},
    {0x82, 12, 1, 0, "Input type"},
    {0x82, 13, 1, 0, "Time to live"},
    {0x83, 1, 1, 0, "Packet size"},
    {0x83, 2, 1, 0, "Physical port"},
    {0x83, 3, 1, 0, "Status"},
    {0x83, 4, 1, 3, "TS rate"},
    {0x83, 5, 1, 4, "Valid count"},
    {0x83, 6, 1, 4, "Violation count"},
    {0x83, 7, 1, 0, "Input port select"},
    {0x84, 1, 1, 0, "ASI packet size"},
    {0x84, 2, 1, 0, "Physical port"},
    {0x84, 3, 1, 3, "TS rate"},
    {0x85, 1, 1, 0, "Mode"},
    {0x85, 2, 1, 0, "Erase"},
    {0x85, 3, 1, 0, "Programming data"},
    {0x85, 4, 1, 0, "Verify"},
    {0x90, 0, 1, 0, "All settings in this category (RO)"},
    {0x90, 1, 1, 0, "Receive mode"},
    {0x90, 3, 1, 3, "Frequency"},
    {0x90, 9, 1, 0, "LNB enable"},
    {0x90, 10, 1, 0, "LNB voltage"},
    {0x90, 11, 1, 0, "LNB tone"},
    {0x90, 12, 1, 0, "DVB-S2 ISI"},
    {0x90, 13, 1, 0, "L.3 timestamp insertion"},
    {0x91, 0, 1, 0, "All settings in this category (RO)"},
    {0x91, 1, 1, 0, "Locked"},
    {0x91, 2, 1, 3, "Frequency"},
    {0x91, 3, 1, 3, "Bandwidth"},
    {0x91, 4, 1, 0, "Modulation type"},
    {0x91, 5, 1, 0, "Code rate"},
    {0x91, 6, 1, 0, "Roll-off factor"},
    {0x91, 7, 1, 0, "FEC Frame length"},
    {0x91, 8, 1, 0, "Pilots"},
    {0x91, 9, 1, 0, "Spectrum inversion"},
    {0x91, 10, 1, 3, "Symbol rate"},
    {0x91, 11, 1, 3, "Bitrate"},
    {0x92, 0, 1, 0, "All settings in this category (RO)"},
    {0x92, 1, 10, 2, "RF power level"},
    {0x92, 2, 10, 2, "SNR"},
    {0x92, 3, 10, 2, "MER"},
    {0x92, 4, 10, 2, "Es/N0"},
    {0x92, 5, 10, 2, "Eb/N0"},
    {0x92, 6, 10, 2, "Link margin"},
    {0x92, 7, 1, 4, "BER pre-Viterbi"},
    {0x92, 8, 1, 4, "BER post-Viterbi"},
    {0x92, 9, 1, 4, "BER pre-Reed Solomon"},
    {0x92, 10, 1, 4, "BER pre-LDPC"},
    {0x92, 11, 1, 4, "BER post-LDPC"},
    {0x92, 12, 1, 4, "BER post-BCH"},
    {0x92, 13, 1, 3, "AGC1"},
    {0x92, 14, 1, 3, "AGC2"},
    {0x93, 1, 1, 0, "Burst"},
    {0x93, 2, 1, 0, "Send DiSEqC message"},
    {0x93, 3, 1, 0, "Send DiSEqC message and receive response"},
    {0x93, 4, 1, 0, "DiSEqC response message length"},
    {0x93, 5, 1, 0, "DiSEqC response message"},
};

int ZelTypeSize(int type) {
    static const int sizes[] = {1, 2, 4, 4, 8, 4, 6};
    return (type >= 0 && type <= 6) ? sizes[type] : 0;
}

const ZelSettingEntry* ZelFindSetting(int category, int setting) {
    for (const ZelSettingEntry& entry : ZelSettingTable)
        if (entry.category == category && entry.setting == setting) return &entry;
    return nullptr;
}

const ZelCategoryEntry* ZelFindCategory(int category) {
    for (const ZelCategoryEntry& entry : ZelCategoryTable)
        if (entry.id == category) return &entry;
    return nullptr;
}

int ZelSettingSize(int category, int setting) {
    const ZelSettingEntry* entry = ZelFindSetting(category, setting);
    return entry ? ZelTypeSize(entry->type) : 0;
}

int ZelCategoryIndexed(int category) {
    const ZelCategoryEntry* entry = ZelFindCategory(category);
    return (entry && entry->indexed) ? 1 : 0;
}

int ZelCategoryTimeout(int category) {
    const ZelCategoryEntry* entry = ZelFindCategory(category);
    return entry ? entry->timeoutMs : -1;
}
