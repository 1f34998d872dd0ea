// sync-portd: the port-control service over the kernel. Serves the port-control protocol as
// "iepcsi-server" from a port table and the links rtnetlink reports in each namespace in use.
#include <string>
#include <vector>

#include "Log.h"
#include "Options.h"
#include "PortService.h"
#include "PortTable.h"
#include "ServiceExit.h"
#include "ServiceLoop.h"
#include "StatusSocket.h"

namespace {

using SyncPortd::PortTable;
using SyncSys::Log;
using SyncSys::Options;
using SyncSys::ServiceExit;
using SyncSys::ServiceLoop;

Options commandLine(std::string& path, std::string& statusDir) {
    Options options(
        "sync-portd", "--ports FILE [--status-dir DIR]",
        "The port-control service of sync-lumov-control over the kernel: serves the port-control\n"
        "protocol as mailbox \"iepcsi-server\" for the ports of FILE, with each port's MAC address,\n"
        "administrative state (IFF_UP: unlocked, else locked) and operational state (up with carrier,\n"
        "IFF_LOWER_UP: enabled, else disabled) read and watched with rtnetlink in the port's network\n"
        "namespace.\n"
        "A port whose interface does not exist is locked and disabled until it appears.");
    options.add("ports", "FILE", "the port table (required)",
                [&path](const std::string& value, std::string&) {
                    path = value;
                    return true;
                });
    options.addText(
        "FILE has one line per port; # starts a comment:\n"
        "    port ROLE RHAI_ID PORT_NAME INTERFACE_NAME [NAMESPACE]\n"
        "ROLE is fronthaul (role bit 0x4) or the role bits as a number; NAMESPACE an ip-netns name\n"
        "(/run/netns/NAME), - or nothing for the own namespace.");
    SyncSys::StatusSocket::addOption(options, statusDir);
    options.addText(
        "A table without ports is valid: the service then serves none. SIGHUP reads FILE again\n"
        "(removed ports are reported locked and disabled; when ports were added the service leaves the\n"
        "bus and comes back, so that clients ask again which ports exist; a table with errors is not\n"
        "taken, the one in use stays and the status line says why). SIGUSR1 logs the status of every\n"
        "port; SIGTERM or SIGINT stops it.");
    ServiceLoop::describe(options);
    return options;
}

// A node's table starts empty: say how it gets its ports.
void explainEmpty(const std::string& path) {
    Log::write(Log::NOTICE,
               "no ports in " + path +
                   ": add a line \"port ROLE RHAI_ID PORT_NAME INTERFACE_NAME [NAMESPACE]\" for "
                   "each (sync-portd-ports(5)) and reload: systemctl reload sync-portd, or SIGHUP");
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    std::string statusDir = SyncSys::StatusSocket::DEFAULT_DIR;
    Options options = commandLine(path, statusDir);
    if (const Options::Outcome outcome = options.parse(argc, argv); outcome != Options::RUN)
        return outcome;
    if (path.empty())
        return options.fail("no port table given (--ports FILE)");
    PortTable table;
    if (!table.load(path)) {
        for (const std::string& error : table.errors())
            Log::error(error);
        return ServiceExit::USAGE;
    }
    ServiceLoop loop;
    SyncPortd::PortService service;
    if (!service.start(table.entries())) {
        Log::error(service.error());
        return ServiceExit::FAILED;
    }
    Log::info("serving " + std::to_string(table.entries().size()) + " ports as \"iepcsi-server\", mailbox " +
              std::to_string(service.server().id()));
    if (table.entries().empty())
        explainEmpty(path);
    SyncSys::StatusSocket status([&service] { return service.report().dump(); });
    status.openIn(statusDir, "sync-portd");
    status.serveOn(loop);

    loop.watch([&service] { return service.descriptors(); }, [&service] { service.process(); });
    loop.onReload([&]() -> std::vector<std::string> {
        PortTable fresh;
        if (!fresh.load(path))
            return fresh.errors();
        service.reload(fresh.entries());
        if (fresh.entries().empty())
            explainEmpty(path);
        return {};
    });
    loop.onStatus([&service] { return service.status(); });
    loop.onSummary([&service] { return service.summary(); });
    return loop.run(ServiceLoop::busOf(service.server()));
}
