#include "common_fwk_classes/sci/ServicePrimitive.h"

namespace Sync {
namespace Sci {

ServicePrimitive::ServicePrimitive(const MessageDescriptor& descriptor, uint32_t messageSize)
    : BasePrimitive(descriptor.primitiveId, descriptor.msgno, descriptor.name, messageSize),
      descriptor_(descriptor) {}

void* ServicePrimitive::allocServiceMessage() const {
    return allocServiceMessage(getMessageSize());
}

void* ServicePrimitive::allocServiceMessage(uint32_t size) const {
    void* msg = allocMessage(size);
    if (msg != nullptr)
        putU32(msg, ENTITY_ID_OFFSET, entityId_);
    return msg;
}

void ServicePrimitive::readServiceHeader(const void* msg) {
    readHeader(msg);
    entityId_ = getU32(msg, ENTITY_ID_OFFSET);
}

}  // namespace Sci
}  // namespace Sync
