#include "common_fwk_classes/utilities/UniqueIdPool.h"

#include "Macros.h"

namespace Sync {
namespace {

// Shared by all pools of the process.
uint32_t lastId = 0;

}  // namespace

UniqueIdPool::UniqueIdPool(uint32_t maxIdAllowed) : maxIdAllowed(maxIdAllowed) {}

UniqueIdPool::~UniqueIdPool() = default;

uint32_t UniqueIdPool::lastIssuedId() {
    return lastId;
}

void UniqueIdPool::setLastIssuedId(uint32_t id) {
    lastId = id;
}

uint32_t UniqueIdPool::createId() {
    TRACE_ENTER("%s", "");
    if (usedIds.size() >= maxIdAllowed) {
        TRACE_RETURN("id : %u", 0u);
        return 0;
    }
    uint32_t candidate = lastId == 0xFFFFFFFF ? 0 : lastId;
    do {
        ++candidate;
    } while (candidate == 0 || usedIds.count(candidate) != 0);
    lastId = candidate;
    usedIds.insert(candidate);
    TRACE_RETURN("id : %u", candidate);
    return candidate;
}

void UniqueIdPool::releaseId(uint32_t id) {
    TRACE_ENTER("id: %u", id);
    if (usedIds.erase(id) == 0) {
        TRACE_ERROR("(%u) Id not found", id);
    }
    TRACE_RETURN("%s", "");
}

bool UniqueIdPool::hasAvailableId() const {
    TRACE_ENTER("%s", "");
    const bool available = usedIds.size() < maxIdAllowed;
    TRACE_RETURN("%s", available ? "true" : "false");
    return available;
}

uint32_t UniqueIdPool::getMaxIdAllowed() const {
    return maxIdAllowed;
}

uint32_t UniqueIdPool::getNumAvailableId() const {
    TRACE_ENTER("%s", "");
    const uint32_t used = static_cast<uint32_t>(usedIds.size());
    const uint32_t available = used < maxIdAllowed ? maxIdAllowed - used : 0;
    TRACE_RETURN("Available Id:s = %u", available);
    return available;
}

}  // namespace Sync
