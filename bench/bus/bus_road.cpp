// The whole road over a private dbus-daemon: the daemon binary with the simulated peers for n
// fronthaul ports (4096 unless given), its message rate, and in the same run the transport's ceiling
// for the same traffic. Both are measured in rounds (3 unless given), alternately, each round with a
// fresh daemon; the best round of each counts, being the least disturbed by other load on the machine.
// Prints every round, both rates and their ratio. Every process it starts is stopped by its pid.
//
// $SYNC_BENCH_DAEMON, when set, is run instead of the daemon binary (e.g. a script that execs the
// daemon under valgrind --tool=callgrind, which keeps the pid).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BusRoad.h"
#include "PrivateBus.h"
#include "TempDir.h"
#include "TransportCeiling.h"

int main(int argc, char* argv[]) {
    const unsigned long ports = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 4096;
    const unsigned long rounds = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 3;
    if (ports < 1 || ports > 65535 || rounds < 1 || rounds > 100) {
        std::fprintf(stderr, "usage: %s [fronthaul ports, 1..65535] [rounds, 1..100]\n", argv[0]);
        return 2;
    }
    PrivateBus bus;
    if (!bus.running()) {
        std::fprintf(stderr, "no private dbus-daemon\n");
        return 1;
    }
    // A home of its own, so that no session daemon of someone else records (and slows) the daemon.
    E2e::TempDir lttngHome("sync-bench-lttng");
    const char* wrapper = std::getenv("SYNC_BENCH_DAEMON");
    const std::string binary = wrapper != nullptr ? wrapper : "";

    double bestDaemon = 0;
    double bestCeiling = 0;
    std::printf("ports %lu, %lu rounds\n", ports, rounds);
    for (unsigned long round = 1; round <= rounds; ++round) {
        const auto road = Sync::Bench::BusRoad::run(static_cast<uint32_t>(ports), lttngHome.path(), binary);
        if (!road.ok) {
            std::fprintf(stderr, "daemon road: %s\n", road.error.c_str());
            return 1;
        }
        const auto ceiling = Sync::Bench::TransportCeiling::run(static_cast<uint32_t>(ports));
        if (!ceiling.ok) {
            std::fprintf(stderr, "transport ceiling: %s\n", ceiling.error.c_str());
            return 1;
        }
        const double daemonRate = double(road.messages) / road.seconds;
        const double ceilingRate = double(ceiling.messages) / ceiling.seconds;
        std::printf(
            "round %lu: daemon %zu messages in %.3f s (%.0f/s), ceiling %zu messages in %.3f s (%.0f/s)\n",
            round, road.messages, road.seconds, daemonRate, ceiling.messages, ceiling.seconds, ceilingRate);
        bestDaemon = std::max(bestDaemon, daemonRate);
        bestCeiling = std::max(bestCeiling, ceilingRate);
    }
    std::printf("daemon rate        %.0f messages/s\n", bestDaemon);
    std::printf("transport ceiling  %.0f messages/s\n", bestCeiling);
    std::printf("daemon/ceiling     %.2f\n", bestDaemon / bestCeiling);
    return 0;
}
