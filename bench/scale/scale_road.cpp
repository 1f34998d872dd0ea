// The whole road for n fronthaul ports on the in-process fake transport, timed: port support,
// subscriptions, ports up, REC created (CREATE), creations confirmed (TRANSMIT_SSM, ESMC_CONTROL),
// then one clock-quality change fanned out to every output. Run once per n, in a fresh process, so
// that the peak resident size is this n's.
//
// Prints one line: n, whole-road seconds, fan-out seconds, peak RSS in KiB; the time of each step
// goes to stderr.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "FakeRoad.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fronthaul ports, 1..65535>\n", argv[0]);
        return 2;
    }
    const unsigned long n = std::strtoul(argv[1], nullptr, 10);
    if (n < 1 || n > 65535) {
        std::fprintf(stderr, "ports must be 1..65535\n");
        return 2;
    }

    Sync::Bench::FakeRoad road;
    if (!road.connectPeers()) {
        std::fprintf(stderr, "%s\n", road.error().c_str());
        return 1;
    }
    const std::pair<const char*, std::function<bool()>> steps[] = {
        {"port support", [&] { return road.discoverPorts(static_cast<uint32_t>(n)); }},
        {"subscriptions", [&] { return road.confirmSubscriptions(); }},
        {"ports up", [&] { return road.portsUp(); }},
        {"REC created", [&] { return road.recCreated(); }},
        {"creations confirmed", [&] { return road.confirmOutputs(); }},
    };
    const Clock::time_point roadStart = Clock::now();
    for (const auto& step : steps) {
        const Clock::time_point stepStart = Clock::now();
        if (!step.second()) {
            std::fprintf(stderr, "%s\n", road.error().c_str());
            return 1;
        }
        std::fprintf(stderr, "n=%lu %-20s %.3f s\n", n, step.first, secondsSince(stepStart));
    }
    const double roadSeconds = secondsSince(roadStart);

    const Clock::time_point fanOutStart = Clock::now();
    if (!road.qualityChange(21)) {
        std::fprintf(stderr, "%s\n", road.error().c_str());
        return 1;
    }
    const double fanOutSeconds = secondsSince(fanOutStart);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%lu %.6f %.6f %ld\n", n, roadSeconds, fanOutSeconds, usage.ru_maxrss);
    return 0;
}
