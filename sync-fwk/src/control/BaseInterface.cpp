#include "control/BaseInterface.h"

#include <cinttypes>
#include <cstring>

#include "Macros.h"
#include "control/BasePrimitive.h"
#include "control/MessageHandler.h"
#include "control/PrimitiveListenerContainer.h"
#include "tavi.h"

namespace Sync {

BaseInterface::BaseInterface(uint32_t ownPid) : ownPid(ownPid) {}

BaseInterface::~BaseInterface() = default;

bool BaseInterface::dispatchMsg(void* msg) {
    TRACE_ENTER_FREQ("msg_p->msgno: %u", msg != nullptr ? getMsgno(msg) : 0u);
    const bool taken = receivePrimitive(msg);
    TRACE_RETURN_FREQ("%s", taken ? "true" : "false");
    return taken;
}

bool BaseInterface::registerPrimitive(BasePrimitive* primitive) {
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        return false;
    }
    if (primitivesById.count(primitive->getPrimitiveId()) != 0 ||
        primitivesByMsgno.count(primitive->getMsgno()) != 0) {
        TRACE_ERROR("Coding error: Primitive already registered!");
        delete primitive;
        return false;
    }
    primitivesById[primitive->getPrimitiveId()] = primitive;
    primitivesByMsgno[primitive->getMsgno()] = std::make_unique<PrimitiveListenerContainer>(primitive);
    return true;
}

BasePrimitive* BaseInterface::getPrimitive(uint32_t primitiveId) const {
    BasePrimitive* primitive = findPrimitiveById(primitiveId);
    if (primitive == nullptr)
        TRACE_INFO("Primitive not registered (%u)!", primitiveId);
    return primitive;
}

BasePrimitive* BaseInterface::findPrimitiveById(uint32_t primitiveId) const {
    const auto found = primitivesById.find(primitiveId);
    return found != primitivesById.end() ? found->second : nullptr;
}

BasePrimitive* BaseInterface::findPrimitiveByMsgno(uint32_t msgno) const {
    const auto found = primitivesByMsgno.find(msgno);
    return found != primitivesByMsgno.end() ? found->second->getPrimitive() : nullptr;
}

PrimitiveListenerContainer* BaseInterface::findContainer(const BasePrimitive* primitive) const {
    const auto found = primitivesByMsgno.find(primitive->getMsgno());
    return found != primitivesByMsgno.end() ? found->second.get() : nullptr;
}

void BaseInterface::addListener(BasePrimitive* primitive, MessageHandler* handler) {
    PrimitiveListenerContainer* container = nullptr;
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
    } else if (handler == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer listener!");
    } else if ((container = findContainer(primitive)) == nullptr) {
        TRACE_ERROR("Coding error: Received primitive not registered!");
    }
    if (container == nullptr) {
        delete handler;
        return;
    }
    container->addListener(handler);
}

void BaseInterface::removeListener(BasePrimitive* primitive) {
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        return;
    }
    PrimitiveListenerContainer* container = findContainer(primitive);
    if (container == nullptr) {
        TRACE_ERROR("Coding error: Received primitive not registered!");
        return;
    }
    container->removeListeners();
}

void BaseInterface::notifyListeners(BasePrimitive* primitive, uint32_t senderPid) {
    if (primitive == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer primitive!");
        return;
    }
    if (senderPid == 0) {
        TRACE_ERROR("Coding error: Try to notify listener with incorrect sender process id!");
        return;
    }
    PrimitiveListenerContainer* container = findContainer(primitive);
    if (container == nullptr) {
        TRACE_ERROR("Coding error: Received primitive not registered!");
        return;
    }
    BasePrimitive* const previous = currentPrimitive;
    currentPrimitive = primitive;
    container->notify(primitive, senderPid);
    currentPrimitive = previous;
}

uint32_t BaseInterface::getMsgno(const void* msg) {
    uint32_t msgno;
    std::memcpy(&msgno, msg, sizeof msgno);
    return msgno;
}

bool BaseInterface::checkSize(const void* msg, const char* name, uint32_t msgno, uint64_t needed) const {
    const uint32_t size = tavi_size(msg);
    if (size >= needed)
        return true;
    TRACE_WARNING("Dropped short message %s, msgno %u [0x%08X]: %u bytes received, %" PRIu64 " needed", name,
                  msgno, msgno, size, needed);
    return false;
}

bool BaseInterface::checkSize(const void* msg, const BasePrimitive& primitive) const {
    if (!checkSize(msg, primitive.getName(), primitive.getMsgno(), primitive.getMessageSize()))
        return false;
    return checkSize(msg, primitive.getName(), primitive.getMsgno(), primitive.requiredSize(msg));
}

bool BaseInterface::receivePrimitive(void* msg) {
    if (msg == nullptr) {
        TRACE_ERROR("Coding error: Received null pointer message!");
        return false;
    }
    BasePrimitive* primitive = findPrimitiveByMsgno(getMsgno(msg));
    if (primitive == nullptr)
        return false;
    if (checkSize(msg, *primitive)) {
        primitive->fetchPrimitive(msg);
        dispatchPrimitive(primitive, tavi_sender(msg));
    }
    return true;
}

}  // namespace Sync
