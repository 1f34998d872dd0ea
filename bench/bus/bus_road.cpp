// The whole road over a private dbus-daemon: the daemon binary with the simulated peers for n
// fronthaul ports (4096 unless given), its message rate, and in the same run the transport's ceiling
// for the same traffic. Both are measured in rounds (3 unless given), alternately, each round with a
// fresh daemon; the best round of each counts, being the least disturbed by other load on the machine.
// Prints every round, both rates and their ratio, and last a line for scripts:
//   best <ports> <daemon road seconds> <ceiling seconds>
// A third argument, "daemon" or "ceiling", measures only that side (for profiling it alone; its
// seconds are then 0 in the last line). Every process it starts is stopped by its pid.
//
// $SYNC_BENCH_DAEMON, when set, is run instead of the daemon binary (e.g. a script that execs the
// daemon under valgrind --tool=callgrind, which keeps the pid).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BusRoad.h"
#include "PrivateBus.h"
#include "TempDir.h"
#include "TransportCeiling.h"

int main(int argc, char* argv[]) {
    const unsigned long ports = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 4096;
    const unsigned long rounds = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 3;
    const char* only = argc > 3 ? argv[3] : "";
    const bool daemonSide = std::strcmp(only, "ceiling") != 0;
    const bool ceilingSide = std::strcmp(only, "daemon") != 0;
    if (ports < 1 || ports > 65535 || rounds < 1 || rounds > 100 || (!daemonSide && !ceilingSide) ||
        (*only != '\0' && daemonSide && ceilingSide)) {
        std::fprintf(stderr, "usage: %s [fronthaul ports, 1..65535] [rounds, 1..100] [daemon|ceiling]\n",
                     argv[0]);
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

    // Both sides carry the same messages, so the best rate is the best time.
    double bestDaemon = 0;
    double bestCeiling = 0;
    size_t messages = 0;
    // One side's round: printed, and its time kept when it is the best; false when the side failed.
    auto record = [&messages](const char* side, const auto& result, double& best) {
        if (!result.ok) {
            std::fprintf(stderr, "\n%s: %s\n", side, result.error.c_str());
            return false;
        }
        std::printf(" %s %zu messages in %.3f s (%.0f/s)", side, result.messages, result.seconds,
                    double(result.messages) / result.seconds);
        best = best == 0 ? result.seconds : std::min(best, result.seconds);
        messages = result.messages;
        return true;
    };
    std::printf("ports %lu, %lu rounds\n", ports, rounds);
    for (unsigned long round = 1; round <= rounds; ++round) {
        std::printf("round %lu:", round);
        if (daemonSide &&
            !record("daemon",
                    Sync::Bench::BusRoad::run(static_cast<uint32_t>(ports), lttngHome.path(), binary),
                    bestDaemon)) {
            return 1;
        }
        if (ceilingSide &&
            !record("ceiling", Sync::Bench::TransportCeiling::run(static_cast<uint32_t>(ports)),
                    bestCeiling)) {
            return 1;
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    if (daemonSide) {
        std::printf("daemon rate        %.0f messages/s\n", double(messages) / bestDaemon);
    }
    if (ceilingSide) {
        std::printf("transport ceiling  %.0f messages/s\n", double(messages) / bestCeiling);
    }
    if (daemonSide && ceilingSide) {
        std::printf("daemon/ceiling     %.2f\n", bestCeiling / bestDaemon);
    }
    std::printf("best %lu %.3f %.3f\n", ports, bestDaemon, bestCeiling);
    return 0;
}
