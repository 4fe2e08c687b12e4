// The command line of zel5100-sim.
#include <gtest/gtest.h>

#include "sim_options.h"

namespace {

SimOptions Parse(const std::vector<std::string>& args) {
    SimOptions options;
    std::string error;
    EXPECT_TRUE(ParseSimOptions(args, &options, &error)) << error;
    return options;
}

TEST(SimOptions, EveryOptionReachesTheConfiguration) {
    SimOptions o = Parse({"--type",
                          "5137",
                          "--mode=0",
                          "--firmware",
                          "13",
                          "--restart-ms",
                          "500",
                          "--noise",
                          "boot\\r\\n\\x02",
                          "--dhcp",
                          "--dhcp-link-local-ms",
                          "100",
                          "--dhcp-lease-ms",
                          "-1",
                          "--progress-steps",
                          "3",
                          "--fail-upgrade",
                          "--erase-ms",
                          "0",
                          "--upgrade-mode",
                          "0",
                          "--image-out",
                          "/tmp/img",
                          "--drop",
                          "1.5",
                          "--corrupt",
                          "2",
                          "--delay",
                          "3",
                          "--garbage",
                          "4",
                          "--error",
                          "5",
                          "--busy",
                          "6",
                          "--silent-after",
                          "7",
                          "--seed",
                          "0x10",
                          "--pacing",
                          "--turnaround-us",
                          "250",
                          "--link",
                          "/tmp/port",
                          "-v",
                          "--delay-past-ms",
                          "450",
                          "--hang-up-after",
                          "9",
                          "--hold-replies",
                          "--ignore-writes",
                          "--refuse-last-part"});
    const SimConfig& c = o.config;
    EXPECT_EQ(c.deviceType, 5137);
    EXPECT_EQ(c.mode, 0);
    EXPECT_EQ(c.firmwareVersion, 13);
    EXPECT_EQ(c.restartMs, 500);
    EXPECT_EQ(c.startupNoise, std::string("boot\r\n\x02"));
    EXPECT_TRUE(c.dhcpEnabled);
    EXPECT_EQ(c.dhcpLinkLocalMs, 100);
    EXPECT_EQ(c.dhcpLeaseMs, -1);
    EXPECT_EQ(c.upgradeProgressSteps, 3);
    EXPECT_TRUE(c.failUpgrade);
    EXPECT_EQ(c.eraseBusyMs, 0);
    EXPECT_EQ(c.upgradeMode, 0);
    EXPECT_EQ(o.imageOut, "/tmp/img");
    EXPECT_DOUBLE_EQ(c.faults.dropReplyPercent, 1.5);
    EXPECT_DOUBLE_EQ(c.faults.corruptBytePercent, 2);
    EXPECT_DOUBLE_EQ(c.faults.delayReplyPercent, 3);
    EXPECT_DOUBLE_EQ(c.faults.noisePercent, 4);
    EXPECT_DOUBLE_EQ(c.faults.errorReplyPercent, 5);
    EXPECT_DOUBLE_EQ(c.faults.busyReplyPercent, 6);
    EXPECT_EQ(c.faults.silentAfterFrames, 7);
    EXPECT_EQ(c.faults.seed, 16u);
    EXPECT_EQ(c.faults.delayPastTimeoutMs, 450);
    EXPECT_EQ(c.faults.hangUpAfterFrames, 9);
    EXPECT_TRUE(c.faults.holdReplies);
    EXPECT_TRUE(c.faults.ignoreWrites);
    EXPECT_TRUE(c.refuseLastPart);
    EXPECT_TRUE(c.wirePacing);
    EXPECT_EQ(c.turnaroundUs, 250);
    EXPECT_EQ(o.linkPath, "/tmp/port");
    EXPECT_TRUE(o.verbose);
    EXPECT_FALSE(o.help);
}

TEST(SimOptions, DefaultsDescribeAPlainZel5100) {
    SimOptions o = Parse({});
    EXPECT_EQ(o.config.deviceType, 5100);
    EXPECT_EQ(o.config.mode, 1);
    EXPECT_EQ(o.config.firmwareVersion, 23);
    EXPECT_FALSE(o.config.wirePacing);
    EXPECT_EQ(o.config.faults.silentAfterFrames, -1);
    EXPECT_TRUE(o.linkPath.empty());
    EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(SimOptions, BadArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--type", "5200"}, {"--mode", "2"},       {"--mode", "x"},     {"--firmware", "-1"},
        {"--restart-ms"},   {"--drop", "101"},     {"--drop", "-1"},    {"--drop", "nan"},
        {"--seed", "-3"},   {"--noise", "bad\\q"}, {"--noise", "\\x4"}, {"--progress-steps", "0"},
        {"--link", ""},     {"--dhcp=1"},          {"--whatever"},      {"--silent-after", "-2"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        SimOptions options;
        std::string error;
        EXPECT_FALSE(ParseSimOptions(args, &options, &error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
