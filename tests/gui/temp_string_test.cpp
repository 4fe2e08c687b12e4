#include <gtest/gtest.h>

#include "temp_string.h"

namespace {

TEST(TempStringTest, FormatsTheDirectivesInUse) {
    EXPECT_EQ(TempString("%s v%s", "ZEL-5100 Utility", "2.3.0.10").Text(),
              QStringLiteral("ZEL-5100 Utility v2.3.0.10"));
    EXPECT_EQ(TempString("%d.%03d.%03d", 1, 2, 345).Text(), QStringLiteral("1.002.345"));
    EXPECT_EQ(TempString("%lld", 5000000000LL).Text(), QStringLiteral("5000000000"));
    EXPECT_EQ(TempString("%02X.%02X", 0x0A, 0xFF).Text(), QStringLiteral("0A.FF"));
    EXPECT_EQ(TempString("%g", 12500 / 1000.0).Text(), QStringLiteral("12.5"));
    EXPECT_EQ(TempString("%g", 1234567 / 1000.0).Text(), QStringLiteral("1234.57"));
    EXPECT_EQ(TempString("%08lx", 0x040904b0UL).Text(), QStringLiteral("040904b0"));
    EXPECT_EQ(TempString("Error opening '%s'", "/tmp/f\xC3\xBC.zel").Text(),
              QStringLiteral("Error opening '/tmp/f\u00FC.zel'"));
    EXPECT_EQ(TempString("%s", "").Text(), QString());
}

TEST(TempStringTest, CutsALongTextAtItsCapacity) {
    const std::string long1500(1500, 'a');
    const TempString text("%s", long1500.c_str());
    EXPECT_EQ(text.Text().size(), TempString::Capacity);
    EXPECT_EQ(text.Text(), QString(TempString::Capacity, QLatin1Char('a')));

    // A character outside the basic plane is not split at the cut.
    std::string split(TempString::Capacity - 1, 'b');
    split += "\xF0\x9F\x98\x80";  // one character, two UTF-16 units
    const TempString cut("%s", split.c_str());
    EXPECT_EQ(cut.Text().size(), TempString::Capacity - 1);
}

}  // namespace
