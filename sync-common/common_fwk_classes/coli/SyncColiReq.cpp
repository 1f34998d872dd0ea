#include "common_fwk_classes/coli/SyncColiReq.h"

#include <cstdlib>

#include "Macros.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

// Sized by its number alone: even a request too short to hold `len` is answered (as one without
// arguments) rather than dropped, so the operator always gets a reply.
SyncColiReq::SyncColiReq() : BasePrimitive(PRIMITIVE_ID, SYNC_COLI_REQ, "SYNC_COLI_REQ", COLI_SIGNAL_SIZE) {}

void SyncColiReq::fetchPrimitive(void* msg) {
    arguments_.clear();
    TRACE_REC_MSG("SYNC_COLI_REQ");
    int argc = 0;
    char** argv = nullptr;
    if (coli_common_unpack_coli_req_args(msg, &argc, &argv) != 0)
        return;
    arguments_.assign(argv, argv + argc);
    std::free(argv);
}

}  // namespace Coli
}  // namespace Sync
