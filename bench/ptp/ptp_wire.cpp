// The grandmaster's clockClass changed at run time (pmc SET GRANDMASTER_SETTINGS_NP, alternating
// 150 and 6) to the event PDU with the mapped quality (SSM 0x4, 0x2) captured on the far end: the
// whole chain in a WireLab, nothing simulated on the clock's side.
//   bench-ptp-wire [changes]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "WireLab.h"

int main(int argc, char** argv) {
    const int changes = argc > 1 ? std::atoi(argv[1]) : 20;
    E2e::WireLab chain(2);
    if (chain.ready()) {
        chain.startPtp4l(true);
        chain.startPtp4l(false);
        chain.start("sync-portd", {SYNC_PORTD_PATH, "--ports", chain.writePorts(2)});
        chain.start("sync-clockd", {SYNC_CLOCKD_PATH, "--uds", chain.nodeSocket()});
    }
    if (!chain.ready() || !chain.startDaemon() ||
        !chain.start("sync-esmcd", {SYNC_ESMCD_PATH, "--clock-mac", "02:00:5e:10:00:ff"}).started() ||
        !chain.awaitSsm(0x2, std::chrono::seconds(40))) {
        std::fprintf(stderr, "the chain did not come up (root needed):\n%s\n", chain.outputs().c_str());
        return 1;
    }
    std::mt19937 random(std::random_device{}());
    std::vector<double> latencies;
    for (int i = 0; i < changes; ++i) {
        const int clockClass = i % 2 == 0 ? 150 : 6;
        const unsigned ssm = clockClass == 150 ? 0x4 : 0x2;
        // A random phase against the announce and poll intervals.
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 + random() % 1000));
        const size_t from = chain.capture().count(0);
        const double changed = E2e::EsmcCapture::now();
        if (!chain.setClockClass(clockClass) || !chain.awaitSsm(ssm, std::chrono::seconds(10))) {
            std::fprintf(stderr, "change %d to clockClass %d did not reach the wire\n%s\n", i, clockClass,
                         chain.outputs().c_str());
            return 1;
        }
        latencies.push_back(chain.capture().firstWithSsm(0, from, ssm) - changed);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("clockClass change to event PDU, %d changes: min %.3f s, median %.3f s, max %.3f s\n",
                changes, latencies.front(), latencies[latencies.size() / 2], latencies.back());
    return 0;
}
