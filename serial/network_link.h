// A line served over the network by a terminal server: the raw bytes over
// TCP (tcp://), or Telnet with COM Port Control (rfc2217://). The same code on
// every platform, over the socket of tcp_socket.h.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "serial_link.h"
#include "tcp_socket.h"
#include "telnet_codec.h"

class NetworkLink final : public SerialLink {
public:
    ~NetworkLink() override;

    int Open(const std::string& name, ComOpenFailure* failure) override;
    bool IsOpen() const override { return socket_.IsOpen(); }
    void Close() override;

    bool Write(const uint8_t* bytes, int length, Deadline deadline) override;
    int Read(uint8_t* into, int count, Deadline deadline) override;
    void DiscardInput() override;
    bool LineGone() const override;

    void SetWaitHook(ZelPumpFn hook, void* context) override {
        hook_ = hook;
        hookContext_ = context;
    }
    int RoundTripMs() const override { return socket_.IsOpen() ? roundTripMs_ : -1; }
    void PurgeFarEnd() override;

private:
    int Connect(const std::string& host, const std::string& port, ComOpenFailure* failure);
    int SettleRaw(const std::string& where, ComOpenFailure* failure);
    int NegotiateComPort(const std::string& where, ComOpenFailure* failure);
    int Refused(ComOpenFailure* failure);
    // Takes what the socket holds, waiting up to `waitMs` for the first of it.
    // Data goes to pending_; Telnet's own traffic is answered here.
    void Take(int waitMs);
    void HandleEvent(const telnet::Event& event);
    bool SendAll(const std::vector<uint8_t>& bytes, Deadline deadline);
    void Pump();

    TcpSocket socket_;
    bool telnet_ = false;
    bool gone_ = false;  // the server closed the connection, or it broke
    int roundTripMs_ = 0;
    // Raw ports: a proxy or tunnel may answer the connection at once, so the
    // round trip is also learnt from how long replies take to start coming.
    Clock::time_point lastWrite_{};
    bool awaitingReply_ = false;
    telnet::Decoder decoder_;
    std::vector<uint8_t> pending_;  // device bytes not yet read
    bool sawTelnet_ = false;
    bool comPortRefused_ = false;
    std::set<uint8_t> answered_;  // COM Port Control commands the server has answered
    std::set<uint8_t> willSent_, doSent_, refusedSent_;
    ZelPumpFn hook_ = nullptr;
    void* hookContext_ = nullptr;
};

std::unique_ptr<SerialLink> MakeNetworkLink();
