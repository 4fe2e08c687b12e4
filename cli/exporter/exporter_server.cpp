#include "exporter_server.h"

#include <httplib.h>

#include "exporter_routes.h"

struct ExporterServer::Http {
    httplib::Server server;
};

ExporterServer::ExporterServer(SnapshotSource snapshots) : http_(std::make_unique<Http>()) {
    http_->server.Get(".*", [snapshots](const httplib::Request& request, httplib::Response& response) {
        const bool hasTarget = request.has_param("target");
        const std::string target = hasTarget ? request.get_param_value("target") : "";
        const HttpAnswer answer = AnswerRequest(request.path, hasTarget ? &target : nullptr, snapshots());
        response.status = answer.status;
        response.set_content(answer.body, answer.contentType.c_str());
    });
    // A scrape is one short request; a client that stalls does not hold a worker long.
    http_->server.set_read_timeout(5, 0);
    http_->server.set_write_timeout(5, 0);
    http_->server.set_keep_alive_timeout(5);
}

ExporterServer::~ExporterServer() {
    Stop();
}

int ExporterServer::Bind(const std::string& host, int port) {
    if (port == 0) return http_->server.bind_to_any_port(host);
    return http_->server.bind_to_port(host, port) ? port : -1;
}

bool ExporterServer::Serve() {
    return http_->server.listen_after_bind();
}

void ExporterServer::Stop() {
    http_->server.stop();
}
