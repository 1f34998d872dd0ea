// The whole road over a private bus: the daemon binary against the simulated peers of sim/, each
// peer served by a thread of its own so that none waits on another. The sync-control server gives
// the clock quality and the REC first; then the port-control server appears with n fronthaul ports
// and the road runs: port support, subscriptions, ports up, CREATE, RCFM, TRANSMIT_SSM, ESMC_CONTROL.
// Everything is counted from the peers' side.
#ifndef SYNC_BENCH_BUSROAD_H
#define SYNC_BENCH_BUSROAD_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace Sync {
namespace Bench {

class BusRoad {
  public:
    struct Result {
        bool ok = false;
        std::string error;
        // Messages the daemon received plus those it sent, from the port-support confirmation on.
        size_t messages = 0;
        // From the port-support confirmation to the last ESMC_CONTROL_IND.
        double seconds = 0;
    };

    // Runs on the bus of TAVI_BUS_ADDRESS; the daemon gets lttngHome as LTTNG_HOME. An empty binary is
    // the daemon built with the benchmark; another may be a wrapper that execs it (under a profiler).
    static Result run(uint32_t ports, const std::string& lttngHome, const std::string& binary = {});
};

}  // namespace Bench
}  // namespace Sync

#endif
