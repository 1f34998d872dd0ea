// sync-esmcd: the SyncE data plane. A client of sync-lumov-control that turns its output orders into
// ESMC PDUs on real interfaces, in any network namespace.
#include <systemd/sd-id128.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "ConfigError.h"
#include "DataPlaneClient.h"
#include "EsmcDataPlane.h"
#include "InterfaceWatch.h"
#include "Log.h"
#include "MacAddress.h"
#include "Options.h"
#include "PacketSocket.h"
#include "ServiceExit.h"
#include "ServiceLoop.h"
#include "StatusSocket.h"

namespace {

using SyncEsmcd::EsmcDataPlane;
using SyncSys::Options;
using SyncSys::ServiceExit;
using SyncSys::ServiceLoop;

const char* const MAILBOX = "sync-esmcd";

// The node clock's MAC address from text, for the option that gave it.
bool takeClockMac(EsmcDataPlane::Settings& settings, const std::string& text, const std::string& given,
                  std::string& error) {
    settings.clockMac = SyncSys::MacAddress::parse(text);
    if (!settings.clockMac)
        error = given + ": no MAC address (xx:xx:xx:xx:xx:xx)";
    else if (*settings.clockMac == SyncSys::MacAddress::Bytes{})
        error = given + ": the MAC address 00:00:00:00:00:00 identifies no clock", settings.clockMac.reset();
    return settings.clockMac.has_value();
}

// Without an option naming it, the clock's MAC is derived from the node's machine id: different on
// every node, the same across restarts, never zero (a locally administered unicast address). The id
// is hashed with this program's own key first, so that the wire does not carry it.
bool takeMachineClockMac(EsmcDataPlane::Settings& settings) {
    constexpr sd_id128_t KEY = SD_ID128_MAKE(cd, 27, 5e, 89, 87, 5e, 4e, 22, 96, 03, ad, 5e, f3, f3, 25, 01);
    sd_id128_t id;
    const int r = sd_id128_get_machine_app_specific(KEY, &id);
    if (r < 0) {
        SyncSys::Log::error(std::string("no clock MAC: --clock-mac and --clock-interface not given, and the "
                                        "machine id cannot be read: ") +
                            std::strerror(-r));
        return false;
    }
    SyncSys::MacAddress::Bytes mac;
    std::copy(id.bytes, id.bytes + mac.size(), mac.begin());
    mac[0] = (mac[0] & 0xFC) | 0x02;
    settings.clockMac = mac;
    SyncSys::Log::info("clock MAC " + SyncSys::MacAddress::format(mac) +
                       ", derived from this node's machine id (no --clock-mac or --clock-interface)");
    return true;
}

Options commandLine(EsmcDataPlane::Settings& settings, std::string& statusDir) {
    Options options(
        "sync-esmcd",
        "[--clock-mac MAC | --clock-interface IFNAME] [--hold SECONDS] [--settle MS] [--status-dir DIR]",
        "The SyncE data plane of sync-lumov-control: finds the daemon's service \"SyncLumovControl\"\n"
        "in domain \"sync\", takes its output orders and transmits ESMC PDUs (an information PDU per\n"
        "second, an event PDU at once on a change, at most 10 per second) on each output's interface,\n"
        "inside the output's network namespace (/run/netns/NAME). An output whose namespace or\n"
        "interface cannot be reached is kept and transmits as soon as it appears. Needs CAP_NET_RAW, and\n"
        "CAP_SYS_ADMIN for outputs in other namespaces.");
    options.add("clock-mac", "MAC",
                "the node clock's MAC address, forwarded to the daemon, which derives the SyncE clock "
                "identity from it",
                [&settings](const std::string& value, std::string& error) {
                    return takeClockMac(settings, value, "--clock-mac " + value, error);
                });
    options.add("clock-interface", "IFNAME",
                "the same, taken from this interface of the own namespace. Without either, the MAC is "
                "derived from the node's machine id (/etc/machine-id) as a locally administered address",
                [&settings](const std::string& value, std::string& error) {
                    std::string text;
                    std::getline(std::ifstream("/sys/class/net/" + value + "/address"), text);
                    return takeClockMac(settings, text, "--clock-interface " + value, error);
                });
    options.addNumber("hold", "SECONDS",
                      "after the daemon went away, keep its last orders on the wire this long, then "
                      "announce do-not-use until it returns (default 60)",
                      0, 86400,
                      [&settings](uint64_t seconds) { settings.hold = std::chrono::seconds(seconds); });
    options.addNumber("settle", "MS",
                      "after the daemon returned, its orders reach the wire once they have been stable "
                      "this long (default 500)",
                      0, 60000,
                      [&settings](uint64_t ms) { settings.settle = std::chrono::milliseconds(ms); });
    SyncSys::StatusSocket::addOption(options, statusDir);
    options.addText(
        "SIGUSR1 logs the status of every output; SIGTERM or SIGINT stops transmitting and exits.");
    options.addCodes("A rejected output request carries an errorCode:", SyncEsmcd::CONFIG_ERRORS);
    ServiceLoop::describe(options);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    EsmcDataPlane::Settings settings;
    std::string statusDir = SyncSys::StatusSocket::DEFAULT_DIR;
    if (const Options::Outcome outcome = commandLine(settings, statusDir).parse(argc, argv);
        outcome != Options::RUN)
        return outcome;
    if (!settings.clockMac && !takeMachineClockMac(settings))
        return ServiceExit::FAILED;
    ServiceLoop loop;
    SyncPeers::DataPlaneClient client(MAILBOX);
    EsmcDataPlane plane(client, settings, [] { return std::make_unique<SyncEsmcd::PacketSocket>(); });
    SyncEsmcd::InterfaceWatch watch(plane);
    if (!watch.open()) {
        SyncSys::Log::error(watch.error());
        return ServiceExit::FAILED;
    }
    client.setListener(&plane);
    if (!client.open()) {
        SyncSys::Log::error(client.lastError());
        return ServiceExit::FAILED;
    }
    SyncSys::Log::info("started, mailbox " + std::to_string(client.id()) + "; waiting for the daemon");
    SyncSys::StatusSocket status([&plane] { return plane.report().dump(); });
    status.openIn(statusDir, MAILBOX);
    status.serveOn(loop);
    loop.watch([&watch] { return watch.descriptors(); }, [&watch] { watch.process(); });
    // The outputs' namespaces change with the daemon's orders: the watch follows them before each wait.
    loop.onWork([&plane, &watch] {
        const EsmcDataPlane::TimePoint due = plane.work();
        watch.follow(plane.namespaces());
        return due;
    });
    loop.onStatus([&plane] { return plane.status(); });
    loop.onSummary([&plane] { return plane.summary(); });
    return loop.run(ServiceLoop::busOf(client));
}
