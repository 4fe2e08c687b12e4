// The display formats shared by the commands, and the parsing of typed addresses.
#include <gtest/gtest.h>

#include "decimal_comma_locale.h"
#include "value_format.h"

#include <clocale>

namespace {

struct FormatCase {
    ValueFormat format;
    uint64_t value;
    const char* text;
};

TEST(ValueFormat, ShowsValuesAsTheWindowDoes) {
    const FormatCase cases[] = {
        {ValueFormat::Version, 3, "v3"},
        {ValueFormat::VersionTenths, 23, "v2.3"},
        {ValueFormat::VersionTenths, 14, "v1.4"},
        {ValueFormat::VersionTenths, 100, "v10.0"},
        {ValueFormat::SerialNumber, 1002345, "1.002.345"},
        {ValueFormat::SerialNumber, 7, "0.000.007"},
        {ValueFormat::SerialNumber, 0xFFFFFFFFu, "4294.967.295"},  // taken as unsigned
        {ValueFormat::DeviceType, 5100, "ZEL-5100"},
        {ValueFormat::Address, 0xC0A8000A, "192.168.0.10"},
        {ValueFormat::Address, 0xEF010203, "239.1.2.3"},
        {ValueFormat::Mac, 0x020000123456ULL, "02.00.00.12.34.56"},
        {ValueFormat::Mac, 0xABCDEF012345ULL, "AB.CD.EF.01.23.45"},
        {ValueFormat::Thousandths, 12500, "12.5"},
        {ValueFormat::Thousandths, 1000000, "1000"},
        {ValueFormat::Thousandths, 1234567, "1234.57"},
        {ValueFormat::Unsigned, 5000000000ULL, "5000000000"},
        {ValueFormat::Unsigned, 0xFFFFFFFFu, "4294967295"},  // a counter, never negative
        {ValueFormat::Signed, 0xFFFFFFFEu, "-2"},            // calibration rows are signed
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(FormatValue(c.format, c.value), c.text) << c.value;
    }
}

TEST(ValueFormat, CatalogueTypesPickTheirFormat) {
    EXPECT_EQ(FormatForType(5), ValueFormat::Address);
    EXPECT_EQ(FormatForType(6), ValueFormat::Mac);
    EXPECT_EQ(FormatForType(2), ValueFormat::Signed);
    for (int type : {0, 1, 3, 4})
        EXPECT_EQ(FormatForType(type), ValueFormat::Unsigned) << type;
}

TEST(ValueFormat, AddressesMustBeFourOctetsAndNothingElse) {
    uint32_t value = 0;
    ASSERT_TRUE(ParseAddress("239.1.2.3", &value));
    EXPECT_EQ(value, 0xEF010203u);
    ASSERT_TRUE(ParseAddress("0.0.0.0", &value));
    EXPECT_EQ(value, 0u);
    ASSERT_TRUE(ParseAddress("255.255.255.255", &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    for (const char* bad : {"", "10.0.0", "192.168.1.300", "1.2.3.4.5", "1..2.3", " 1.2.3.4", "1.2.3.4 ",
                            "-1.2.3.4", "1.2.3.x", "0001.2.3.4"}) {
        EXPECT_FALSE(ParseAddress(bad, &value)) << bad;
    }
}

}  // namespace

// The window's toolkit takes on the user's locale; values still read in the C form.
TEST(ValueFormat, NumbersReadTheSameInALocaleWithADecimalComma) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!UseDecimalCommaLocale())
        GTEST_SKIP() << "no locale with a decimal comma here, and localedef could not make one";
    const std::string thousandths = FormatThousandths(12500);
    const std::string large = FormatThousandths(0x80000000u);
    uint64_t value = 0;
    const bool parsed = ParseValue(ValueFormat::Thousandths, "12.5", &value);
    LeaveDecimalCommaLocale(before);
    EXPECT_EQ(thousandths, "12.5");
    EXPECT_EQ(large, "2.14748e+06");
    EXPECT_TRUE(parsed);
    EXPECT_EQ(value, 12500u);
}
