// zelctl against the simulator behind a real ser2net, next to the same commands on
// the simulator's own terminal.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "loopback.h"
#include "ser2net_server.h"
#include "zelctl_fixture.h"

class Ser2netTest : public ZelctlTest, public ::testing::WithParamInterface<Ser2netMode> {
protected:
    // The simulator with `options`, and ser2net serving its terminal with the line
    // set to `line` until the client sets its own.
    void StartBehindSer2net(std::vector<std::string> options = {}, const std::string& line = "115200n81") {
        SkipWithoutNetworkPorts();
        if (IsSkipped()) return;
        StartSimulator(std::move(options));
        if (HasFatalFailure()) return;
        server_ = std::make_unique<Ser2netServer>(Ser2netSetup{GetParam(), Port(), line});
        ASSERT_TRUE(server_->Ready()) << server_->Error();
    }
    Ser2netServer& Server() { return *server_; }

    // The command with --port naming the network port.
    ProcessResult OnServer(std::vector<std::string> args) { return Through(server_->PortName(), std::move(args)); }
    ProcessResult Through(const std::string& port, std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", port});
        return Zelctl(args);
    }

private:
    // A tool without network ports takes the name for a device node and says nothing of
    // a refused connection; the tests of these ports then have nothing to test.
    void SkipWithoutNetworkPorts() {
        if (Ser2netPath().empty()) GTEST_SKIP() << "ser2net is not installed (scripts/install-deps)";
        static const bool supported = [this] {
            const int port = UnusedLoopbackPort();
            const ProcessResult result =
                Zelctl({"--port", "tcp://127.0.0.1:" + std::to_string(port), "info"});
            std::string lower = result.err;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return lower.find("refused") != std::string::npos;
        }();
        if (!supported) GTEST_SKIP() << "this zelctl does not take tcp:// ports yet";
    }

    std::unique_ptr<Ser2netServer> server_;
};

inline std::string ModeName(const ::testing::TestParamInfo<Ser2netMode>& info) {
    return info.param == Ser2netMode::kRfc2217 ? "Rfc2217" : "Raw";
}
