// sync-clockd: the node's sync-control service over PTP. Serves the REC and its clock settled quality
// to sync-lumov-control from what ptp4l reports on its management socket.
#include <optional>
#include <string>
#include <vector>

#include "ClockService.h"
#include "Log.h"
#include "Options.h"
#include "PtpLink.h"
#include "ServiceExit.h"
#include "ServiceLoop.h"
#include "StatusSocket.h"
#include "SyncControlServer.h"

namespace {

using SyncClockd::ClockService;
using SyncClockd::QualityTable;
using SyncSys::Log;
using SyncSys::Options;
using SyncSys::ServiceExit;
using SyncSys::ServiceLoop;

const char* const MAILBOX = "sync-clockd";
const char* const DEFAULT_UDS = "/var/run/ptp4l";

Options commandLine(std::string& uds, std::string& tablePath, ClockService::Settings& settings,
                    std::string& statusDir) {
    Options options(
        "sync-clockd",
        "[--uds PATH] [--mode QL_ENABLED|QL_DISABLED] [--option I|II|III]\n"
        "                   [--quality-table FILE] [--domain N] [--status-dir DIR]",
        "The node's sync-control service: publishes \"sci\" in domain \"sync\" and tells\n"
        "sync-lumov-control the REC and its clock settled quality from what ptp4l reports on its\n"
        "management socket: the grandmaster's clockClass while a port follows a present grandmaster,\n"
        "the table's no-reference quality otherwise (ptp4l silent included; the REC stays).");
    options.add("uds", "PATH",
                std::string("ptp4l's management socket (default ") + DEFAULT_UDS +
                    "); sync-clockd binds sync-clockd.<pid> in the same directory to be answered",
                [&uds](const std::string& value, std::string&) {
                    uds = value;
                    return true;
                });
    options.addChoice("mode", {"QL_ENABLED", "QL_DISABLED"}, "selection process mode (default QL_ENABLED)",
                      [&settings](size_t choice) {
                          settings.selectionProcessMode =
                              choice == 0 ? ClockService::QL_ENABLED : ClockService::QL_DISABLED;
                      });
    options.addChoice(
        "option", {"I", "II", "III"}, "telecom standard (default I)",
        [&settings](size_t choice) { settings.telecomStandard = static_cast<uint32_t>(choice + 1); });
    options.add("quality-table", "FILE",
                "replaces the clockClass table: lines \"CLASS QUALITY\" and one \"no-reference QUALITY\" "
                "(quality by name or number)",
                [&settings, &tablePath](const std::string& value, std::string& error) {
                    const std::optional<QualityTable> table = QualityTable::load(value, error);
                    if (table)
                        settings.table = *table, tablePath = value;
                    return table.has_value();
                });
    options.addNumber("domain", "N", "the PTP domain of the management requests (default 0)", 0, 255,
                      [&settings](uint64_t domain) { settings.domain = static_cast<uint8_t>(domain); });
    std::string table = "The built-in table:";
    for (const std::string& line : QualityTable::standard().describe())
        table += "\n  " + line;
    options.addText(table);
    SyncSys::StatusSocket::addOption(options, statusDir);
    options.addText(
        "SIGHUP reads the --quality-table FILE again (a file with an error is not taken: the table in\n"
        "use stays and the status line says why); SIGUSR1 logs the status; SIGTERM or SIGINT stops it.");
    ServiceLoop::describe(options);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    std::string uds = DEFAULT_UDS;
    std::string tablePath;
    ClockService::Settings settings;
    std::string statusDir = SyncSys::StatusSocket::DEFAULT_DIR;
    if (const Options::Outcome outcome = commandLine(uds, tablePath, settings, statusDir).parse(argc, argv);
        outcome != Options::RUN)
        return outcome;
    ServiceLoop loop;
    SyncClockd::PtpLink link(uds);
    SyncPeers::SyncControlServer server(MAILBOX);
    ClockService clock(server, settings,
                       [&link](const std::vector<uint8_t>& datagram) { return link.send(datagram); });
    server.setListener(&clock);
    std::string why;
    if (!link.open(why) || !server.open()) {
        Log::error(!why.empty() ? why : server.lastError());
        return ServiceExit::FAILED;
    }
    Log::info("started, mailbox " + std::to_string(server.id()) + "; asking ptp4l at " + uds);
    SyncSys::StatusSocket status([&clock] { return clock.report().dump(); });
    status.openIn(statusDir, MAILBOX);
    status.serveOn(loop);

    loop.onWork([&clock] { return clock.work(); });
    loop.watch([&link] { return std::vector<int>{link.fd()}; },
               [&link, &clock] {
                   std::vector<uint8_t> datagram;
                   std::string stranger;
                   while (link.receive(datagram, stranger)) {
                       if (stranger.empty())
                           clock.received(datagram.data(), datagram.size());
                       else
                           Log::warning("dropped a datagram from " + stranger + ", not ptp4l");
                   }
               });
    loop.onStatus([&clock, &uds] {
        std::vector<std::string> lines = {"status: ptp4l at " + uds};
        for (const std::string& line : clock.status())
            lines.push_back("status: " + line);
        return lines;
    });
    loop.onSummary([&clock] { return clock.summary(); });
    loop.onReload([&clock, &tablePath]() -> std::vector<std::string> {
        if (tablePath.empty()) {
            Log::info("nothing to read again: the built-in clockClass table stays");
            return {};
        }
        std::string error;
        const std::optional<QualityTable> table = QualityTable::load(tablePath, error);
        if (!table)
            return {error};
        clock.setTable(*table);
        Log::info("clockClass table read again from " + tablePath);
        return {};
    });
    return loop.run(ServiceLoop::busOf(server));
}
