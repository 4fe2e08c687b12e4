#include "ser2net_server.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "loopback.h"

namespace {

constexpr int kStartLimitMs = 20000;

std::string MakeDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/ser2net-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

}  // namespace

std::string Ser2netPath() {
#ifdef SER2NET_PATH
    return SER2NET_PATH;
#else
    return {};
#endif
}

std::string Ser2netServer::Configuration(const Ser2netSetup& setup, int port) {
    // nodelay: a reply the line delivers in pieces goes out at once, not after the
    // client's delayed acknowledgement of the piece before (40 ms each).
    const std::string accepter =
        setup.mode == Ser2netMode::kRfc2217 ? "telnet(rfc2217),tcp(nodelay)" : "tcp(nodelay)";
    // chardelay off: otherwise ser2net holds every reply back for a few character times.
    // local: a terminal has no modem lines to wait on.
    return "%YAML 1.1\n---\n"
           "connection: &unit\n"
           "  accepter: " +
           accepter + ",127.0.0.1," + std::to_string(port) +
           "\n"
           "  connector: serialdev," +
           setup.device + "," + setup.line +
           ",local\n"
           "  options:\n"
           "    chardelay: false\n"
           "    kickolduser: false\n";
}

Ser2netServer::Ser2netServer(const Ser2netSetup& setup) : setup_(setup), directory_(MakeDirectory()) {
    if (Ser2netPath().empty()) {
        error_ = "ser2net was not found when the project was configured";
        return;
    }
    if (directory_.empty()) {
        error_ = "no directory for ser2net's files";
        return;
    }
    // A port picked free may be taken by someone else before ser2net binds it.
    for (int attempt = 0; attempt < 5 && !Ready(); ++attempt) {
        const int port = UnusedLoopbackPort();
        if (port > 0 && StartOn(port)) port_ = port;
    }
}

bool Ser2netServer::StartOn(int port) {
    const std::string config = directory_ + "/ser2net.yaml";
    std::ofstream(config) << Configuration(setup_, port);
    // -n: stay in the foreground; -u: no UUCP lock of the line; a pid file of our own.
    child_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{Ser2netPath(), "-n", "-u", "-c", config, "-P", directory_ + "/ser2net.pid"});
    if (!child_->Started()) {
        error_ = child_->StartError();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ListeningOnLoopback(port)) return true;
        if (child_->Wait(0).ended || child_->Err().find("Unable to startup") != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    error_ = "ser2net did not listen on port " + std::to_string(port) + ": " + child_->Err();
    child_.reset();
    return false;
}

std::string Ser2netServer::PortName() const {
    const std::string scheme = setup_.mode == Ser2netMode::kRfc2217 ? "rfc2217://" : "tcp://";
    return scheme + "127.0.0.1:" + std::to_string(port_);
}

void Ser2netServer::Kill() {
    if (child_) {
        child_->Signal(SIGKILL);
        child_->Wait(10000);
    }
}

Ser2netServer::~Ser2netServer() {
    if (child_) {
        child_->Signal(SIGTERM);
        if (!child_->Wait(5000).ended) child_->Signal(SIGKILL);
        child_.reset();
    }
    if (!directory_.empty()) {
        ::unlink((directory_ + "/ser2net.yaml").c_str());
        ::unlink((directory_ + "/ser2net.pid").c_str());
        ::rmdir(directory_.c_str());
    }
}
