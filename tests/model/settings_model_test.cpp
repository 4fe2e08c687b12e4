// The model's table (every setting catalogued, names unique and resolvable),
// every setting's values through the one formatter and parser, and settings
// found by name with the unit's mode choosing between panels.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "settings_model.h"
#include "zel_protocol.h"

namespace {

std::string Where(const SettingView& view) {
    return QualifiedName(view);
}

// Values a setting of `size` bytes can hold, the edges included.
std::vector<uint64_t> SampleValues(int size) {
    std::vector<uint64_t> values{0, 1, 9, 10, 188, 255};
    if (size >= 2) values.insert(values.end(), {1024, 65535});
    if (size >= 4) values.insert(values.end(), {12500, 1002345, 0x7FFFFFFFu, 0x80000005u, 0xFFFFFFFFu});
    if (size >= 6) values.insert(values.end(), {0x020000123456ULL, 0xFFFFFFFFFFFFULL});
    if (size >= 8) values.insert(values.end(), {5000000000ULL, 0x8000000000000001ULL, ~0ULL});
    return values;
}

TEST(SettingsModel, EverySettingIsCataloguedWithItsCaptionAndAUniqueName) {
    for (const PanelView& panel : WindowPanels()) {
        std::set<std::string> names;
        for (const SettingView& view : panel.settings) {
            const ZelSettingEntry* entry = ZelFindSetting(view.category, view.setting);
            ASSERT_NE(entry, nullptr) << Where(view);
            EXPECT_EQ(view.category, panel.category);
            EXPECT_STREQ(view.caption, entry->name) << Where(view);
            EXPECT_EQ(view.type, entry->type) << Where(view);
            EXPECT_TRUE(names.insert(view.name).second) << "twice in its category: " << Where(view);
            // Words in lower case joined by hyphens.
            const std::string name = view.name;
            ASSERT_FALSE(name.empty());
            EXPECT_NE(name.front(), '-');
            EXPECT_NE(name.back(), '-');
            for (char c : name)
                EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) || c == '-') << Where(view);
        }
    }
}

TEST(SettingsModel, NumbersAreSignedOnlyForTheSignedType) {
    for (const PanelView& panel : WindowPanels()) {
        for (const SettingView& view : panel.settings) {
            if (view.format == ValueFormat::Signed || view.format == ValueFormat::Unsigned) {
                EXPECT_EQ(view.format == ValueFormat::Signed, view.type == ZEL_TYPE_SIGNED) << Where(view);
            }
            if (view.type == ZEL_TYPE_SIGNED) continue;
            // Counters and rates of 2^31 or more, and 8-byte counters of 2^63 or more, read positive.
            for (uint64_t value : SampleValues(ZelTypeSize(view.type)))
                EXPECT_NE(FormatSetting(view, value).front(), '-') << Where(view) << " " << value;
        }
    }
}

TEST(SettingsModel, EveryValueOfEverySettingParsesBackFromItsText) {
    int checked = 0;
    for (const PanelView& panel : WindowPanels()) {
        for (const SettingView& view : panel.settings) {
            for (uint64_t value : SampleValues(ZelTypeSize(view.type))) {
                const std::string text = FormatSetting(view, value);
                uint64_t back = 0;
                ASSERT_TRUE(ParseValue(view.format, text, &back)) << Where(view) << " '" << text << "'";
                EXPECT_EQ(FormatSetting(view, back), text) << Where(view);
                // Thousandths show six significant digits; every other format is exact.
                if (view.format != ValueFormat::Thousandths || value < 100000) {
                    EXPECT_EQ(back, view.format == ValueFormat::Address ? value & 0xFFFFFFFFu : value)
                        << Where(view) << " '" << text << "'";
                }
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(SettingsModel, TextsThatAreNotValuesAreRefused) {
    const struct {
        ValueFormat format;
        const char* text;
    } cases[] = {
        {ValueFormat::Unsigned, ""},
        {ValueFormat::Unsigned, "-1"},
        {ValueFormat::Unsigned, " 1"},
        {ValueFormat::Unsigned, "1 "},
        {ValueFormat::Unsigned, "18446744073709551616"},
        {ValueFormat::Signed, "2147483648"},
        {ValueFormat::Signed, "-2147483649"},
        {ValueFormat::Signed, "-"},
        {ValueFormat::Address, "1.2.3"},
        {ValueFormat::Address, "1.2.3.256"},
        {ValueFormat::Mac, "02.00.00.12.34.5G"},
        {ValueFormat::Mac, "02:00:00:12:34:56"},
        {ValueFormat::Version, "3"},
        {ValueFormat::Version, "v"},
        {ValueFormat::VersionTenths, "v2"},
        {ValueFormat::VersionTenths, "v2.34"},
        {ValueFormat::SerialNumber, "1.2.345"},
        {ValueFormat::SerialNumber, "4295.000.000"},
        {ValueFormat::DeviceType, "ZEL5100"},
        {ValueFormat::DeviceType, "zel-5100"},
        {ValueFormat::Thousandths, "12.3456"},
        {ValueFormat::Thousandths, "1,5"},
        {ValueFormat::Thousandths, ".5"},
        {ValueFormat::Thousandths, "4294967.296"},
    };
    for (const auto& c : cases) {
        uint64_t value = 7;
        EXPECT_FALSE(ParseValue(c.format, c.text, &value)) << int(c.format) << " '" << c.text << "'";
        EXPECT_EQ(value, 7u);
    }
    uint64_t value = 0;
    ASSERT_TRUE(ParseValue(ValueFormat::Signed, "-2147483648", &value));
    EXPECT_EQ(value, 0x80000000u);
    ASSERT_TRUE(ParseValue(ValueFormat::Thousandths, "12.5", &value));
    EXPECT_EQ(value, 12500u);
}

TEST(SettingsModel, EveryNameResolvesInEveryModeItsPanelIsUsedIn) {
    for (int mode : {ZEL_MODE_ASI_TO_IP, ZEL_MODE_IP_TO_ASI}) {
        for (const PanelView& panel : WindowPanels()) {
            if (!PanelUsable(panel, mode)) continue;
            for (const SettingView& view : panel.settings) {
                const NamedSetting found = FindSettingByName(view.name, mode);
                EXPECT_EQ(found.outcome, NameLookup::Found) << Where(view) << " in mode " << mode;
                EXPECT_EQ(found.view, &view) << Where(view) << " in mode " << mode;
                EXPECT_EQ(FindSettingByName(QualifiedName(view), 1 - mode).view, &view) << Where(view);
            }
        }
    }
}

TEST(SettingsModel, NamesFoundWithTheModeChoosingThePanel) {
    const struct {
        const char* text;
        int mode;
        NameLookup outcome;
        int category;
        int setting;
    } cases[] = {
        {"udp-port", ZEL_MODE_IP_TO_ASI, NameLookup::Found, 0x81, 10},
        {"udp-port", ZEL_MODE_ASI_TO_IP, NameLookup::Found, 0x82, 8},
        {"udp-port", -1, NameLookup::Ambiguous, 0, 0},  // mode not known
        {"0x82:udp-port", ZEL_MODE_IP_TO_ASI, NameLookup::Found, 0x82, 8},
        {"130:udp-port", -1, NameLookup::Found, 0x82, 8},
        {"physical-port", ZEL_MODE_IP_TO_ASI, NameLookup::Found, 0x84, 2},
        {"physical-port", ZEL_MODE_ASI_TO_IP, NameLookup::Found, 0x83, 2},
        // A name only one panel has is found whatever the mode.
        {"lock-errors", ZEL_MODE_ASI_TO_IP, NameLookup::Found, 0x81, 24},
        {"multicast-address", -1, NameLookup::Found, 0x81, 12},
        {"lost-before-fec", ZEL_MODE_IP_TO_ASI, NameLookup::Found, 0x81, 9},
        {"dhcp-enabled", ZEL_MODE_ASI_TO_IP, NameLookup::Found, 0x03, 4},
        {"no-such-setting", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},
        {"UDP-port", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},
        {"0x81:time-to-live", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},
        {"0x90:udp-port", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},  // no panel shows 0x90
        {"x81:udp-port", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},
        {"0x81:", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},
        {"", ZEL_MODE_IP_TO_ASI, NameLookup::Unknown, 0, 0},
    };
    for (const auto& c : cases) {
        const NamedSetting found = FindSettingByName(c.text, c.mode);
        EXPECT_EQ(found.outcome, c.outcome) << c.text << " in mode " << c.mode;
        if (c.outcome == NameLookup::Found) {
            ASSERT_NE(found.view, nullptr) << c.text;
            EXPECT_EQ(found.view->category, c.category) << c.text;
            EXPECT_EQ(found.view->setting, c.setting) << c.text;
        } else {
            EXPECT_EQ(found.view, nullptr) << c.text;
        }
    }
    const NamedSetting ambiguous = FindSettingByName("udp-port", -1);
    ASSERT_EQ(ambiguous.matches.size(), 2u);
    EXPECT_EQ(QualifiedName(*ambiguous.matches[0]), "0x81:udp-port");
    EXPECT_EQ(QualifiedName(*ambiguous.matches[1]), "0x82:udp-port");
}

}  // namespace
