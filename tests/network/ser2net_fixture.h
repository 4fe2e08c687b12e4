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
        SkipWithoutSer2net();
        if (IsSkipped()) return;
        StartSimulator(std::move(options));
        if (HasFatalFailure()) return;
        server_ = std::make_unique<Ser2netServer>(Ser2netSetup{GetParam(), Port(), line});
        ASSERT_TRUE(server_->Ready()) << server_->Error();
    }
    Ser2netServer& Server() { return *server_; }

    // The command with --port naming the network port.
    ProcessResult OnServer(std::vector<std::string> args) {
        return Through(server_->PortName(), std::move(args));
    }
    ProcessResult Through(const std::string& port, std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", port});
        return Zelctl(args);
    }

private:
    void SkipWithoutSer2net() {
        if (Ser2netPath().empty()) GTEST_SKIP() << "ser2net is not installed (scripts/install-deps)";
    }

    std::unique_ptr<Ser2netServer> server_;
};

inline std::string ModeName(const ::testing::TestParamInfo<Ser2netMode>& info) {
    return info.param == Ser2netMode::kRfc2217 ? "Rfc2217" : "Raw";
}
