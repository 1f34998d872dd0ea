#include "common_fwk_classes/sci/ServerUp.h"

#include "Macros.h"
#include "kolm.h"

namespace Sync {
namespace Sci {

ServerUp::ServerUp()
    : BasePrimitive(Messages::Management::SERVER_UP.primitiveId, Messages::Management::SERVER_UP.msgno,
                    Messages::Management::SERVER_UP.name, KOLM_SERVICE_IND_SIZE) {}

void ServerUp::fetchPrimitive(void* msg) {
    TRACE_REC_MSG("KOLM_SERVICE_ADDED_IND");
}

}  // namespace Sci
}  // namespace Sync
