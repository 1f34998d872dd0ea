#include "common_fwk_classes/iepcsi/IdBitmap.h"

namespace Sync {
namespace Iepcsi {

uint32_t IdBitmap::take() {
    for (uint32_t bit = 0; bit < CAPACITY; ++bit) {
        if (!taken_.test(bit)) {
            taken_.set(bit);
            return bit + 1;
        }
    }
    return 0;
}

void IdBitmap::release(uint32_t id) {
    if (id >= 1 && id <= CAPACITY)
        taken_.reset(id - 1);
}

bool IdBitmap::isTaken(uint32_t id) const {
    return id >= 1 && id <= CAPACITY && taken_.test(id - 1);
}

}  // namespace Iepcsi
}  // namespace Sync
