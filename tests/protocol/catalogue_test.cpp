#include "zel_protocol.h"

#include <gtest/gtest.h>

TEST(Catalogue, SizesByCategoryAndSetting) {
    struct Case {
        int category, setting, size;
    } cases[] = {
        {0x03, 6, 6},   // MAC address
        {0x81, 8, 8},   // IP lost after FEC
        {0x03, 1, 4},   // IP address
        {0x02, 1, 1},   // Mode
        {0x81, 10, 2},  // UDP port
        {0x01, 13, 4},  // RF level calibration
        {0x03, 0, 0},   // category 3 has no setting 0
        {0x82, 2, 0},   // category 0x82 has no setting 2
        {0x181, 1, 0},  // only an exact category id matches
        {0x01, 0x105, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZelSettingSize(c.category, c.setting), c.size)
            << std::hex << c.category << "/" << std::dec << c.setting;
}

TEST(Catalogue, CategoryIndexAndTimeout) {
    EXPECT_EQ(ZelCategoryIndexed(0x03), 0);
    EXPECT_EQ(ZelCategoryIndexed(0x81), 1);
    EXPECT_EQ(ZelCategoryIndexed(0x7F), 0);
    EXPECT_EQ(ZelCategoryIndexed(0x181), 0);
    EXPECT_EQ(ZelCategoryTimeout(0x85), 600);
    EXPECT_EQ(ZelCategoryTimeout(0x83), 1100);
    EXPECT_EQ(ZelCategoryTimeout(0x01), 300);
    EXPECT_EQ(ZelCategoryTimeout(0x04), -1);
    EXPECT_EQ(ZelCategoryTimeout(0x181), -1);
}

TEST(Catalogue, TablesHoldTheirRowsInOrder) {
    EXPECT_EQ(ZelCategoryTable[0].id, 0x01);
    EXPECT_EQ(ZelCategoryTable[ZEL_CATEGORY_COUNT - 1].id, 0x93);
    EXPECT_STREQ(ZelSettingTable[0].name, "All settings in this category (RO)");
    EXPECT_STREQ(ZelSettingTable[ZEL_SETTING_COUNT - 1].name, "DiSEqC response message");

    int tens = 0;
    for (const ZelSettingEntry& e : ZelSettingTable) {
        ASSERT_NE(ZelFindCategory(e.category), nullptr) << e.name;
        ASSERT_GE(e.type, 0);
        ASSERT_LE(e.type, 6);
        if (e.third == 10) {
            ++tens;
            EXPECT_EQ(e.type, 2) << e.name;
        } else {
            EXPECT_EQ(e.third, 1) << e.name;
        }
        // The first row of a pair wins; no pair appears twice.
        EXPECT_EQ(ZelFindSetting(e.category, e.setting), &e) << e.name;
    }
    EXPECT_EQ(tens, 7);
}
