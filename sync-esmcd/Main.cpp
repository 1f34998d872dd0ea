// sync-esmcd: the SyncE data plane. A client of sync-lumov-control that turns its output orders into
// ESMC PDUs on real interfaces, in any network namespace.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "DataPlaneClient.h"
#include "EsmcDataPlane.h"
#include "Log.h"
#include "PacketSocket.h"
#include "Signals.h"

namespace {

using SyncEsmcd::EsmcDataPlane;
using SyncSys::Log;

const char* const MAILBOX = "sync-esmcd";
// The bus library notices its own timeouts only when it runs, so no wait lasts longer than this.
constexpr int LONGEST_POLL_MS = 100;

void printHelp() {
    std::printf(
        "usage: sync-esmcd [--clock-mac MAC | --clock-interface IFNAME] [--hold SECONDS] [--settle MS]\n"
        "\n"
        "The SyncE data plane of sync-lumov-control: finds the daemon's service \"SyncLumovControl\"\n"
        "in domain \"sync\", takes its output orders and transmits ESMC PDUs (an information PDU per\n"
        "second, an event PDU at once on a change, at most 10 per second) on each output's interface,\n"
        "inside the output's network namespace (/run/netns/NAME). Needs CAP_NET_RAW, and CAP_SYS_ADMIN\n"
        "for outputs in other namespaces.\n"
        "\n"
        "  --clock-mac MAC          the node clock's MAC address, forwarded to the daemon, which derives\n"
        "                           the SyncE clock identity from it\n"
        "  --clock-interface IFNAME the same, taken from this interface of the own namespace\n"
        "  --hold SECONDS           after the daemon went away, keep its last orders on the wire this\n"
        "                           long, then announce do-not-use until it returns (default 60)\n"
        "  --settle MS              after the daemon returned, its orders reach the wire once they have\n"
        "                           been stable this long (default 500)\n"
        "\n"
        "SIGUSR1 logs the status of every output; SIGTERM or SIGINT stops transmitting and exits.\n"
        "Rejected output requests carry an errorCode: 1 no such network namespace, 2 no such interface,\n"
        "3 packet socket refused, 4 unknown output, 5 bad MAC address, 6 inputs not supported.\n"
        "The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.\n"
        "Exit status: 0 stopped by a signal, 1 the bus failed, 2 bad arguments.\n");
}

bool parseNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

// The options; false (after saying why) when they are bad.
bool parseOptions(int argc, char** argv, EsmcDataPlane::Settings& settings, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "sync-esmcd: unexpected argument \"%s\" (see --help)\n", argv[i]);
            return false;
        }
        const char* value = argv[++i];
        long number = 0;
        if (option == "--clock-mac" || option == "--clock-interface") {
            std::string text = value;
            if (option == "--clock-interface") {
                std::ifstream address("/sys/class/net/" + text + "/address");
                std::getline(address, text);
            }
            settings.clockMac = EsmcDataPlane::parseMac(text);
            if (!settings.clockMac) {
                std::fprintf(stderr, "sync-esmcd: %s %s: no MAC address\n", option.c_str(), value);
                return false;
            }
        } else if (option == "--hold" && parseNumber(value, 0, 86400, number)) {
            settings.hold = std::chrono::seconds(number);
        } else if (option == "--settle" && parseNumber(value, 0, 60000, number)) {
            settings.settle = std::chrono::milliseconds(number);
        } else {
            std::fprintf(stderr, "sync-esmcd: bad option %s %s (see --help)\n", option.c_str(), value);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    EsmcDataPlane::Settings settings;
    bool help = false;
    if (!parseOptions(argc, argv, settings, help))
        return 2;
    if (help) {
        printHelp();
        return 0;
    }
    const int signals = SyncSys::Signals::descriptor();
    SyncPeers::DataPlaneClient client(MAILBOX);
    EsmcDataPlane plane(client, settings, [] { return std::make_unique<SyncEsmcd::PacketSocket>(); });
    client.setListener(&plane);
    if (signals < 0 || !client.open()) {
        Log::error(signals < 0 ? std::string("cannot watch signals: ") + std::strerror(errno)
                               : client.lastError());
        return 1;
    }
    Log::info("started, mailbox " + std::to_string(client.id()) + "; waiting for the daemon");

    EsmcDataPlane::TimePoint next = EsmcDataPlane::TimePoint::max();
    for (;;) {
        int timeout = LONGEST_POLL_MS;
        if (next != EsmcDataPlane::TimePoint::max()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - EsmcDataPlane::Clock::now());
            timeout = static_cast<int>(std::clamp<long>(left.count() + 1, 0, LONGEST_POLL_MS));
        }
        pollfd fds[2] = {{client.fd(), POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) {
            Log::error(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if (fds[1].revents & POLLIN) {
            for (int signal; (signal = SyncSys::Signals::next(signals)) != 0;) {
                if (signal == SIGUSR1) {
                    for (const std::string& line : plane.status())
                        Log::info(line);
                } else {
                    Log::info("stopped by signal " + std::to_string(signal));
                    return 0;
                }
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            Log::error("the bus connection broke");
            return 1;
        }
        if (fds[0].revents & POLLIN)
            client.processPending(0);
        next = plane.work();
    }
}
