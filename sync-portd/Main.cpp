// sync-portd: the port-control service over the kernel. Serves the port-control protocol as
// "iepcsi-server" from a port table and the links rtnetlink reports in each namespace in use.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Log.h"
#include "PortService.h"
#include "PortTable.h"
#include "Signals.h"

namespace {

using SyncSys::Log;

// The bus library notices its own timeouts only when it runs, so no wait lasts longer than this.
constexpr int LONGEST_POLL_MS = 100;

void printHelp() {
    std::printf(
        "usage: sync-portd --ports FILE\n"
        "\n"
        "The port-control service of sync-lumov-control over the kernel: serves the port-control\n"
        "protocol as mailbox \"iepcsi-server\" for the ports of FILE, with each port's MAC address,\n"
        "administrative state (IFF_UP: unlocked, else locked) and operational state (up with carrier,\n"
        "IFF_LOWER_UP: enabled, else disabled) read and watched with rtnetlink in the port's network\n"
        "namespace.\n"
        "A port whose interface does not exist is locked and disabled until it appears.\n"
        "\n"
        "FILE has one line per port; # starts a comment:\n"
        "    port ROLE RHAI_ID PORT_NAME INTERFACE_NAME [NAMESPACE]\n"
        "ROLE is fronthaul (role bit 0x4) or the role bits as a number; NAMESPACE an ip-netns name\n"
        "(/run/netns/NAME), - or nothing for the own namespace.\n"
        "\n"
        "SIGHUP reads FILE again (removed ports are reported locked and disabled; when ports were\n"
        "added the service leaves the bus and comes back, so that clients ask again which ports exist).\n"
        "SIGUSR1 logs the status of every port; SIGTERM or SIGINT stops it.\n"
        "The bus is $TAVI_BUS_ADDRESS, or the system bus when it is not set.\n"
        "Exit status: 0 stopped by a signal, 1 the bus failed, 2 bad arguments or a bad port table.\n");
}

bool readTable(const std::string& path, SyncPortd::PortTable& table) {
    std::ifstream file(path);
    if (!file) {
        Log::error("cannot read " + path + ": " + std::strerror(errno));
        return false;
    }
    if (table.parse(file))
        return true;
    for (const std::string& error : table.errors())
        Log::error(path + ": " + error);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            printHelp();
            return 0;
        }
        if (option == "--ports" && i + 1 < argc) {
            path = argv[++i];
        } else {
            std::fprintf(stderr, "sync-portd: unexpected argument \"%s\" (see --help)\n", argv[i]);
            return 2;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "sync-portd: no port table given (--ports FILE, see --help)\n");
        return 2;
    }
    SyncPortd::PortTable table;
    if (!readTable(path, table))
        return 2;
    const int signals = SyncSys::Signals::descriptor(true);
    SyncPortd::PortService service;
    if (signals < 0 || !service.start(table.entries())) {
        Log::error(signals < 0 ? std::string("cannot watch signals: ") + std::strerror(errno)
                               : service.error());
        return 1;
    }
    Log::info("serving " + std::to_string(table.entries().size()) + " ports as \"iepcsi-server\", mailbox " +
              std::to_string(service.server().id()));

    for (;;) {
        std::vector<pollfd> fds = {{signals, POLLIN, 0}};
        for (int fd : service.descriptors())
            fds.push_back(pollfd{fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), LONGEST_POLL_MS) < 0 && errno != EINTR) {
            Log::error(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if (fds[1].revents & (POLLHUP | POLLERR)) {
            Log::error("the bus connection broke");
            return 1;
        }
        for (int signal; (signal = SyncSys::Signals::next(signals)) != 0;) {
            if (signal == SIGUSR1) {
                for (const std::string& line : service.status())
                    Log::info(line);
            } else if (signal == SIGHUP) {
                SyncPortd::PortTable fresh;
                if (readTable(path, fresh))
                    service.reload(fresh.entries());
                else
                    Log::warning("port table not reloaded: it has errors; serving the old one");
            } else {
                Log::info("stopped by signal " + std::to_string(signal));
                return 0;
            }
        }
        service.process();
    }
}
