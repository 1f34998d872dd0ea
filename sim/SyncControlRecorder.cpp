#include "SyncControlRecorder.h"

namespace SyncSim {

std::vector<SyncControlRecorder::Received> SyncControlRecorder::receivedWith(uint32_t msgno) const {
    std::vector<Received> found;
    for (const Received& r : received_)
        if (r.message.msgno() == msgno)
            found.push_back(r);
    return found;
}

}  // namespace SyncSim
