// zelctl over network ports served by zel5100-sim --listen: the same results as on
// a pseudo-terminal, Telnet's IAC carried both ways, and each way a connection can
// fail ending in its own words.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "firmware_builder.h"
#include "zelctl_fixture.h"

namespace {

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A listening socket on loopback that never accepts; `backlog` 0 and its queue
// filled makes a host that does not answer the connection at all.
class SilentListener {
public:
    explicit SilentListener(int backlog) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ok_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
              ::listen(fd_, backlog) == 0 &&
              ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0;
        port_ = ntohs(address.sin_port);
    }
    // Connects until one connection is left waiting, unanswered, by the full queue.
    bool FillQueue() {
        for (int i = 0; i < 64; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(uint16_t(port_));
            fillers_.push_back(fd);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) continue;
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) == 0) return true;
        }
        return false;
    }
    ~SilentListener() {
        for (int fd : fillers_) ::close(fd);
        if (fd_ >= 0) ::close(fd_);
    }
    bool Ok() const { return ok_; }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    bool ok_ = false;
    std::vector<int> fillers_;
};

class NetworkPortTest : public ZelctlTest {
protected:
    // A simulator serving `scheme` on a free loopback port; the name to connect to.
    std::string StartListening(const std::string& scheme, std::vector<std::string> options = {}) {
        options.insert(options.end(), {"--restart-ms", "400", "--listen", scheme + "://127.0.0.1:0"});
        sims_.push_back(std::make_unique<SimProcess>(options));
        const std::string name = sims_.back()->FirstLine();
        EXPECT_EQ(name.rfind(scheme + "://127.0.0.1:", 0), 0u) << sims_.back()->Error();
        return name;
    }
    ProcessResult On(const std::string& port, std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", port});
        return Zelctl(args);
    }

private:
    std::vector<std::unique_ptr<SimProcess>> sims_;
};

TEST_F(NetworkPortTest, InfoAndDumpEqualThePseudoTerminalsOverBothSchemes) {
    StartSimulator({"--still-counters"});
    const ProcessResult info = OnDevice({"info"});
    const ProcessResult dump = OnDevice({"dump"});
    ASSERT_EQ(info.exitCode, 0) << Describe({"info"}, info);
    ASSERT_EQ(dump.exitCode, 0) << Describe({"dump"}, dump);
    for (const char* scheme : {"tcp", "rfc2217"}) {
        SCOPED_TRACE(scheme);
        const std::string name = StartListening(scheme, {"--still-counters"});
        const ProcessResult netInfo = On(name, {"--trace", "info"});
        EXPECT_EQ(netInfo.exitCode, 0) << Describe({"info"}, netInfo);
        EXPECT_EQ(netInfo.out, info.out);
        EXPECT_NE(netInfo.err.find("opened " + name), std::string::npos) << netInfo.err;
        EXPECT_NE(netInfo.err.find(" ms, added to every wait for the device"), std::string::npos) << netInfo.err;
        const ProcessResult netDump = On(name, {"dump"});
        EXPECT_EQ(netDump.exitCode, 0) << Describe({"dump"}, netDump);
        EXPECT_EQ(netDump.out, dump.out);
    }
}

// Seven-bit parts of random data hold many 0xFF bytes, which Telnet doubles.
TEST_F(NetworkPortTest, AMultiPartUpgradeWithFFBytesArrivesByteExact) {
    FirmwareSpec recipe;
    recipe.compressed = true;
    recipe.major = 2;
    recipe.minor = 4;
    recipe.imageSize = 5000;
    recipe.randomPayload = true;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    ASSERT_GT(file.size(), 3u * 1024);
    const std::string path = Home().File("new.zel");
    WriteFile(path, AsText(file));
    for (const char* scheme : {"rfc2217", "tcp"}) {
        SCOPED_TRACE(scheme);
        const std::string received = Home().File(std::string(scheme) + ".zel");
        const std::string name = StartListening(scheme, {"--image-out", received});
        const ProcessResult result = On(name, {"--quiet", "upgrade", path});
        ASSERT_EQ(result.exitCode, 0) << Describe({"upgrade"}, result);
        EXPECT_EQ(ReadFile(received), AsText(file));
        EXPECT_EQ(result.out, "v2.4\n");
    }
}

TEST_F(NetworkPortTest, EachFailureEndsWithItsOwnWords) {
    const std::string raw = StartListening("tcp");
    const std::string telnetPort = StartListening("rfc2217");
    SilentListener full(0);
    ASSERT_TRUE(full.Ok());
    ASSERT_TRUE(full.FillQueue());
    SilentListener mute(8);
    ASSERT_TRUE(mute.Ok());
    int refusedPort = 0;  // a port that was listened on a moment ago, and refuses now
    {
        SilentListener closed(1);
        refusedPort = closed.Port();
    }

    const std::string hostPort = raw.substr(raw.find("127.0.0.1"));
    const std::string telnetHostPort = telnetPort.substr(telnetPort.find("127.0.0.1"));
    struct Case {
        std::string port;
        std::string words;
    };
    const std::vector<Case> cases = {
        {"tcp://127.0.0.1:" + std::to_string(refusedPort), "the connection was refused"},
        {"tcp://no-such-unit.invalid:2000", "the name no-such-unit.invalid does not resolve"},
        {"tcp://127.0.0.1:" + std::to_string(full.Port()), "no answer within the time allowed (connecting"},
        {"rfc2217://127.0.0.1:" + std::to_string(mute.Port()),
         "the server does not answer Telnet COM Port Control: name the port tcp://"},
        {"tcp://" + telnetHostPort, "the server speaks Telnet: name the port rfc2217://" + telnetHostPort},
        {"rfc2217://" + hostPort, "the server does not answer Telnet COM Port Control: name the port tcp://" + hostPort},
        {"tcp://[::1", "a network port is named tcp://HOST:PORT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        const ProcessResult result = On(c.port, {"info"});
        EXPECT_EQ(result.exitCode, 1) << Describe({c.port}, result);
        EXPECT_NE(result.err.find("cannot open port " + c.port + ": " + c.words), std::string::npos) << result.err;
    }
    // A raw port that takes the connection and says nothing is a line with no device on it.
    const ProcessResult mutePort = On("tcp://127.0.0.1:" + std::to_string(mute.Port()), {"info"});
    EXPECT_EQ(mutePort.exitCode, 1);
    EXPECT_NE(mutePort.err.find("no reply after 3 attempts"), std::string::npos) << mutePort.err;
}

// One client at a time: a second is told why by the server and shown that text.
TEST_F(NetworkPortTest, ASecondClientIsShownTheServersReason) {
    for (const char* scheme : {"tcp", "rfc2217"}) {
        SCOPED_TRACE(scheme);
        const std::string name = StartListening(scheme);
        // The first client: connected before zelctl, so the server takes it first.
        const int first = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(std::stoi(name.substr(name.rfind(':') + 1))));
        ASSERT_EQ(::connect(first, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const ProcessResult second = On(name, {"info"});
        ::close(first);
        EXPECT_EQ(second.exitCode, 1);
        EXPECT_NE(second.err.find("the server refused the connection: Port already in use"), std::string::npos)
            << second.err;
    }
}

}  // namespace
