#include "eventHandling/IDLE.h"

namespace Sync {

IDLE& IDLE::instance() {
    static IDLE idle;
    return idle;
}

}  // namespace Sync
