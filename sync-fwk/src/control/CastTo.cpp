#include "control/CastTo.h"

#include <cstdlib>

#include "Macros.h"

namespace Sync {

void castToFailed(const void* pointer, const char* fromType, const char* toType) {
    TRACE_ERROR("Coding Error: dynamic cast pointer: %p from-type: %s to-type: %s failed! ==> Abort", pointer,
                fromType, toType);
    std::abort();
}

}  // namespace Sync
