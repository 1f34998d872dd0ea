// sync-clockd: the node's sync-control service over PTP. Serves the REC and its clock settled quality
// to sync-lumov-control from what ptp4l reports on its management socket.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "ClockService.h"
#include "Log.h"
#include "PtpLink.h"
#include "Signals.h"
#include "SyncControlServer.h"

namespace {

using SyncClockd::ClockService;
using SyncClockd::QualityTable;
using SyncSys::Log;

const char* const MAILBOX = "sync-clockd";
const char* const DEFAULT_UDS = "/var/run/ptp4l";
// The bus library notices its own timeouts only when it runs, so no wait lasts longer than this.
constexpr int LONGEST_POLL_MS = 100;

void printHelp() {
    std::printf(
        "usage: sync-clockd [--uds PATH] [--mode QL_ENABLED|QL_DISABLED] [--option I|II|III]\n"
        "                   [--quality-table FILE] [--domain N]\n"
        "\n"
        "The node's sync-control service: publishes \"sci\" in domain \"sync\" and tells\n"
        "sync-lumov-control the REC and its clock settled quality from what ptp4l reports on its\n"
        "management socket: the grandmaster's clockClass while a port follows a present grandmaster,\n"
        "the table's no-reference quality otherwise (ptp4l silent included; the REC stays).\n"
        "\n"
        "  --uds PATH            ptp4l's management socket (default %s); sync-clockd binds\n"
        "                        sync-clockd.<pid> in the same directory to be answered\n"
        "  --mode MODE           selection process mode (default QL_ENABLED)\n"
        "  --option I|II|III     telecom standard (default I)\n"
        "  --quality-table FILE  replaces the clockClass table: lines \"CLASS QUALITY\" and one\n"
        "                        \"no-reference QUALITY\" (quality by name or number)\n"
        "  --domain N            the PTP domain of the management requests (default 0)\n"
        "\n"
        "The built-in table:\n",
        DEFAULT_UDS);
    for (const std::string& line : QualityTable::standard().describe())
        std::printf("  %s\n", line.c_str());
    std::printf(
        "\n"
        "SIGUSR1 logs the status; SIGTERM or SIGINT stops it.\n"
        "The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.\n"
        "Exit status: 0 stopped by a signal, 1 the bus or the socket failed, 2 bad arguments.\n");
}

bool parseOptions(int argc, char** argv, std::string& uds, ClockService::Settings& settings, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "sync-clockd: unexpected argument \"%s\" (see --help)\n", argv[i]);
            return false;
        }
        const std::string value = argv[++i];
        bool good = true;
        if (option == "--uds") {
            uds = value;
        } else if (option == "--mode") {
            good = value == "QL_ENABLED" || value == "QL_DISABLED";
            settings.selectionProcessMode =
                value == "QL_ENABLED" ? ClockService::QL_ENABLED : ClockService::QL_DISABLED;
        } else if (option == "--option") {
            const char* const names[] = {"I", "II", "III"};
            good = false;
            for (uint32_t n = 1; n <= 3; ++n)
                if (value == names[n - 1])
                    good = true, settings.telecomStandard = n;
        } else if (option == "--quality-table") {
            std::string error;
            std::optional<QualityTable> table = QualityTable::load(value, error);
            if (!table) {
                std::fprintf(stderr, "sync-clockd: %s\n", error.c_str());
                return false;
            }
            settings.table = *table;
        } else if (option == "--domain") {
            char* end = nullptr;
            const long domain = std::strtol(value.c_str(), &end, 10);
            good = !value.empty() && *end == '\0' && domain >= 0 && domain <= 255;
            settings.domain = static_cast<uint8_t>(domain);
        } else {
            good = false;
        }
        if (!good) {
            std::fprintf(stderr, "sync-clockd: bad option %s %s (see --help)\n", option.c_str(),
                         value.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string uds = DEFAULT_UDS;
    ClockService::Settings settings;
    bool help = false;
    if (!parseOptions(argc, argv, uds, settings, help))
        return 2;
    if (help) {
        printHelp();
        return 0;
    }
    const int signals = SyncSys::Signals::descriptor();
    SyncClockd::PtpLink link(uds);
    SyncPeers::SyncControlServer server(MAILBOX);
    ClockService clock(server, settings,
                       [&link](const std::vector<uint8_t>& datagram) { return link.send(datagram); });
    server.setListener(&clock);
    std::string why;
    if (signals < 0 || !link.open(why) || !server.open()) {
        Log::error(signals < 0    ? std::string("cannot watch signals: ") + std::strerror(errno)
                   : !why.empty() ? why
                                  : server.lastError());
        return 1;
    }
    Log::info("started, mailbox " + std::to_string(server.id()) + "; asking ptp4l at " + uds);

    std::vector<uint8_t> datagram;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(clock.work() - ClockService::Clock::now());
        const int timeout = static_cast<int>(std::clamp<long>(left.count() + 1, 0, LONGEST_POLL_MS));
        pollfd fds[3] = {{server.fd(), POLLIN, 0}, {link.fd(), POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 3, timeout) < 0 && errno != EINTR) {
            Log::error(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if (fds[2].revents & POLLIN) {
            for (int signal; (signal = SyncSys::Signals::next(signals)) != 0;) {
                if (signal != SIGUSR1) {
                    Log::info("stopped by signal " + std::to_string(signal));
                    return 0;
                }
                Log::info("status: ptp4l at " + uds);
                for (const std::string& line : clock.status())
                    Log::info("status: " + line);
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            Log::error("the bus connection broke");
            return 1;
        }
        if (fds[0].revents & POLLIN)
            server.processPending(0);
        std::string stranger;
        while (link.receive(datagram, stranger)) {
            if (stranger.empty())
                clock.received(datagram.data(), datagram.size());
            else
                Log::warning("dropped a datagram from " + stranger + ", not ptp4l");
        }
    }
}
