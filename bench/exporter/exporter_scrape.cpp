// sync-exporter at scale: the daemon with n fronthaul ports, every output configured (sync-sim plays
// its three peers on a private bus), and status sockets that answer with documents of n entries in
// the shape sync-esmcd, sync-portd and sync-clockd give (served from this process: the real programs
// would need n interfaces). Measured from the scraper's side:
//   - the latency of `scrapes` scrapes that each gather (--max-age 0), median and p99: back to back,
//     then 100 ms apart (a node's exporter gathers once a second at most);
//   - the exporter's and the daemon's CPU time while one scrape a second is answered for `seconds`
//     (the default max-age: every scrape gathers, as each finds the last exposition a second old).
//   bench-exporter-scrape [ports] [scrapes] [seconds]
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "DaemonProcess.h"
#include "HttpProbe.h"
#include "PrivateBus.h"
#include "StatusSocket.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using json = nlohmann::ordered_json;

std::string portName(int port) {
    return "TnPort-" + std::to_string(port);
}

// What the node's programs would say of n ports, in their shape.
std::string esmcd(int n) {
    json outputs = json::array();
    for (int port = 1; port <= n; ++port)
        outputs.push_back({{"id", nullptr},
                           {"held", false},
                           {"interface", "fh" + std::to_string(port)},
                           {"namespace", "node"},
                           {"transmitting", true},
                           {"ssm", 2},
                           {"enhancedSsm", 33},
                           {"clockIdentity", "00005efffe1000ff"},
                           {"flag", 2},
                           {"cascadedEeecs", 1},
                           {"cascadedEecs", 0},
                           {"pdus", {{"information", 86400}, {"event", 3}}},
                           {"sendErrors", 0},
                           {"lastError", ""},
                           {"refused", nullptr}});
    return json{{"program", "sync-esmcd"}, {"daemon", "connected"}, {"outputs", outputs}}.dump();
}

std::string portd(int n) {
    json ports = json::array();
    for (int port = 1; port <= n; ++port)
        ports.push_back({{"name", portName(port)},
                         {"interface", "fh" + std::to_string(port)},
                         {"namespace", "node"},
                         {"present", true},
                         {"mac", "02:00:5e:10:00:01"},
                         {"unlocked", true},
                         {"enabled", true}});
    return json{{"program", "sync-portd"}, {"subscriptions", n}, {"ports", ports}}.dump();
}

std::string clockd() {
    return R"({"program":"sync-clockd","ptp4l":{"answering":true,"silence":""},"grandmaster":{"tracked":true,)"
           R"("present":true,"identity":"ae6983.fffe.9cb4ac","clockClass":6},"ports":[],"recCreated":true,)"
           R"("selectionProcessMode":"QL_ENABLED","telecomStandard":"OPTION_I","indicated":null,"subscribers":1})";
}

bool waitFor(E2e::ChildProcess& process, const std::string& text, std::chrono::milliseconds timeout) {
    for (const auto end = Clock::now() + timeout; Clock::now() < end;) {
        if (process.output().find(text) != std::string::npos)
            return true;
        if (process.waitExit(100ms))
            return false;
    }
    return false;
}

uint16_t portOf(E2e::ChildProcess& exporter) {
    std::smatch match;
    const std::string output = exporter.output();
    return std::regex_search(output, match, std::regex("http://127.0.0.1:([0-9]+)/metrics"))
               ? static_cast<uint16_t>(std::stoi(match[1].str()))
               : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 1024;
    const int scrapes = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
    E2e::TempDir dir("sync-bench-exporter");
    PrivateBus bus;

    std::ofstream scenario(dir.file("ports.scn"));
    for (int port = 1; port <= n; ++port) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "02:00:5e:%02x:%02x:01", (port >> 8) & 0xFF, port & 0xFF);
        scenario << "port fronthaul " << port << " " << mac << " " << portName(port) << " fh" << port
                 << " unlocked enabled node\n";
    }
    scenario << "wait port-subscriptions " << n
             << " 120s\nwait sync-subscriptions 3 60s\nwait connected 60s\n"
             << "mac-forward 02:00:5e:10:00:ff\nrec-create\nclock-quality EPRTC\ntelecom-standard OPTION_I\n"
             << "selection-mode QL_ENABLED\nsend-status all\nwait orders ESMC_CONTROL " << n << " 120s\n";
    scenario.close();
    E2e::ChildProcess sim({SYNC_SIM_PATH, dir.file("ports.scn")});
    E2e::DaemonProcess daemon;
    if (!daemon.waitUntilReady() || !waitFor(sim, "scenario done", 180s)) {
        std::fprintf(stderr, "the daemon did not configure %d outputs:\n%s\n%s\n", n, sim.output().c_str(),
                     daemon.output().c_str());
        return 1;
    }

    // The programs' status sockets, served from a thread of this process.
    const std::string esmcdDocument = esmcd(n), portdDocument = portd(n), clockdDocument = clockd();
    SyncSys::StatusSocket sockets[] = {SyncSys::StatusSocket([&] { return esmcdDocument; }),
                                       SyncSys::StatusSocket([&] { return portdDocument; }),
                                       SyncSys::StatusSocket([&] { return clockdDocument; })};
    const char* programs[] = {"sync-esmcd", "sync-portd", "sync-clockd"};
    for (int i = 0; i < 3; ++i)
        if (!sockets[i].open(SyncSys::StatusSocket::path(dir.path(), programs[i]))) {
            std::fprintf(stderr, "%s\n", sockets[i].error().c_str());
            return 1;
        }
    std::atomic<bool> serving{true};
    std::thread server([&] {
        while (serving) {
            std::vector<pollfd> fds;
            for (auto& socket : sockets) {
                fds.push_back(pollfd{socket.listening(), POLLIN, 0});
                for (const int fd : socket.writing())
                    fds.push_back(pollfd{fd, POLLOUT, 0});
            }
            poll(fds.data(), fds.size(), 100);
            for (auto& socket : sockets) {
                socket.accept();
                socket.write();
            }
        }
    });

    int status = 0;
    {
        // Every scrape gathers.
        E2e::ChildProcess exporter({SYNC_EXPORTER_PATH, "--port", "0", "--max-age", "0", "--timeout", "5000",
                                    "--status-dir", dir.path()});
        const bool up = waitFor(exporter, "serving", 10s);
        const E2e::HttpProbe http("", "127.0.0.1", up ? portOf(exporter) : 0);
        const E2e::HttpProbe::Reply first = http.get("/metrics", 30s);
        const size_t outputs = std::count(first.body.begin(), first.body.end(), '\n');
        if (!up || first.status != 200 ||
            first.body.find("sync_up{source=\"daemon\"} 1") == std::string::npos ||
            first.body.find("sync_esmc_pdus_total{port=\"" + portName(n) + "\",kind=\"event\"} 3") ==
                std::string::npos) {
            std::fprintf(stderr, "no good exposition:\n%s\n%s\n", first.body.substr(0, 2000).c_str(),
                         exporter.output().c_str());
            status = 1;
        } else {
            for (const int pause : {0, 100}) {
                std::vector<double> ms;
                for (int i = 0; i < scrapes && status == 0; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
                    const auto start = Clock::now();
                    if (http.get("/metrics", 30s).status != 200) {
                        std::fprintf(stderr, "scrape %d failed\n", i);
                        status = 1;
                    }
                    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                }
                if (ms.empty())
                    break;
                std::sort(ms.begin(), ms.end());
                std::printf(
                    "%d ports, %zu lines, %zu bytes: %d scrapes each gathering, %d ms apart: median %.1f ms, "
                    "p99 %.1f ms, max %.1f ms\n",
                    n, outputs, first.body.size(), scrapes, pause, ms[ms.size() / 2],
                    ms[ms.size() * 99 / 100], ms.back());
            }
        }
    }
    if (status == 0 && seconds > 0) {
        // One scrape a second, as Prometheus would; the default max-age.
        E2e::ChildProcess exporter({SYNC_EXPORTER_PATH, "--port", "0", "--status-dir", dir.path()});
        waitFor(exporter, "serving", 10s);
        const E2e::HttpProbe http("", "127.0.0.1", portOf(exporter));
        const double exporterBefore = exporter.cpuSeconds(), daemonBefore = daemon.cpuSeconds();
        const auto start = Clock::now();
        for (int i = 0; i < seconds; ++i) {
            http.get("/metrics", 30s);
            std::this_thread::sleep_until(start + std::chrono::seconds(i + 1));
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf(
            "one scrape a second for %d s: sync-exporter %.3f CPU s (%.2f %% of a core), the daemon %.3f CPU "
            "s "
            "(%.2f %%)\n",
            seconds, exporter.cpuSeconds() - exporterBefore,
            100 * (exporter.cpuSeconds() - exporterBefore) / wall, daemon.cpuSeconds() - daemonBefore,
            100 * (daemon.cpuSeconds() - daemonBefore) / wall);
    }
    serving = false;
    server.join();
    return status;
}
