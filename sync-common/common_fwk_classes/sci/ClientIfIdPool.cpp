#include "common_fwk_classes/sci/ClientIfIdPool.h"

namespace Sync {
namespace Sci {

ClientIfIdPool& ClientIfIdPool::instance() {
    static ClientIfIdPool pool;
    return pool;
}

uint32_t ClientIfIdPool::take() {
    for (uint32_t bit = 0; bit < SIZE; ++bit) {
        if (!taken.test(bit)) {
            taken.set(bit);
            return bit + 1;
        }
    }
    return NO_ID;
}

void ClientIfIdPool::release(uint32_t id) {
    if (id != NO_ID && id <= SIZE)
        taken.reset(id - 1);
}

}  // namespace Sci
}  // namespace Sync
