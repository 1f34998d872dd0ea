#include "control/NameServiceMessage.h"

#include <cstring>

#include "kolm.h"

namespace Sync {

bool NameServiceMessage::isNameServiceMsgno(uint32_t msgno) {
    return getName(msgno) != nullptr;
}

const char* NameServiceMessage::getName(uint32_t msgno) {
    switch (msgno) {
        case KOLM_SUBSCRIBE_RSP:
            return "KOLM_SUBSCRIBE_RSP";
        case KOLM_SERVICE_ADDED_IND:
            return "KOLM_SERVICE_ADDED_IND";
        case KOLM_SERVICE_REMOVED_IND:
            return "KOLM_SERVICE_REMOVED_IND";
        default:
            return nullptr;
    }
}

uint32_t NameServiceMessage::getRequiredSize(uint32_t msgno) {
    return msgno == KOLM_SUBSCRIBE_RSP ? KOLM_SUBSCRIBE_RSP_SIZE : KOLM_SERVICE_IND_SIZE;
}

uint32_t NameServiceMessage::getSubscriptionId(const void* msg) {
    uint32_t id;
    std::memcpy(&id, static_cast<const char*>(msg) + SUBSCRIPTION_ID_OFFSET, sizeof id);
    return id;
}

uint64_t NameServiceMessage::getTag(const void* msg) {
    uint64_t tag;
    std::memcpy(&tag, static_cast<const char*>(msg) + TAG_OFFSET, sizeof tag);
    return tag;
}

}  // namespace Sync
