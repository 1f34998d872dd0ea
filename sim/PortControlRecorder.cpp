#include "PortControlRecorder.h"

namespace SyncSim {

std::vector<PortControlRecorder::Received> PortControlRecorder::receivedWith(uint32_t msgno) const {
    std::vector<Received> found;
    for (const Received& r : received_)
        if (r.msgno == msgno)
            found.push_back(r);
    return found;
}

}  // namespace SyncSim
