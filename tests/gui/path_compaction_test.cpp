// Shortening a firmware path for the path field: middle folders give way whole.
#include <gtest/gtest.h>
#include <string>

#include "path_compaction.h"

namespace {

struct CompactCase {
    const char* path;
    int limit;
    const char* shown;
};

TEST(PathCompaction, MiddleFoldersGiveWayToAnEllipsis) {
    const CompactCase cases[] = {
        // Short enough: unchanged, also exactly at the limit.
        {"/home/op/fw.zel", 72, "/home/op/fw.zel"},
        {"/a/bb/ccc.zel", 13, "/a/bb/ccc.zel"},
        {"", 72, ""},
        // The longest leading part that fits, then the file name.
        {"/home/operator/firmware/releases/zel5100/v2.3/zel5100_v2_3.zel", 44,
         "/home/operator/firmware/.../zel5100_v2_3.zel"},
        {"/home/operator/firmware/releases/zel5100/v2.3/zel5100_v2_3.zel", 43,
         "/home/operator/.../zel5100_v2_3.zel"},
        {"/home/operator/firmware/releases/zel5100/v2.3/zel5100_v2_3.zel", 30, "/home/.../zel5100_v2_3.zel"},
        {"/home/operator/firmware/releases/zel5100/v2.3/zel5100_v2_3.zel", 24, "/.../zel5100_v2_3.zel"},
        {"/home/operator/firmware/releases/zel5100/v2.3/zel5100_v2_3.zel", 20, ".../zel5100_v2_3.zel"},
        // Relative paths keep their first folders the same way.
        {"images/old/2019/spring/fw.zel", 20, "images/.../fw.zel"},
        // A file name too long for any folder: its start and an ellipsis.
        {"/x/a_very_long_firmware_file_name.zel", 12, "a_very_lo..."},
        {"a_very_long_firmware_file_name.zel", 10, "a_very_..."},
        {"/x/y.zel", 2, ".."},
        // Characters, not bytes: "ü" counts once and is never cut in two.
        {"/home/jürgen/firmware/übersicht/neu.zel", 25, "/home/jürgen/.../neu.zel"},
        {"/x/ääääää.zel", 6, "äää..."},
    };
    for (const CompactCase& c : cases) {
        const std::string shown = CompactPath(c.path, c.limit);
        EXPECT_EQ(shown, c.shown) << c.path << " limit " << c.limit;
        EXPECT_LE(Utf8Length(shown), c.limit) << c.path;
    }
}

TEST(PathCompaction, APathOfAnyLengthFitsTheFieldsSeventyTwoCharacters) {
    std::string path;
    for (int depth = 0; depth < 40; ++depth) {
        path += "/folder" + std::to_string(depth);
        const std::string full = path + "/zel5100.zel";
        const std::string shown = CompactPath(full, 72);
        EXPECT_LE(Utf8Length(shown), 72) << full;
        if (Utf8Length(full) <= 72) {
            EXPECT_EQ(shown, full);
        } else {
            EXPECT_NE(shown.find("/.../zel5100.zel"), std::string::npos) << shown;
            EXPECT_EQ(shown.rfind("/folder0/", 0), 0u) << shown;
        }
    }
}

}  // namespace
