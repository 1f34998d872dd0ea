// What the bus and the platform library carry at best for the road's traffic: a stand-in for the
// daemon that does no work but receive, one message per readiness of its descriptor as the daemon's
// loop does, and answer with messages of the sizes the daemon sends; a peer streams it the messages
// of the road's sizes (the port support of n ports, then n subscription confirmations, n port status
// indications, n creation confirmations) and collects the answers as they come. Two mailboxes on the
// bus of TAVI_BUS_ADDRESS, each in a thread of its own.
#ifndef SYNC_BENCH_TRANSPORTCEILING_H
#define SYNC_BENCH_TRANSPORTCEILING_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace Sync {
namespace Bench {

class TransportCeiling {
  public:
    struct Result {
        bool ok = false;
        std::string error;
        // Messages the stand-in received plus those it sent.
        size_t messages = 0;
        // From the first message sent to the last answer collected.
        double seconds = 0;
    };

    static Result run(uint32_t ports);
};

}  // namespace Bench
}  // namespace Sync

#endif
