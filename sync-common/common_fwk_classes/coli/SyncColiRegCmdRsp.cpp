#include "common_fwk_classes/coli/SyncColiRegCmdRsp.h"

#include "Macros.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

SyncColiRegCmdRsp::SyncColiRegCmdRsp()
    : BasePrimitive(PRIMITIVE_ID, SYNC_COLI_REG_CMD_RSP, "SYNC_COLI_REG_CMD_RSP", COLI_HEADER_SIZE) {}

void SyncColiRegCmdRsp::fetchPrimitive(void* msg) {
    result_ = getHostU32(msg, COLI_RESULT_OFFSET);
    TRACE_REC_MSG("SYNC_COLI_REG_CMD_RSP");
    if (result_ != 0)
        TRACE_ERROR("Failed to register COLI cmd");
}

}  // namespace Coli
}  // namespace Sync
