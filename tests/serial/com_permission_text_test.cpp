// The permission hint: a group to join only when joining it would help.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "com_open_failure_posix.h"
#include "com_port.h"

namespace {

class PermissionHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zel-permission-XXXXXX";
        const int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        close(fd);
        path_ = pattern;
    }
    void TearDown() override { unlink(path_.c_str()); }

    std::string Hint() const {
        ComPort port;
        port.name = path_;
        NoteOpenError(&port.failure, EACCES, path_);
        return ComOpenFailureHint(port);
    }

    std::string path_;
};

TEST_F(PermissionHintTest, ANodeNoGroupMayUseGetsItsPermissionsNotAGroup) {
    ASSERT_EQ(chmod(path_.c_str(), 0600), 0);
    const std::string hint = Hint();
    EXPECT_NE(hint.find("Permission denied"), std::string::npos) << hint;
    EXPECT_NE(hint.find("-rw-------"), std::string::npos) << hint;
    EXPECT_EQ(hint.find("usermod"), std::string::npos) << hint;
}

TEST_F(PermissionHintTest, TheOwningGroupIsNamedWhenItMayReadAndWrite) {
    ASSERT_EQ(chmod(path_.c_str(), 0660), 0);
    struct stat info {};
    ASSERT_EQ(stat(path_.c_str(), &info), 0);
    const group* owner = getgrgid(info.st_gid);
    if (info.st_gid == 0) {
        // Made by root: root's group is never offered, whatever its rights.
        EXPECT_EQ(Hint().find("usermod"), std::string::npos) << Hint();
        const group* dialout = getgrnam("dialout");
        if (!dialout || chown(path_.c_str(), uid_t(-1), dialout->gr_gid) != 0) {
            GTEST_SKIP() << "no other group to give the file to";
        }
        owner = dialout;
    }
    ASSERT_NE(owner, nullptr);
    const std::string name = owner->gr_name;
    EXPECT_NE(Hint().find("sudo usermod -aG " + name + " $USER"), std::string::npos) << Hint();
}

}  // namespace
