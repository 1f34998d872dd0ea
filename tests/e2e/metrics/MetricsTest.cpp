// sync-exporter judged from outside. Over HTTP as any client: scrapes within a second share one
// gather, and malformed, misdirected and oversized requests get 4xx while a silent client stays
// connected and scrapes go on, on IPv4 and IPv6 loopback. On the wire chain with nothing simulated
// (two ptp4l, sync-clockd, sync-portd, the daemon, sync-esmcd on veth links in namespaces of the
// test's own), scraped once a second by a real Prometheus in the node's namespace: promtool accepts
// the exposition, and Prometheus' own queries see a clockClass change as every port's SSM within
// 5 s, a link going down and up, sync-esmcd killed; a gather waits while an operator's command
// holds the daemon's command server, and the operator's command is not kept waiting.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "CommandServer.h"
#include "HttpProbe.h"
#include "TempDir.h"
#include "WireLab.h"

namespace {

using namespace std::chrono_literals;
using E2e::ChildProcess;
using E2e::HttpProbe;
using E2e::NetLab;

constexpr uint16_t EXPORTER_PORT = 9832;
constexpr uint16_t PROMETHEUS_PORT = 9090;

// Asks `holds` every 100 ms until it holds, at most `timeout`. The pause between two questions is a
// wait on `watched`, so that a program that dies ends the wait at once.
bool until(ChildProcess& watched, const std::function<bool()>& holds, std::chrono::milliseconds timeout) {
    for (const auto end = std::chrono::steady_clock::now() + timeout;;) {
        if (holds())
            return true;
        if (std::chrono::steady_clock::now() >= end || watched.waitExit(100ms))
            return false;
    }
}

// The addresses and ports the exporter says it serves /metrics on, once it said so.
std::vector<std::pair<std::string, uint16_t>> served(ChildProcess& exporter) {
    std::string output;
    until(
        exporter, [&] { return (output = exporter.output()).find("serving ") != std::string::npos; }, 10s);
    std::vector<std::pair<std::string, uint16_t>> urls;
    const std::regex url("http://\\[?([0-9a-f.:]+)\\]?:([0-9]+)/metrics");
    for (auto it = std::sregex_iterator(output.begin(), output.end(), url); it != std::sregex_iterator();
         ++it)
        urls.emplace_back((*it)[1].str(), static_cast<uint16_t>(std::stoi((*it)[2].str())));
    return urls;
}

TEST(ExporterHttpTest, ScrapesShareAGatherForASecondAndBadRequestsGet4xxOnBothLoopbacks) {
    E2e::TempDir dir("sync-exporter");
    // A sync-portd that takes connections and never answers: what connects to it counts the gathers.
    const int portd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    dir.file("sync-portd.sock").copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(portd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(portd, 64), 0);
    const auto gathers = [portd] {
        int count = 0;
        for (int fd; (fd = accept4(portd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++count)
            close(fd);
        return count;
    };
    // No bus and no other status socket: every source is down, which a scrape says and survives.
    ChildProcess exporter({SYNC_EXPORTER_PATH, "--listen", "127.0.0.1", "--listen", "::1", "--port", "0",
                           "--status-dir", dir.path(), "--timeout", "100"},
                          {{"TAVI_BUS_ADDRESS", "unix:path=" + dir.file("no-bus")}});
    const std::vector<std::pair<std::string, uint16_t>> urls = served(exporter);
    ASSERT_EQ(urls.size(), 2u) << exporter.output();

    const HttpProbe v4("", urls[0].first, urls[0].second);
    for (int scrape = 0; scrape < 3; ++scrape)
        EXPECT_EQ(v4.get("/metrics").status, 200);
    EXPECT_EQ(gathers(), 1) << "three scrapes at once, one gather";
    exporter.waitExit(1000ms);  // the exposition gets older than a second
    EXPECT_NE(v4.get("/metrics").body.find("sync_up{source=\"portd\"} 0\n"), std::string::npos);
    EXPECT_EQ(gathers(), 1) << "a second later, a gather anew";

    for (const auto& [address, port] : urls) {
        SCOPED_TRACE(address);
        const HttpProbe http("", address, port);
        const int idle = http.idle();  // a client that never sends holds nothing up
        ASSERT_GE(idle, 0);
        const struct {
            const char* what;
            std::string request;
            int status;
        } cases[] = {
            {"another path", "GET /metric HTTP/1.1\r\nHost: x\r\n\r\n", 404},
            {"a path below", "GET /metrics/x HTTP/1.0\r\n\r\n", 404},
            {"another method", "POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc", 405},
            {"a method nobody knows", "BREW /metrics HTTP/1.0\r\n\r\n", 405},
            {"headers too large",
             "GET /metrics HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(100000, 'a') + "\r\n\r\n", 431},
            {"a request line too long",
             "GET /metrics?" + std::string(100000, 'q') + " HTTP/1.1\r\nHost: x\r\n\r\n", 414},
            {"no HTTP at all", "\x16\x03\x01 hello\r\n\r\n", 400},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(http.send(c.request).status, c.status) << c.what;
            const HttpProbe::Reply scrape = http.get("/metrics");
            EXPECT_EQ(scrape.status, 200) << "after " << c.what;
            EXPECT_NE(scrape.body.find("sync_up{source=\"daemon\"} 0\n"), std::string::npos) << scrape.body;
        }
        close(idle);
    }
    EXPECT_TRUE(exporter.running()) << exporter.output();
    EXPECT_NE(exporter.output().find("warning: http: GET /metric from "), std::string::npos)
        << exporter.output();
    EXPECT_EQ(exporter.stop(), E2e::ExitStatus::exitedWith(0)) << exporter.output();
}

// The chain of the PTP wire tests, sync-exporter and Prometheus in the node's namespace, where
// they have a loopback of their own: fixed ports without clashing with anything.
class MetricsChain : public ::testing::Test {
  protected:
    static constexpr int kPorts = 2;

    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "network namespaces, veth links and captures need root";
        ASSERT_TRUE(lab_.ready()) << "cannot make network namespaces, veth links or captures";
        ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set lo up"));
        lab_.startPtp4l(true);
        lab_.startPtp4l(false);
        lab_.start("sync-portd", {SYNC_PORTD_PATH, "--ports", lab_.writePorts(kPorts)});
        lab_.start("sync-clockd", {SYNC_CLOCKD_PATH, "--uds", lab_.nodeSocket()});
        ASSERT_TRUE(lab_.startDaemon()) << lab_.outputs();
        startEsmcd();
        ASSERT_TRUE(lab_.awaitSsm(0x2)) << lab_.outputs();  // clockClass 6: PRTC

        inNode("sync-exporter", {SYNC_EXPORTER_PATH, "--status-dir", lab_.dir()});
        std::ofstream(lab_.file("prometheus.yml"))
            << "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n  evaluation_interval: 1s\n"
            << "rule_files:\n  - " << SYNC_ALERTS_PATH << "\n"
            << "scrape_configs:\n  - job_name: sync\n    static_configs:\n      - targets: ['127.0.0.1:"
            << EXPORTER_PORT << "']\n";
        inNode("prometheus",
               {"prometheus", "--config.file=" + lab_.file("prometheus.yml"),
                "--storage.tsdb.path=" + lab_.file("prometheus-data"),
                "--web.listen-address=127.0.0.1:" + std::to_string(PROMETHEUS_PORT), "--log.level=warn"});
        ASSERT_TRUE(until(
            prometheus(), [&] { return !query("sync_output_ssm == 2").empty(); }, 30s))
            << lab_.outputs();
    }

    void startEsmcd() { lab_.start("sync-esmcd", {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff"}); }
    // ip netns exec replaces itself with the program: the pid is the program's.
    void inNode(const std::string& name, std::vector<std::string> argv) {
        argv.insert(argv.begin(), {"ip", "netns", "exec", lab_.net().node()});
        lab_.start(name, argv);
    }
    ChildProcess& prometheus() { return lab_.process("prometheus"); }

    // An instant query over Prometheus' HTTP API: each series' value by its `label`.
    std::map<std::string, double> query(const std::string& promql, const std::string& label = "port") {
        std::string encoded;
        for (const unsigned char c : promql) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            encoded += std::isalnum(c) ? std::string(1, static_cast<char>(c)) : std::string(escaped);
        }
        const HttpProbe::Reply reply =
            HttpProbe(lab_.net().node(), "127.0.0.1", PROMETHEUS_PORT).get("/api/v1/query?query=" + encoded);
        std::map<std::string, double> values;
        const nlohmann::json answer = nlohmann::json::parse(reply.body, nullptr, false);
        if (reply.status != 200 || answer.is_discarded() || answer.value("status", "") != "success")
            return values;
        for (const nlohmann::json& series : answer["data"]["result"])
            values[series["metric"].value(label, "")] = std::stod(series["value"][1].get<std::string>());
        return values;
    }
    // Whether the query gives exactly these values.
    std::function<bool()> gives(const std::string& promql, const std::map<std::string, double>& values,
                                const std::string& label = "port") {
        return [=] { return query(promql, label) == values; };
    }

    E2e::WireLab lab_{kPorts};
};

TEST_F(MetricsChain, PrometheusSeesQualityLinksAndSourcesChangeAndTheDaemonNeverDownWhileAnOperatorAsks) {
    // What promtool makes of a real exposition, and the sources all up.
    const HttpProbe exporter(lab_.net().node(), "127.0.0.1", EXPORTER_PORT);
    const HttpProbe::Reply scrape = exporter.get("/metrics");
    ASSERT_EQ(scrape.status, 200);
    std::ofstream(lab_.file("exposition")) << scrape.body;
    const ChildProcess::Result promtool =
        ChildProcess::run({"sh", "-c", "promtool check metrics < '" + lab_.file("exposition") + "'"}, 30s);
    EXPECT_TRUE(promtool.succeeded()) << promtool.output << scrape.body;
    for (const char* line :
         {"sync_ptp_grandmaster_present 1", "sync_ptp_grandmaster_clock_class 6",
          "sync_settled_quality_info{quality=\"PRTC\"} 1", "sync_port_enabled{port=\"TnPort-A\"} 1",
          "sync_esmc_output_held{port=\"TnPort-B\"} 0"})
        EXPECT_NE(scrape.body.find(std::string(line) + "\n"), std::string::npos) << line << "\n"
                                                                                 << scrape.body;
    const std::map<std::string, double> allUp = {{"daemon", 1}, {"esmcd", 1}, {"portd", 1}, {"clockd", 1}};
    EXPECT_TRUE(until(prometheus(), gives("sync_up", allUp, "source"), 5s)) << lab_.outputs();
    EXPECT_EQ(query("sync_esmc_pdus_total{kind=\"information\"} > 0").size(), 2u);

    // clockClass 150 is SSU-A: SSM 0x4 on every port, as Prometheus' queries see it.
    const auto changed = std::chrono::steady_clock::now();
    ASSERT_TRUE(lab_.setClockClass(150));
    ASSERT_TRUE(until(prometheus(), gives("sync_output_ssm", {{"TnPort-A", 4}, {"TnPort-B", 4}}), 5s))
        << lab_.outputs();
    std::printf("quality change to Prometheus' query: %.2f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - changed).count());

    // A link down: its port disabled and its output off; back up, both again.
    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set fh1 down"));
    EXPECT_TRUE(until(prometheus(), gives("sync_port_enabled", {{"TnPort-A", 0}, {"TnPort-B", 1}}), 10s));
    EXPECT_TRUE(until(prometheus(), gives("sync_output_enabled", {{"TnPort-A", 0}, {"TnPort-B", 1}}), 10s));
    ASSERT_TRUE(NetLab::ip(lab_.net().node(), "link set fh1 up"));
    EXPECT_TRUE(until(prometheus(), gives("sync_output_enabled", {{"TnPort-A", 1}, {"TnPort-B", 1}}), 10s));

    // An operator's command holds the command server: a gather waits for the name, and the daemon is
    // up in its answer. An exporter that gathers at every scrape, so that this one surely does.
    inNode("sync-exporter", {SYNC_EXPORTER_PATH, "--status-dir", lab_.dir(), "--max-age", "0"});
    ASSERT_TRUE(until(
        lab_.process("sync-exporter"), [&] { return exporter.get("/metrics").status == 200; }, 10s))
        << lab_.outputs();
    for (int hold = 0; hold < 2; ++hold) {
        SyncPeers::CommandServer operatorCommand;
        ASSERT_TRUE(operatorCommand.open()) << operatorCommand.lastError();
        const auto held = std::chrono::steady_clock::now();
        HttpProbe::Reply reply;
        std::thread scraper([&] { reply = exporter.get("/metrics"); });
        operatorCommand.processPending(300);
        operatorCommand.close();
        scraper.join();
        EXPECT_GE(std::chrono::steady_clock::now() - held, 300ms);
        EXPECT_NE(reply.body.find("sync_up{source=\"daemon\"} 1\n"), std::string::npos) << reply.body;
    }
    // Nor does the exporter keep an operator waiting for long.
    for (int run = 0; run < 5; ++run) {
        const ChildProcess::Result status = ChildProcess::run({SYNC_COMMAND_PATH, "status"}, 10s);
        EXPECT_TRUE(status.succeeded()) << status.describe({"synclumovcontrol", "status"});
    }

    // sync-esmcd killed: its source down, its series gone, the others up.
    lab_.process("sync-esmcd").signal(SIGKILL);
    EXPECT_TRUE(until(prometheus(),
                      gives("sync_up", {{"daemon", 1}, {"esmcd", 0}, {"portd", 1}, {"clockd", 1}}, "source"),
                      10s));
    EXPECT_TRUE(query("sync_esmc_pdus_total").empty());
    EXPECT_TRUE(prometheus().running()) << lab_.outputs();
    EXPECT_TRUE(lab_.process("sync-exporter").running()) << lab_.outputs();
}

}  // namespace
