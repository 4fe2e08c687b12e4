// zelctl exporter run as a user would, serving simulated units over HTTP: what each
// unit's state puts into /metrics, a port held by another program, /probe, the status
// page, the text Prometheus' own checker accepts, and a real Prometheus scraping it.
#include <httplib.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "com_port.h"
#include "lock_path_of.h"
#include "loopback.h"
#include "zel_protocol.h"
#include "zel_setting_ids.h"
#include "zelctl_fixture.h"

namespace {

constexpr int kWaitMs = 60000;
constexpr const char* kMissingPort = "/dev/nonexistent";

// The series every unit the exporter has polled carries, whatever its state.
const std::set<std::string> kStatusSeries = {"zel5100_up", "zel5100_port_busy",
                                             "zel5100_poll_duration_seconds",
                                             "zel5100_last_poll_timestamp_seconds"};

// One sample line of the text format: name{labels} value.
struct Sample {
    std::string name;
    std::map<std::string, std::string> labels;
    std::string value;
};

// The samples of a /metrics answer, label values unescaped; comment lines skipped. A line
// that does not parse becomes a sample named "?" with the line as its value.
std::vector<Sample> ParseSamples(const std::string& text) {
    std::vector<Sample> samples;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        Sample sample;
        size_t at = line.find_first_of("{ ");
        sample.name = line.substr(0, at);
        bool good = at != std::string::npos;
        if (good && line[at] == '{') {
            ++at;
            while (good && at < line.size() && line[at] != '}') {
                const size_t equals = line.find("=\"", at);
                good = equals != std::string::npos;
                if (!good) break;
                const std::string name = line.substr(at, equals - at);
                std::string value;
                at = equals + 2;
                while (at < line.size() && line[at] != '"') {
                    if (line[at] == '\\' && at + 1 < line.size()) {
                        ++at;
                        value.push_back(line[at] == 'n' ? '\n' : line[at]);
                    } else {
                        value.push_back(line[at]);
                    }
                    ++at;
                }
                good = at < line.size();
                ++at;
                if (good && at < line.size() && line[at] == ',') ++at;
                sample.labels[name] = value;
            }
            good = good && at < line.size() && line[at] == '}';
            ++at;
        }
        good = good && at < line.size() && line[at] == ' ';
        if (good) sample.value = line.substr(at + 1);
        samples.push_back(good ? sample : Sample{"?", {}, line});
    }
    return samples;
}

std::vector<Sample> OfPort(const std::vector<Sample>& samples, const std::string& port) {
    std::vector<Sample> mine;
    for (const Sample& sample : samples)
        if (sample.labels.count("port") && sample.labels.at("port") == port) mine.push_back(sample);
    return mine;
}

std::set<std::string> Names(const std::vector<Sample>& samples) {
    std::set<std::string> names;
    for (const Sample& sample : samples)
        names.insert(sample.name);
    return names;
}

// The value of the unit's series `name`; "" when it has none.
std::string ValueOf(const std::vector<Sample>& samples, const std::string& port, const std::string& name) {
    for (const Sample& sample : OfPort(samples, port))
        if (sample.name == name) return sample.value;
    return "";
}

struct HttpReply {
    int status = -1;  // -1: no answer
    std::string contentType;
    std::string body;
};

HttpReply HttpGet(int port, const std::string& path) {
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(10, 0);
    client.set_read_timeout(30, 0);
    const httplib::Result result = client.Get(path.c_str());
    if (!result) return {};
    return {result->status, result->get_header_value("Content-Type"), result->body};
}

// Polls `attempt` until it holds or `limitMs` runs out; the pause between attempts only
// keeps the loop from spinning.
bool Eventually(const std::function<bool()>& attempt, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!attempt()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string Joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += name + " ";
    return text;
}

class ExporterTest : public ZelctlTest {
protected:
    void TearDown() override {
        if (exporter_) StopExporter();
    }

    // A simulated unit on a pseudo-terminal or over TCP; its port name.
    std::string StartUnit(int serial, bool tcp, std::vector<std::string> options = {}) {
        const std::string name = ZelctlTest::StartUnit(serial, tcp, std::move(options));
        if (!tcp && !name.empty()) {
            // The terminal is new: a lock file naming it is left from an earlier terminal of
            // that number, its holder killed and its pid since taken by another program. The
            // exporter would rightly call such a port busy.
            const std::string lock = LockPathOf(name);
            if (!lock.empty()) ::unlink(lock.c_str());
        }
        return name;
    }

    // zelctl exporter on a free loopback port, polling every 0.2 s; `units` are the
    // options naming the units (--port NAME, --ports-file FILE).
    void StartExporter(std::vector<std::string> units) {
        units.insert(units.end(), {"exporter", "--listen", "127.0.0.1:0", "--interval", "0.2"});
        exporterArgs_ = units;
        exporter_ = StartZelctl(units);
        static const std::regex serving(R"(serving http://127\.0\.0\.1:(\d+)/metrics)");
        std::smatch match;
        std::string out;
        ASSERT_TRUE(exporter_->WaitUntil(
            [&out](const ProcessResult& sofar) {
                out = sofar.out;
                return out.find('\n') != std::string::npos;
            },
            kWaitMs))
            << "the exporter did not start: " << Describe(units, exporter_->Finish(kWaitMs));
        ASSERT_TRUE(std::regex_search(out, match, serving)) << out;
        httpPort_ = std::stoi(match[1]);
    }
    // SIGTERM, as a service manager stops it: every port released, exit status 0.
    void StopExporter() {
        exporter_->Signal(SIGTERM);
        const ProcessResult ended = Checked(exporterArgs_, exporter_->Finish(kWaitMs));
        exporter_.reset();
        EXPECT_EQ(ended.exitCode, 0) << Describe(exporterArgs_, ended);
        EXPECT_NE(ended.err.find("every port released"), std::string::npos) << ended.err;
    }
    int HttpPort() const { return httpPort_; }

    HttpReply Get(const std::string& path) { return HttpGet(httpPort_, path); }

    // Scrapes /metrics until `done` holds for its samples; the last answer's text.
    std::string ScrapeUntil(const std::function<bool(const std::vector<Sample>&)>& done,
                            int limitMs = kWaitMs) {
        std::string text;
        const bool held = Eventually(
            [&] {
                const HttpReply reply = Get("/metrics");
                text = reply.body;
                return reply.status == 200 && done(ParseSamples(text));
            },
            limitMs);
        EXPECT_TRUE(held) << "/metrics never showed what was waited for; its last answer:\n"
                          << text << "\nand the page:\n"
                          << Get("/").body;
        return text;
    }
    // Scrapes until every one of `ports` has been polled at least once.
    std::vector<Sample> ScrapeAllPolled(const std::vector<std::string>& ports) {
        return ParseSamples(ScrapeUntil([&ports](const std::vector<Sample>& samples) {
            for (const std::string& port : ports)
                if (ValueOf(samples, port, "zel5100_up").empty()) return false;
            return true;
        }));
    }

private:
    std::unique_ptr<RunningProcess> exporter_;
    std::vector<std::string> exporterArgs_;
    int httpPort_ = 0;
};

TEST_F(ExporterTest, LiveUnitsShowIdentityAndCountersAndADeadOrMissingUnitOnlyItsStatus) {
    const std::string ipToAsi = StartUnit(1001, false);
    const std::string asiToIp = StartUnit(1002, true, {"--mode", "0", "--firmware", "24"});
    const std::string dead = StartUnit(1003, false, {"--drop", "100"});  // answers nothing
    StartExporter({"--ports-file", PortsFile(ipToAsi + " studio-a\n" + asiToIp + " studio-b\n" + dead +
                                             " dead\n" + kMissingPort + "\n")});

    // The live units up, and the other two polled to their end.
    const std::vector<Sample> first = ParseSamples(ScrapeUntil([&](const std::vector<Sample>& s) {
        return ValueOf(s, ipToAsi, "zel5100_up") == "1" && ValueOf(s, asiToIp, "zel5100_up") == "1" &&
               !ValueOf(s, dead, "zel5100_up").empty() && !ValueOf(s, kMissingPort, "zel5100_up").empty();
    }));
    EXPECT_EQ(Names(first).count("?"), 0u) << "lines that are no samples";

    struct Live {
        const std::string& port;
        const char* label;
        const char* serial;
        const char* mode;
        const char* firmware;
        const char* modeCounter;   // a counter the unit's mode has
        const char* otherCounter;  // one of the other mode, not read in this one
    };
    const Live live[] = {
        {ipToAsi, "studio-a", "0.001.001", "1", "2.3", "zel5100_lost_packets_before_fec_total",
         "zel5100_asi_input_valid_packets_total"},
        {asiToIp, "studio-b", "0.001.002", "0", "2.4", "zel5100_asi_input_valid_packets_total",
         "zel5100_lost_packets_before_fec_total"},
    };
    for (const Live& unit : live) {
        SCOPED_TRACE(unit.port);
        EXPECT_EQ(ValueOf(first, unit.port, "zel5100_port_busy"), "0");
        EXPECT_EQ(ValueOf(first, unit.port, "zel5100_mode"), unit.mode);
        EXPECT_EQ(ValueOf(first, unit.port, "zel5100_firmware_version"), unit.firmware);
        EXPECT_FALSE(ValueOf(first, unit.port, unit.modeCounter).empty());
        EXPECT_EQ(ValueOf(first, unit.port, unit.otherCounter), "");
        for (const Sample& sample : OfPort(first, unit.port)) {
            EXPECT_EQ(sample.labels.at("label"), unit.label) << sample.name;
            if (sample.name != "zel5100_unit_info") continue;
            EXPECT_EQ(sample.labels.at("serial_number"), unit.serial);
            EXPECT_EQ(sample.labels.at("type"), "ZEL-5100");
            EXPECT_EQ(sample.value, "1");
        }
    }

    // A unit that answers nothing and a port that is not there: down, with nothing but
    // their status, and no label where the ports file gives none.
    for (const std::string& port : {dead, std::string(kMissingPort)}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(ValueOf(first, port, "zel5100_up"), "0");
        EXPECT_EQ(ValueOf(first, port, "zel5100_port_busy"), "0");
        EXPECT_EQ(Names(OfPort(first, port)), kStatusSeries) << Joined(Names(OfPort(first, port)));
    }
    for (const Sample& sample : OfPort(first, kMissingPort))
        EXPECT_EQ(sample.labels.count("label"), 0u) << sample.name;

    // Every family once, with its type; the counters are typed so.
    const std::string text = Get("/metrics").body;
    for (const char* line :
         {"# TYPE zel5100_up gauge\n", "# TYPE zel5100_lost_packets_before_fec_total counter\n",
          "# TYPE zel5100_asi_input_valid_packets_total counter\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
        EXPECT_EQ(text.find(line), text.rfind(line)) << line;
    }
    EXPECT_EQ(Get("/metrics").contentType, "text/plain; version=0.0.4; charset=utf-8");

    // The unit is polled again and again: its counter moves on.
    const double counted = std::stod(ValueOf(first, ipToAsi, "zel5100_lost_packets_before_fec_total"));
    ScrapeUntil([&](const std::vector<Sample>& samples) {
        const std::string now = ValueOf(samples, ipToAsi, "zel5100_lost_packets_before_fec_total");
        return !now.empty() && std::stod(now) > counted;
    });
}

TEST_F(ExporterTest, APortHeldElsewhereIsBusyNotDeadAndIsFreeBetweenPolls) {
    const std::string unit = StartUnit(1101, false);
    StartExporter({"--port", unit});
    ScrapeUntil([&](const std::vector<Sample>& s) { return ValueOf(s, unit, "zel5100_up") == "1"; });

    // Between two polls the port is free: this test opens it and talks to the unit while
    // the exporter keeps polling every 0.2 s.
    ComPort line;
    int code = COM_OPEN_FAILED;
    ASSERT_TRUE(Eventually(
        [&] {
            code = OpenComPort(&line, unit);
            if (code != COM_OPEN_OK) CloseComPort(&line);
            return code == COM_OPEN_OK;
        },
        kWaitMs))
        << "never free: " << ComOpenFailureHint(line);
    uint32_t type = 0;
    EXPECT_EQ(ZelReadSetting(ZEL_CAT_DEVICE, ZEL_SET_TYPE, &type), ZEL_OK);
    EXPECT_EQ(type, 5100u);

    // Held here, the exporter's next poll finds it busy: not up, yet not a dead unit.
    const std::vector<Sample> held = ParseSamples(ScrapeUntil(
        [&](const std::vector<Sample>& s) { return ValueOf(s, unit, "zel5100_port_busy") == "1"; }));
    EXPECT_EQ(ValueOf(held, unit, "zel5100_up"), "0");
    EXPECT_EQ(Names(OfPort(held, unit)), kStatusSeries) << Joined(Names(OfPort(held, unit)));
    const std::string page = Get("/").body;
    EXPECT_NE(page.find("<tr class=\"busy\">"), std::string::npos) << page;
    EXPECT_NE(page.find("(pid " + std::to_string(::getpid()) + ")"), std::string::npos) << page;

    CloseComPort(&line);
    ScrapeUntil([&](const std::vector<Sample>& s) {
        return ValueOf(s, unit, "zel5100_up") == "1" && ValueOf(s, unit, "zel5100_port_busy") == "0";
    });
}

// The status page's link for the unit on `port`.
std::string ProbeLink(const std::string& page, const std::string& port) {
    const std::string cell = "<td>" + port + "</td>";
    const size_t row = page.find(cell);
    if (row == std::string::npos) return "";
    const std::string anchor = "<a href=\"";
    const size_t link = page.find(anchor, row);
    if (link == std::string::npos) return "";
    const size_t start = link + anchor.size();
    return page.substr(start, page.find('"', start) - start);
}

TEST_F(ExporterTest, ProbeAnswersForOneUnitByLabelOrPortAndThePageListsEveryUnitWithItsLink) {
    const std::string labelled = StartUnit(1201, false);
    const std::string plain = StartUnit(1202, true);
    // A label with characters that HTML, URLs and the metric text each quote in their own way.
    const std::string label = "rack\"1<b>&";
    StartExporter(
        {"--ports-file", PortsFile(labelled + " " + label + "\n" + plain + "\n" + kMissingPort + "\n")});
    ScrapeUntil([&](const std::vector<Sample>& s) {
        return ValueOf(s, labelled, "zel5100_up") == "1" && ValueOf(s, plain, "zel5100_up") == "1" &&
               !ValueOf(s, kMissingPort, "zel5100_up").empty();
    });

    const HttpReply page = Get("/");
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
    EXPECT_EQ(page.body.find(label), std::string::npos) << "the label unescaped in HTML";
    const struct {
        std::string label;  // as the page shows it
        std::string port;
        const char* state;
    } rows[] = {
        {"rack&quot;1&lt;b&gt;&amp;", labelled, "up"},
        {"", plain, "up"},
        {"", kMissingPort, "down"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.port);
        EXPECT_NE(
            page.body.find("<td>" + row.label + "</td><td>" + row.port + "</td><td>" + row.state + "</td>"),
            std::string::npos)
            << page.body;
        // The page's link, followed as a browser would (relative to /), gives that unit alone.
        const std::string link = ProbeLink(page.body, row.port);
        ASSERT_EQ(link.rfind("probe?target=", 0), 0u) << link;
        const HttpReply probe = Get("/" + link);
        EXPECT_EQ(probe.status, 200) << link << "\n" << probe.body;
        EXPECT_EQ(probe.contentType, "text/plain; version=0.0.4; charset=utf-8");
        const std::vector<Sample> samples = ParseSamples(probe.body);
        EXPECT_FALSE(samples.empty());
        EXPECT_EQ(OfPort(samples, row.port).size(), samples.size()) << probe.body;
    }
    // A labelled unit's link names it by its label.
    EXPECT_EQ(ProbeLink(page.body, labelled), "probe?target=rack%221%3Cb%3E%26");

    // By label first, then by port name; the label's own quoting in the text.
    const HttpReply byLabel = Get("/probe?target=" + httplib::detail::encode_query_param(label));
    EXPECT_NE(byLabel.body.find("label=\"rack\\\"1<b>&\""), std::string::npos) << byLabel.body;
    const std::vector<Sample> byPort =
        ParseSamples(Get("/probe?target=" + httplib::detail::encode_query_param(plain)).body);
    EXPECT_EQ(ValueOf(byPort, plain, "zel5100_up"), "1");
    EXPECT_EQ(OfPort(byPort, plain).size(), byPort.size());

    // A probe that names no unit, or one that is not here, says which units there are.
    const struct {
        const char* path;
        int status;
        const char* words;
        bool namesUnits;
    } refused[] = {
        {"/probe", 400, "probe needs ?target=LABEL", true},
        {"/probe?target=", 400, "probe needs ?target=LABEL", true},
        {"/probe?target=studio-z", 404, "no unit 'studio-z' here; the units are ", true},
        {"/graph", 404, "the exporter serves /metrics, /probe?target=LABEL and /", false},
    };
    for (const auto& request : refused) {
        SCOPED_TRACE(request.path);
        const HttpReply reply = Get(request.path);
        EXPECT_EQ(reply.status, request.status);
        EXPECT_NE(reply.body.find(request.words), std::string::npos) << reply.body;
        EXPECT_EQ(reply.body.find("zel5100_"), std::string::npos) << reply.body;
        if (request.namesUnits) {
            EXPECT_NE(reply.body.find(plain), std::string::npos) << reply.body;
        }
    }
}

// A program found where Debian puts it; "" when it is not installed.
std::string Installed(const char* path) {
    return ::access(path, X_OK) == 0 ? path : "";
}

TEST_F(ExporterTest, PromtoolAcceptsTheMetricsOfLiveDownAndOddlyLabelledUnits) {
    const std::string promtool = Installed("/usr/bin/promtool");
    if (promtool.empty()) GTEST_SKIP() << "promtool is not installed (Debian package prometheus)";
    const std::string ipToAsi = StartUnit(1301, false);
    const std::string asiToIp = StartUnit(1302, true, {"--mode", "0"});
    StartExporter(
        {"--ports-file", PortsFile(ipToAsi + " studio\\a\"\n" + asiToIp + " b\n" + kMissingPort + "\n")});
    ScrapeAllPolled({ipToAsi, asiToIp, kMissingPort});

    const std::string body = Home().File("metrics.txt");
    WriteFile(body, Get("/metrics").body);
    const ProcessResult check =
        RunProcess({"/bin/sh", "-c", "\"$0\" check metrics < \"$1\"", promtool, body}, {}, kWaitMs);
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err << "\n" << ReadFile(body);
    EXPECT_EQ(check.out + check.err, "") << ReadFile(body);
}

// A real Prometheus server scraping the exporter as the README configures it: every unit
// at /metrics, and the units as targets of their own through /probe.
class ExporterPrometheusTest : public ExporterTest {
protected:
    // Prometheus on a free loopback port with this configuration; its port, or 0.
    int StartPrometheus(const std::string& program, const std::string& config) {
        const std::string configFile = Home().File("prometheus.yml");
        WriteFile(configFile, config);
        // The port is free a moment before Prometheus binds it; on the rare clash, another.
        for (int attempt = 0; attempt < 5; ++attempt) {
            const int port = UnusedLoopbackPort();
            const std::string storage = Home().File("tsdb" + std::to_string(attempt));
            prometheus_ = std::make_unique<RunningProcess>(
                std::vector<std::string>{program, "--config.file=" + configFile,
                                         "--storage.tsdb.path=" + storage,
                                         "--web.listen-address=127.0.0.1:" + std::to_string(port)},
                std::vector<std::string>{"HOME=" + Home().Path()});
            const bool ready = prometheus_->WaitUntil(
                [](const ProcessResult& sofar) {
                    return sofar.err.find("Server is ready to receive web requests.") != std::string::npos;
                },
                kWaitMs);
            if (ready) return port;
            log_ = prometheus_->Finish(10000).err;
            if (log_.find("address already in use") == std::string::npos) return 0;
        }
        return 0;
    }
    void TearDown() override {
        if (prometheus_) {
            prometheus_->Signal(SIGTERM);
            prometheus_->Finish(kWaitMs);
        }
        ExporterTest::TearDown();
    }
    const std::string& Log() const { return log_; }

private:
    std::unique_ptr<RunningProcess> prometheus_;
    std::string log_;
};

// The series of an instant query's answer; empty for an answer that is no success.
std::vector<nlohmann::json> QueryResult(int port, const std::string& query) {
    const HttpReply reply =
        HttpGet(port, "/api/v1/query?query=" + httplib::detail::encode_query_param(query));
    if (reply.status != 200) return {};
    const nlohmann::json answer = nlohmann::json::parse(reply.body, nullptr, false);
    if (answer.is_discarded() || answer.value("status", "") != "success") return {};
    const nlohmann::json result =
        answer.value("data", nlohmann::json::object()).value("result", nlohmann::json());
    return result.is_array() ? result.get<std::vector<nlohmann::json>>() : std::vector<nlohmann::json>();
}

// The value of the one series of `query`; "" unless there is exactly one.
std::string QueryValue(int port, const std::string& query) {
    const std::vector<nlohmann::json> series = QueryResult(port, query);
    return series.size() == 1 ? series[0]["value"][1].get<std::string>() : "";
}

TEST_F(ExporterPrometheusTest, PrometheusScrapesEveryUnitAndEachUnitAsAProbeTarget) {
    const std::string prometheus = Installed("/usr/bin/prometheus");
    if (prometheus.empty()) GTEST_SKIP() << "prometheus is not installed (Debian package prometheus)";
    const std::string a = StartUnit(1401, false);
    const std::string b = StartUnit(1402, true);
    StartExporter(
        {"--ports-file", PortsFile(a + " studio-a\n" + b + " studio-b\n" + kMissingPort + " gone\n")});
    const std::string exporter = "127.0.0.1:" + std::to_string(HttpPort());
    // The README's two scrape configurations, scraped every second.
    std::string config = R"(global:
  scrape_interval: 1s
  scrape_timeout: 1s
scrape_configs:
  - job_name: zel5100
    static_configs:
      - targets: ['EXPORTER']
  - job_name: zel5100-units
    metrics_path: /probe
    static_configs:
      - targets: ['studio-a', 'studio-b']
    relabel_configs:
      - source_labels: [__address__]
        target_label: __param_target
      - source_labels: [__param_target]
        target_label: instance
      - target_label: __address__
        replacement: EXPORTER
)";
    for (size_t at = config.find("EXPORTER"); at != std::string::npos; at = config.find("EXPORTER", at))
        config.replace(at, 8, exporter);
    const int port = StartPrometheus(prometheus, config);
    ASSERT_NE(port, 0) << "Prometheus did not start:\n" << Log();

    const struct {
        std::string query;
        const char* value;
    } expected[] = {
        {"zel5100_up{job=\"zel5100\",label=\"studio-a\",port=\"" + a + "\"}", "1"},
        {"zel5100_up{job=\"zel5100\",label=\"studio-b\",port=\"" + b + "\"}", "1"},
        {"zel5100_up{job=\"zel5100\",label=\"gone\"}", "0"},
        {"zel5100_up{job=\"zel5100-units\",instance=\"studio-a\"}", "1"},
        {"zel5100_up{job=\"zel5100-units\",instance=\"studio-b\"}", "1"},
        {"count(zel5100_lost_packets_before_fec_total{job=\"zel5100\"})", "2"},
        {"count(zel5100_mode{job=\"zel5100-units\"})", "2"},
        // Every scrape of every target parsed.
        {"count(up == 1)", "3"},
    };
    for (const auto& wanted : expected) {
        std::string value;
        EXPECT_TRUE(Eventually(
            [&] {
                value = QueryValue(port, wanted.query);
                return value == wanted.value;
            },
            kWaitMs))
            << wanted.query << " is " << (value.empty() ? "not one series" : value) << ", not "
            << wanted.value;
    }
    // A unit polled on: the rate of its counter over the last seconds is there to graph.
    EXPECT_TRUE(Eventually(
        [&] {
            const std::string rate = QueryValue(
                port, "rate(zel5100_lost_packets_before_fec_total{label=\"studio-a\",job=\"zel5100\"}[10s])");
            return !rate.empty() && std::stod(rate) > 0;
        },
        kWaitMs));
}

}  // namespace
