#include "common_fwk_classes/iepcsi/ServiceHandler.h"

#include "Macros.h"
#include "common_fwk_classes/iepcsi/GetEthPortSupportReq.h"
#include "common_fwk_classes/iepcsi/IdBitmap.h"
#include "common_fwk_classes/iepcsi/SubscribeEthPortStatusReq.h"
#include "common_fwk_classes/iepcsi/UnsubscribeEthPortStatusReq.h"
#include "control/BaseController.h"
#include "control/Dispatcher.h"
#include "eventHandling/DONE.h"
#include "eventHandling/IDLE.h"

namespace Sync {
namespace Iepcsi {

namespace {

IdBitmap& handlerIds() {
    static IdBitmap ids;
    return ids;
}

}  // namespace

void ServiceHandler::IepcsiPortSm::defineTransitions() {
    using Entity = ServiceEntity;
    addTransition<Entity::IEPCSIENTITY_SUBSCRIBE_TO_SERVER_EVENT, IDLE, PORT_SUBSCRIBING_STATE>(
        &ServiceHandler::subscribeToIepcsi);
    addTransition<Entity::IEPCSIENTITY_UNSUBSCRIBE_TO_SERVER_EVENT, IDLE, DONE>();
    addTransition<Entity::IEPCSIENTITY_UNSUBSCRIBE_TO_SERVER_EVENT, PORT_SUBSCRIBING_STATE, DONE>(
        &ServiceHandler::unsubscribeToIepcsi);
    addTransition<Entity::IEPCSIENTITY_SUBSCRIBED_EVENT, PORT_SUBSCRIBING_STATE, PORT_SUBSCRIBED_STATE>();
    addTransition<Entity::IEPCSIENTITY_INITIATED_NOTIFY, PORT_SUBSCRIBING_STATE, PORT_SUBSCRIBING_STATE>(
        &ServiceHandler::subscribeToIepcsi);
    addTransition<Entity::IEPCSIENTITY_DOWN_NOTIFY, PORT_SUBSCRIBED_STATE, IDLE>();
    addTransition<Entity::IEPCSIENTITY_UNSUBSCRIBE_TO_SERVER_EVENT, PORT_SUBSCRIBED_STATE, DONE>(
        &ServiceHandler::unsubscribeToIepcsi);
}

void ServiceHandler::ServerDownListener::onEvent(SERVER_DOWN_EVENT& event) {
    if (event.getSource() == static_cast<IEntity*>(owner_))
        owner_->clearSubscriptionRefs();
}

ServiceHandler::ServiceHandler(uint32_t id, BaseController* controller)
    : BaseServiceHandler(id, controller),
      takenId_(handlerIds().take()),
      ownId_(static_cast<uint8_t>(takenId_)),
      iepcsiPortSm_(this),
      serverDownListener_(this) {
    TRACE_ENTER("id: %u", static_cast<unsigned>(ownId_));
    iepcsiPortSm_.start();
    serverDownListener_.startListening();
    TRACE_RETURN("%s", "");
}

ServiceHandler::~ServiceHandler() {
    handlerIds().release(takenId_);
}

void ServiceHandler::init() {
    TRACE_ENTER("%s", "");
    ClientIf* clientIf = new ClientIf(controller->getOwnIdentity());
    Dispatcher* dispatcher = controller->getDispatcher();
    if (dispatcher != nullptr && dispatcher->addInterface(getId(), clientIf)) {
        clientIf->addMsgHandlers(this);
    } else {
        TRACE_ERROR("Could not add ClientIf to the MsgDispatcher");
        delete clientIf;
    }
    TRACE_RETURN("%s", "");
}

ClientIf* ServiceHandler::getClientIf() {
    return dynamic_cast<ClientIf*>(getInterface());
}

void ServiceHandler::getEthPortSupport() {
    TRACE_ENTER("%s", "");
    ClientIf* clientIf = getClientIf();
    if (clientIf == nullptr) {
        TRACE_ERROR("Could not get ClientIf object");
        TRACE_RETURN("%s", "");
        return;
    }
    auto* request =
        dynamic_cast<GetEthPortSupportReq*>(clientIf->getPrimitive(GetEthPortSupportReq::PRIMITIVE_ID));
    if (request == nullptr) {
        TRACE_ERROR("Could not get GetEthPortSupportReq object");
        TRACE_RETURN("%s", "");
        return;
    }
    request->setProcedureReference(clientIf->getOwnId());
    request->setConnectionReference(clientIf->getConnectionReference());
    clientIf->sendServicePrimitive(request);
    TRACE_RETURN("%s", "");
}

bool ServiceHandler::subscribeToIepcsi(ServiceEntity* entity) {
    TRACE_ENTER("entity: %p", static_cast<void*>(entity));
    if (getClientIf() == nullptr) {
        TRACE_INFO("Iepcsi Server is not up yet.");
        TRACE_RETURN("%s", "true");
        return true;
    }
    const bool result = subscribeToIepcsiPortStatus(entity);
    TRACE_RETURN("%s", result ? "true" : "false");
    return result;
}

bool ServiceHandler::subscribeToIepcsiPortStatus(ServiceEntity* entity) {
    TRACE_ENTER("entity: %p", static_cast<void*>(entity));
    ClientIf* clientIf = getClientIf();
    SubscribeEthPortStatusReq* request = nullptr;
    const uint32_t entityId = entity != nullptr ? entity->getServiceEntityId() : 0;
    if (clientIf == nullptr) {
        TRACE_ERROR("Could not get ClientIf object");
    } else if ((request = dynamic_cast<SubscribeEthPortStatusReq*>(
                    clientIf->getPrimitive(SubscribeEthPortStatusReq::PRIMITIVE_ID))) == nullptr) {
        TRACE_ERROR("Could not get SubscribeEthPortStatusReq object");
    } else if (entityId == 0) {
        TRACE_ERROR("Could not get port entityId");
        request = nullptr;
    }
    if (request == nullptr) {
        TRACE_RETURN("%s", "false");
        return false;
    }
    request->setProcedureReference(entityId);
    request->setConnectionReference(clientIf->getConnectionReference());
    request->setPortName(entity->getServicePortName());
    request->setPortRole(entity->getServicePortRole());
    clientIf->sendServicePrimitive(request);
    TRACE_RETURN("%s", "true");
    return true;
}

bool ServiceHandler::unsubscribeToIepcsi(ServiceEntity* entity) {
    TRACE_ENTER("entity: %p", static_cast<void*>(entity));
    if (getClientIf() == nullptr) {
        TRACE_INFO("Iepcsi Server is not up yet.");
        TRACE_RETURN("%s", "true");
        return true;
    }
    const bool result = unsubscribeToIepcsiPortStatus(entity);
    TRACE_RETURN("%s", result ? "true" : "false");
    return result;
}

bool ServiceHandler::unsubscribeToIepcsiPortStatus(ServiceEntity* entity) {
    TRACE_ENTER("entity: %p", static_cast<void*>(entity));
    ClientIf* clientIf = getClientIf();
    UnsubscribeEthPortStatusReq* request = nullptr;
    const uint32_t entityId = entity != nullptr ? entity->getServiceEntityId() : 0;
    if (clientIf == nullptr) {
        TRACE_ERROR("Could not get ClientIf object");
    } else if ((request = dynamic_cast<UnsubscribeEthPortStatusReq*>(
                    clientIf->getPrimitive(UnsubscribeEthPortStatusReq::PRIMITIVE_ID))) == nullptr) {
        TRACE_ERROR("Could not get UnsubscribeEthPortStatusReq object");
    } else if (entityId == 0) {
        TRACE_ERROR("Could not get port entityId");
        request = nullptr;
    }
    if (request == nullptr) {
        TRACE_RETURN("%s", "false");
        return false;
    }
    const auto found = statePorts_.find(entityId);
    if (found == statePorts_.end()) {
        TRACE_INFO("Subscription Reference not found for port %u, nothing to unsubscribe", entityId);
        TRACE_RETURN("%s", "true");
        return true;
    }
    request->setSubscriptionReference(found->second);
    request->setProcedureReference(entityId);
    request->setConnectionReference(clientIf->getConnectionReference());
    clientIf->sendServicePrimitive(request);
    statePorts_.erase(found);
    TRACE_DEBUG("Send unsubscription reference for port %u", entityId);
    TRACE_RETURN("%s", "true");
    return true;
}

void ServiceHandler::storeSubscriptionRef(uint32_t portId, uint32_t subscriptionReference) {
    TRACE_ENTER("portId: %u, subscriptionReference: %u", portId, subscriptionReference);
    // A port already holding a reference keeps it: the insertion fails and says so.
    if (!statePorts_.insert({portId, subscriptionReference}).second)
        TRACE_ERROR("Could not store subscription ref, statePorts_.insert failed for port %u", portId);
    TRACE_RETURN("%s", "");
}

void ServiceHandler::clearSubscriptionRefs() {
    TRACE_ENTER("references: %zu", statePorts_.size());
    statePorts_.clear();
    TRACE_RETURN("%s", "");
}

}  // namespace Iepcsi
}  // namespace Sync
