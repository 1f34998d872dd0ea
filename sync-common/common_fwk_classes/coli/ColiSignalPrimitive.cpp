#include "common_fwk_classes/coli/ColiSignalPrimitive.h"

#include "Macros.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Coli {

ColiSignalPrimitive::ColiSignalPrimitive(uint32_t primitiveId, uint32_t msgno, const char* name)
    : BasePrimitive(primitiveId, msgno, name, COLI_SIGNAL_SIZE) {}

void ColiSignalPrimitive::fetchPrimitive(void* msg) {
    TRACE_REC_MSG("%s", getName());
}

}  // namespace Coli
}  // namespace Sync
