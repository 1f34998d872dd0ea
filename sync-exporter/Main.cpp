// sync-exporter: the node's SyncE state for Prometheus. Serves GET /metrics on localhost, gathering
// at each scrape (at most once a second) what the daemon, sync-esmcd, sync-portd and sync-clockd say.
#include <poll.h>

#include <string>
#include <vector>

#include "Exposition.h"
#include "Gatherer.h"
#include "HttpServer.h"
#include "Log.h"
#include "NodeMetrics.h"
#include "Options.h"
#include "ServiceExit.h"
#include "ServiceLoop.h"
#include "StatusSocket.h"

namespace {

using SyncExporter::Gatherer;
using SyncExporter::HttpServer;
using SyncExporter::NodeMetrics;
using SyncSys::Log;
using SyncSys::Options;
using SyncSys::ServiceExit;
using SyncSys::ServiceLoop;

constexpr uint16_t DEFAULT_PORT = 9832;

struct Settings {
    std::vector<std::string> addresses;
    uint16_t port = DEFAULT_PORT;
    std::chrono::milliseconds maxAge{1000};
    Gatherer::Settings gather{SyncSys::StatusSocket::DEFAULT_DIR};
};

Options commandLine(Settings& settings) {
    Options options(
        "sync-exporter", "[--listen ADDRESS]... [--port N] [--max-age MS] [--timeout MS] [--status-dir DIR]",
        "The node's SyncE state for Prometheus: serves GET /metrics over HTTP (the text format),\n"
        "gathered at each scrape from sync-lumov-control (its command, as synclumovcontrol status\n"
        "--json and info output --json ask it) and from the status sockets of sync-esmcd, sync-portd\n"
        "and sync-clockd. A source that does not answer has sync_up{source=...} 0 and no other series.");
    options.add("listen", "ADDRESS",
                "an IPv4 or IPv6 address to listen on, as often as needed (default 127.0.0.1; ::1 for IPv6 "
                "loopback)",
                [&settings](const std::string& value, std::string&) {
                    settings.addresses.push_back(value);
                    return true;
                });
    options.addNumber("port", "N",
                      "the TCP port (default " + std::to_string(DEFAULT_PORT) + "; 0: any free one)", 0,
                      65535, [&settings](uint64_t port) { settings.port = static_cast<uint16_t>(port); });
    options.addNumber("max-age", "MS",
                      "a gather answers the scrapes that come within this long of its start (default 1000)",
                      0, 1000, [&settings](uint64_t ms) { settings.maxAge = std::chrono::milliseconds(ms); });
    options.addNumber(
        "timeout", "MS",
        "how long a gather waits for each source (default 500; keep it under the scrape timeout)", 10, 10000,
        [&settings](uint64_t ms) { settings.gather.timeout = std::chrono::milliseconds(ms); });
    options.add("status-dir", "DIR",
                std::string("where the programs' status sockets are, DIR/PROGRAM.sock (default ") +
                    SyncSys::StatusSocket::DEFAULT_DIR + ")",
                [&settings](const std::string& value, std::string&) {
                    settings.gather.statusDir = value;
                    return true;
                });
    options.addText(
        "The daemon is asked as its command server \"Sync_tavi_coli\", held for the call only; while an\n"
        "operator's synclumovcontrol holds it, the gather waits for it. SIGTERM or SIGINT stops it.");
    ServiceLoop::describe(options);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (const Options::Outcome outcome = commandLine(settings).parse(argc, argv); outcome != Options::RUN)
        return outcome;
    if (settings.addresses.empty())
        settings.addresses = {"127.0.0.1"};

    ServiceLoop loop;
    NodeMetrics metrics;
    Gatherer gatherer(settings.gather);
    std::string answering = "no scrape yet";
    HttpServer server(settings.maxAge, [&] {
        const NodeMetrics::Answers answers = gatherer.gather();
        std::string silent;
        for (int source = 0; source < NodeMetrics::SOURCE_COUNT; ++source)
            if (!answers[source].answered)
                silent += std::string(" ") + NodeMetrics::label(static_cast<NodeMetrics::Source>(source));
        answering = silent.empty() ? "every source answers" : "not answering:" + silent;
        return metrics.metrics(answers).text();
    });
    if (!server.listen(settings.addresses, settings.port)) {
        Log::error(server.error());
        return ServiceExit::FAILED;
    }
    std::string urls;
    for (const std::string& url : server.urls())
        urls += (urls.empty() ? "" : " ") + url;
    Log::info("serving " + urls);

    // Whatever wakes the loop, a socket or libmicrohttpd's own time-out, the server runs once after it.
    loop.watch([&server] { return server.readable(); }, [] {});
    loop.watch([&server] { return server.writable(); }, [] {}, POLLOUT);
    loop.onWork([&server] {
        server.run();
        return server.due(HttpServer::Clock::now());
    });
    loop.onSummary([&] { return "serving " + urls + "; " + answering; });
    return loop.run();
}
