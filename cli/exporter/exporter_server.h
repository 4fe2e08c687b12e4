// The exporter's HTTP front (cpp-httplib): GET and HEAD of every path answered by
// AnswerRequest from the snapshots of the moment.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "unit_snapshot.h"

using SnapshotSource = std::function<std::vector<UnitSnapshot>()>;

class ExporterServer {
public:
    explicit ExporterServer(SnapshotSource snapshots);
    ~ExporterServer();
    ExporterServer(const ExporterServer&) = delete;
    ExporterServer& operator=(const ExporterServer&) = delete;

    // Binds to host:port (port 0: a free port); the port bound, or -1 when the address
    // cannot be had (in use, not this host's, no such name).
    int Bind(const std::string& host, int port);
    // Answers requests until Stop(); false when serving could not start.
    bool Serve();
    // From any thread: ends Serve().
    void Stop();

private:
    struct Http;
    std::unique_ptr<Http> http_;
};
